#include "session/ServiceActions.h"

#include "image/DeviceImage.h"
#include "lang/Lang.h"
#include "link/CommandScheduler.h"
#include "link/ParameterTransfer.h"
#include "link/Prompter.h"
#include "params/ServiceEditing.h"
#include "params/UnitBackup.h"

#include <QDir>
#include <QFile>

namespace {

using K = ParameterTransfer::Kind;

constexpr ServiceCommandRow Commands[] = {
    {ServiceCommand::WriteAll,
     "ZapsatParametry?",
     {{{0, 1, K::KindDW, false}, {0, 18, K::KindW, false}, {0, 64, K::KindB, true}}},
     3,
     true,
     false,
     true},
    {ServiceCommand::WriteProduction,
     "ZapsatIdentifikacniData?",
     {{{3, 12, K::Texts, false}}},
     1,
     false,
     false,
     true},
    {ServiceCommand::Defaults,
     "ZapsatDefaultParametry?",
     {{{0, 0, K::UnitFunction, false}}},
     1,
     false,
     true,
     false},
    {ServiceCommand::Initialise,
     "InicializovatParametry?",
     {{{2, 2, K::UnitFunction, false}}},
     1,
     false,
     true,
     false},
    {ServiceCommand::RestoreBackup,
     "ObnovitParametryZeZalohy?",
     {{{1, 1, K::UnitFunction, false}}},
     1,
     false,
     true,
     false},
    {ServiceCommand::CreateBackup,
     "VytvoritZalohuParametru?",
     {{{3, 3, K::UnitFunction, false}}},
     1,
     false,
     false,
     false},
    {ServiceCommand::ResetLastResets,
     "Vynulovat?",
     {{{4, 4, K::CounterReset, false}}},
     1,
     false,
     false,
     false},
    {ServiceCommand::ResetLastErrors,
     "Vynulovat?",
     {{{3, 3, K::CounterReset, false}}},
     1,
     false,
     false,
     false},
};

} // namespace

ServiceActions::ServiceActions(Prompter& prompter, CommandScheduler& scheduler,
                               ParameterTransfer& transfer, ServiceEditing& editing,
                               DeviceImage& image)
    : m_prompter(prompter)
    , m_scheduler(scheduler)
    , m_transfer(transfer)
    , m_editing(editing)
    , m_image(image) {}

const ServiceCommandRow& ServiceActions::row(ServiceCommand command) {
    for (const ServiceCommandRow& r : Commands)
        if (r.command == command) return r;
    return Commands[0];
}

void ServiceActions::setBackup(const SheetGrid& errorGrid, const QString& folder) {
    m_errorGrid = &errorGrid;
    m_backupFolder = folder;
}

bool ServiceActions::sendsParameters(const ServiceCommandRow& row) {
    for (int i = 0; i < row.segmentCount; ++i)
        if (row.segments[i].Typ <= K::KindDW) return true;
    return false;
}

bool ServiceActions::valuesFit() {
    const QList<InvalidValue> invalid = m_editing.invalidValues(m_transfer.ZapisZeSouboru());
    if (invalid.isEmpty()) return true;
    m_prompter.message(invalidValuesText(invalid), Prompter::Icon::Error);
    return false;
}

bool ServiceActions::confirmWrite(const QString& questionKey, bool sendsCells) {
    QString question = LangText(questionKey);
    QString backup;
    if (sendsCells && m_transfer.ZapisZeSouboru() && m_errorGrid && !m_backupFolder.isEmpty()) {
        const BackupResult saved = UnitBackup::save(m_image, *m_errorGrid, m_backupFolder);
        if (!saved.ok()) {
            m_prompter.message(LangAddedText(QStringLiteral("ZalohaSeNezdarila")) + u'\n' +
                                   saved.error,
                               Prompter::Icon::Error);
            return false;
        }
        backup = saved.path;
        question += u'\n' + LangAddedText(QStringLiteral("ZalohaJednotky")) + u'\n' +
                    QDir::toNativeSeparators(backup);
    }
    if (m_prompter.askYesNo(question)) return true;
    // Nothing is written, so there is nothing to undo.
    if (!backup.isEmpty()) QFile::remove(backup);
    return false;
}

void ServiceActions::queue(const ServiceCommandRow& row) {
    for (int i = 0; i < row.segmentCount; ++i) {
        const TUsek& s = row.segments[i];
        m_transfer.NastavZapisPar(s.Start, s.Stop, s.Typ, s.CS);
    }
}

bool ServiceActions::run(ServiceCommand command) {
    const ServiceCommandRow& r = row(command);
    // Before the backup and the question: nothing is asked of a write that cannot go out.
    if (sendsParameters(r) && !valuesFit()) return false;
    if (!confirmWrite(QString::fromLatin1(r.questionKey), r.sendsCells)) return false;
    if (r.reparseFromFile && m_transfer.ZapisZeSouboru()) {
        m_editing.StringGridToParAll();
        m_editing.PorovnejZmenuStringGrid();
    }
    queue(r);
    if (r.showUnitValues) m_editing.NactiService(1, false);
    m_scheduler.KomPovel(CommandScheduler::TransferOpen);
    return true;
}

void ServiceActions::ZapsatParService() {
    queue(row(ServiceCommand::WriteAll));
    m_scheduler.KomPovel(CommandScheduler::TransferOpen);
}

bool ServiceActions::FormCloseQuery() {
    if (!m_editing.hasPendingEdit()) return true;
    // A declined write, one whose values do not fit or whose backup failed, lets the window
    // close unwritten.
    if (!valuesFit()) return true;
    if (!confirmWrite(QStringLiteral("ChceteZapsatParametry?"),
                      row(ServiceCommand::WriteAll).sendsCells))
        return true;
    ZapsatParService();
    return false;
}

void ServiceActions::FormClose() {
    m_image.restoreTargetSet();
    if (m_transfer.ZapisZeSouboru()) {
        m_transfer.setZapisZeSouboru(false);
        m_scheduler.KomPovel(CommandScheduler::MonitorPoll);
        m_image.InicParam();
        m_scheduler.RefresParAll();
    }
    m_transfer.writeFromFileSelection = 0;
}
