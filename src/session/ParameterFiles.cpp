#include "session/ParameterFiles.h"

#include "files/FileProblem.h"
#include "link/CommandScheduler.h"
#include "link/ParameterTransfer.h"
#include "link/Prompter.h"
#include "params/ParameterFile.h"
#include "params/ParameterReport.h"
#include "params/ServiceEditing.h"

#include <QFileInfo>

ParameterFiles::ParameterFiles(const Parts& parts)
    : m_parts(parts) {}

bool ParameterFiles::open(const QString& path) {
    QString reason;
    switch (ParameterFile::load(path, m_parts.sheet, m_parts.image, m_parts.scheduler.komBezi(),
                                &reason)) {
    case ParameterFile::Read::WrongFile:
        m_parts.prompter.message(FileProblem::wrongFile(path), Prompter::Icon::Error);
        return false;
    case ParameterFile::Read::Failed:
        m_parts.prompter.message(FileProblem::readFailed(path, reason), Prompter::Icon::Error);
        return false;
    case ParameterFile::Read::Loaded: break;
    }
    m_parts.editing.NazevSouboru = QFileInfo(path).fileName();
    m_parts.transfer.setZapisZeSouboru(true);
    m_parts.editing.StringGridToParAll();
    m_parts.editing.PorovnejZmenuStringGrid();
    return true;
}

bool ParameterFiles::save(const QString& path) {
    QString reason;
    if (ParameterFile::save(path, m_parts.sheet, m_parts.image, m_parts.errorGrid, &reason))
        return true;
    m_parts.prompter.message(FileProblem::writeFailed(path, reason), Prompter::Icon::Error);
    return false;
}

QStringList ParameterFiles::reportLines(const QDateTime& now) {
    m_parts.editing.NactiService(1, m_parts.transfer.ZapisZeSouboru());
    return ParameterReport::lines(m_parts.sheet, m_parts.editing.NazevSouboru, now);
}
