#pragma once

#include "link/SerialPortList.h"

#include <QDialog>
#include <QMap>

#include <functional>

struct TSetup;
class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class QTimer;

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
    // Where the list of this machine's serial ports comes from; without one the list stays
    // empty. Re-read every second (or `rescanMs`) while the dialog is shown, so an adapter
    // plugged in or pulled shows up by itself.
    void setPortInfo(const PortInfoSource* source);
    void setRescanInterval(int rescanMs);
    // The records' folder as kovr.ini names it (empty: `defaultFolder`), shown when the dialog
    // opens; OK tells a change through recordsFolderChosen.
    void setRecordsFolder(const QString& folder, const QString& defaultFolder);

    QGroupBox* RadioGroup1 = nullptr; // "Jazyk/Language/Język", items by language index
    QButtonGroup* languageButtons = nullptr;
    QGroupBox* GroupBox1 = nullptr; // "Komunikace"
    QComboBox* cbComPort = nullptr; // "COM 1".."COM 20", item index = port number - 1
    QLabel* lblDevice = nullptr;
    QPushButton* btnRestart = nullptr;
    QGroupBox* GroupBox2 = nullptr;   // this machine's serial ports
    QTableWidget* tblPorts = nullptr; // device, description, manufacturer, serial, stable path
    QGroupBox* GroupBox3 = nullptr;   // where the as-found/as-left records go
    QLineEdit* edRecords = nullptr;   // empty: the default folder, shown as its placeholder
    QPushButton* btnRecords = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;

signals:
    // Run KomunikaceStart with setup.Port.
    void restartRequested();
    // Apply the captions of LangIndex to the program's windows.
    void captionsRequested();
    // COM `number` is to open `device` from now on (a port chosen in the list, confirmed by
    // OK or Restart); raised before restartRequested.
    void portBound(int number, const QString& device);
    // The records go into `folder` from now on (empty: the default folder).
    void recordsFolderChosen(const QString& folder);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void FormActivate();
    void btnRestartClick();
    void OKBtnClick();
    void showDevice(int index);
    QString chosenPort() const;
    // The device list item `index` opens: as chosen in the list, else as the program says.
    QString deviceFor(int index) const;
    void rescanPorts();
    void selectBoundRow();
    void choosePort(int row);
    void confirmBindings();

    TSetup& m_setup;
    std::function<QString(int)> m_deviceName;
    std::function<bool()> m_linkRunning;
    const PortInfoSource* m_portInfo = nullptr;
    QList<SerialPortEntry> m_ports; // as the list shows them
    QMap<int, QString> m_pending;   // chosen in the list, not yet confirmed
    QString m_recordsFolder;
    QTimer* m_rescan = nullptr;
    bool m_filling = false; // the list is being set by the dialog, not chosen by the user
};
