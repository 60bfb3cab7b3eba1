#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

class CommandScheduler;
class ParameterTransfer;
class Prompter;
class ServiceEditing;
class ServiceSheet;
class SheetGrid;
struct DeviceImage;

// Opening and saving parameter files and the lines of the printed report, with the messages a
// failure gives; the windows only choose the file and show the service window.
class ParameterFiles {
public:
    struct Parts {
        Prompter& prompter;
        CommandScheduler& scheduler; // KomBezi: a running link keeps absent parameters
        ParameterTransfer& transfer; // ZapisZeSouboru
        ServiceEditing& editing;
        ServiceSheet& sheet;
        DeviceImage& image;
        const SheetGrid& errorGrid; // the error counters of the monitoring panel
    };

    explicit ParameterFiles(const Parts& parts);

    // FileOpen1Execute: loads the file into the service window and switches to write-from-file
    // mode. False, with a message, when the file is not a parameter file or cannot be read.
    bool open(const QString& path);
    // UlozitParametry: false, with a message, when the file cannot be written.
    bool save(const QString& path);
    // PrintDlg1Accept's text: the grids reloaded as the mode shows them, then every line.
    QStringList reportLines(const QDateTime& now = QDateTime::currentDateTime());

private:
    Parts m_parts;
};
