#pragma once

#include <QDialog>
#include <QList>
#include <functional>

class QComboBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;
class ServiceEditing;
struct DeviceImage;

// The parameters dialog ("Parametry"): the list-valued byte parameters as drop-down lists and
// B 8 as eight check boxes. It shows set 2 when it becomes active and, on OK, stores the
// choices into set 2 and refreshes the service window; Storno stores nothing.
class TParametryForm : public QDialog {
    Q_OBJECT
public:
    // `zapisZeSouboru`: a loaded file fills the service window's value cells.
    TParametryForm(DeviceImage& image, ServiceEditing& editing, const bool& zapisZeSouboru,
                   QWidget* parent = nullptr);

    // FormActivate: the program's parameter display with set 2 (which calls showSet).
    void setOnActivate(std::function<void()> activate) { m_onActivate = std::move(activate); }
    // ComboBox8Change: the program's OdblokujParReg with the chosen variant.
    void setOnVariantChosen(std::function<void(int)> chosen) {
        m_onVariantChosen = std::move(chosen);
    }

    // The dialog's part of ZobrazPar: every list and check box from set `sada`.
    void showSet(int sada);
    // The dialog's part of OdblokujParReg: which lists accept input for the variant.
    void OdblokujParReg(int provedeni);

    void applyCaptions();

    QComboBox* list(int bIndex) const;
    QListWidget* canConfiguration() const { return m_checkList; }
    QPushButton* okButton() const { return m_ok; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void OKBtnClick();

    DeviceImage& m_image;
    ServiceEditing& m_editing;
    const bool& m_zapisZeSouboru;
    std::function<void()> m_onActivate;
    std::function<void(int)> m_onVariantChosen;

    QList<QComboBox*> m_lists; // in the order of the table
    QList<QLabel*> m_labels;
    QGroupBox* m_regulator = nullptr;
    QGroupBox* m_relays = nullptr;
    QGroupBox* m_can = nullptr;
    QListWidget* m_checkList = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
};
