#pragma once

#include "device/ErrorMasks.h"

#include <QDialog>
#include <functional>

class QGroupBox;
class QListWidget;
class QListWidgetItem;
class QPushButton;
struct DeviceImage;

// The error-masks dialog (TChybyForm, "Varování a chyby"): for each of the 32 error conditions
// whether it counts as a warning (CheckListBox2, B 34..37) and whether as an error
// (CheckListBox1, B 38..41). A condition is never checked in both lists.
class TChybyForm : public QDialog {
    Q_OBJECT
public:
    // `stored` runs after OK has written the masks into the target set.
    TChybyForm(DeviceImage& image, std::function<void()> stored, QWidget* parent = nullptr);

    // Captions; the 32 condition names as the main window's error grid shows them.
    void applyCaptions(const QStringList& conditionNames);

    QListWidget* errorsList() const { return m_errors; }
    QListWidget* warningsList() const { return m_warnings; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void ZobrazMaskyChyb();
    void NastavMaskyChyb();
    void clicked(QListWidget* list, QListWidgetItem* item);
    static ErrorMasks::Checks checks(const QListWidget* list);
    static void setChecks(QListWidget* list, const ErrorMasks::Checks& checks);

    DeviceImage& m_image;
    std::function<void()> m_stored;
    QGroupBox* m_group1 = nullptr;     // Chyby
    QGroupBox* m_group2 = nullptr;     // Varování
    QListWidget* m_errors = nullptr;   // CheckListBox1
    QListWidget* m_warnings = nullptr; // CheckListBox2
    QPushButton* m_cancel = nullptr;
};
