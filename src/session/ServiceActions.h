#pragma once

#include "link/TransferSteps.h"

#include <QString>
#include <array>

class CommandScheduler;
class ParameterTransfer;
class Prompter;
class ServiceEditing;
class SheetGrid;
struct DeviceImage;

// The service window's write commands.
enum class ServiceCommand {
    WriteAll,        // "Zapsat": all 86 parameters
    WriteProduction, // "Zapsat" of the production data, fields 3..12
    Defaults,        // "Default"
    Initialise,      // "Inic"
    RestoreBackup,   // "Obnovit ze zálohy"
    CreateBackup,    // "Vytvořit zálohu"
    ResetLastResets, // "Nulování" of "Poslední reset"
    ResetLastErrors, // "Nulování" of "Poslední chyby"
};

// One command: its question, the segments it queues, and what it does to the grids.
struct ServiceCommandRow {
    ServiceCommand command;
    const char* questionKey;
    std::array<TUsek, 3> segments;
    int segmentCount;
    bool reparseFromFile; // in write-from-file mode the value cells go to set 2 first
    bool showUnitValues;  // the grids show set 1 in the normal presentation afterwards
    bool sendsCells;      // sends what the grids show: in write-from-file mode the loaded file
};

// What the service window starts and how it closes, apart from drawing: every write asks its
// question, queues its segments and asks the scheduler for the write sequence.
//
// A write of parameters whose value cells hold a text that is no value of the parameter's width
// is refused with a message naming them, before its backup and its question.
//
// Once backups are on, a write that would put a loaded file into the unit first saves the
// unit's values (UnitBackup) and names the backup in its question; a backup that cannot be
// written says so and nothing is written. A write the user declines removes its backup again.
class ServiceActions {
public:
    ServiceActions(Prompter& prompter, CommandScheduler& scheduler, ParameterTransfer& transfer,
                   ServiceEditing& editing, DeviceImage& image);

    // Backups into `folder`; `errorGrid` is the monitoring panel's error grid, recorded with
    // the values. An empty folder turns them off again.
    void setBackup(const SheetGrid& errorGrid, const QString& folder);

    static const ServiceCommandRow& row(ServiceCommand command);

    // Asks the command's question; on Yes queues it and asks for the transfer. Returns the answer.
    bool run(ServiceCommand command);
    // Queues all 86 parameters, double words first, and asks for the write sequence.
    void ZapsatParService();

    // FormCloseQuery: true when the window may close. A pending edit is asked about: Yes keeps
    // the window open and writes all parameters.
    bool FormCloseQuery();
    // FormClose: pending edits dropped; write-from-file mode left with a full re-read.
    void FormClose();

private:
    void queue(const ServiceCommandRow& row);
    // Whether the command queues parameters (not only texts or unit functions).
    static bool sendsParameters(const ServiceCommandRow& row);
    // False, with the message naming them, while a value cell the write would send holds no
    // value of its parameter's width.
    bool valuesFit();
    // Asks the question of `questionKey`, after the backup when the write sends a loaded file.
    bool confirmWrite(const QString& questionKey, bool sendsCells);

    Prompter& m_prompter;
    CommandScheduler& m_scheduler;
    ParameterTransfer& m_transfer;
    ServiceEditing& m_editing;
    DeviceImage& m_image;
    const SheetGrid* m_errorGrid = nullptr;
    QString m_backupFolder;
};
