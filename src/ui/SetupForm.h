#pragma once

#include <QDialog>

#include <functional>

struct TSetup;
class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;

// TSetupForm: language and COM port. Edits the TSetup it is given; the file is written only
// at exit. The dialog knows no link: it asks the program to restart it (restartRequested)
// and to re-apply captions after a language change (captionsRequested).
class TSetupForm : public QDialog {
    Q_OBJECT
public:
    // `deviceName` tells which device a port number opens (shown beside the list);
    // `linkRunning` tells whether the link runs (KomBezi). Either may be empty.
    TSetupForm(TSetup& setup, std::function<QString(int portNumber)> deviceName,
               std::function<bool()> linkRunning, QWidget* parent = nullptr);

    // The dialog's own captions in the current language.
    void applyCaptions();

    QGroupBox* RadioGroup1 = nullptr; // "Jazyk/Language/Język", items by language index
    QButtonGroup* languageButtons = nullptr;
    QGroupBox* GroupBox1 = nullptr; // "Komunikace"
    QComboBox* cbComPort = nullptr; // "COM 1".."COM 20", item index = port number - 1
    QLabel* lblDevice = nullptr;
    QPushButton* btnRestart = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;

signals:
    // Run KomunikaceStart with setup.Port.
    void restartRequested();
    // Apply the captions of LangIndex to the program's windows.
    void captionsRequested();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormActivate();
    void btnRestartClick();
    void OKBtnClick();
    void showDevice(int index);
    QString chosenPort() const;

    TSetup& m_setup;
    std::function<QString(int)> m_deviceName;
    std::function<bool()> m_linkRunning;
};
