#include "files/FileProblem.h"

#include "lang/Lang.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

namespace {

// The causes a technician meets, with what to do about them in the dictionary's words.
struct Known {
    int error;
    const char* key;
};
constexpr Known KnownErrors[] = {
    {ENOSPC, "SouborDiskPlny"},          {EDQUOT, "SouborKvota"},
    {EFBIG, "SouborPrilisVelky"},        {EACCES, "SouborBezOpravneni"},
    {EPERM, "SouborBezOpravneni"},       {EROFS, "SouborJenProCteni"},
    {ENOENT, "SouborNeexistuje"},        {ENOTDIR, "SouborCestaNeniSlozka"},
    {EISDIR, "SouborJeSlozka"},          {EIO, "SouborChybaVstupu"},
    {ENAMETOOLONG, "SouborDlouhyNazev"}, {ELOOP, "SouborOdkazy"},
};

QString withPathAndReason(const QString& lead, const QString& path, const QString& reason) {
    QString text = lead + QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    if (!reason.isEmpty()) text += u'\n' + reason;
    return text;
}

} // namespace

namespace FileProblem {

QString systemReason(int error) {
    for (const Known& known : KnownErrors)
        if (known.error == error) return LangAddedText(QString::fromLatin1(known.key));
    return QString::fromLocal8Bit(std::strerror(error)) + u'.';
}

QString notRegularFile() {
    return LangAddedText(QStringLiteral("SouborNeniBezny"));
}

QString isFolder() {
    return LangAddedText(QStringLiteral("SouborJeSlozka"));
}

QString danglingLink() {
    return LangAddedText(QStringLiteral("SouborOdkazNikam"));
}

QString missingFolder(const QString& folder) {
    return LangAddedText(QStringLiteral("SouborSlozkaNeexistuje"))
        .arg(QDir::toNativeSeparators(folder));
}

QString tooLarge(qint64 size, qint64 limit) {
    return LangAddedText(QStringLiteral("SouborVetsiNezMuzeByt")).arg(size).arg(limit);
}

} // namespace FileProblem

namespace FileProblem {

QString writeFailed(const QString& path, const QString& reason) {
    return withPathAndReason(LangText(QStringLiteral("ChybaPriZapisuSouboru")), path, reason);
}

QString readFailed(const QString& path, const QString& reason) {
    return withPathAndReason(LangText(QStringLiteral("ChybaCteniSouboru")), path, reason);
}

QString wrongFile(const QString& path, const QString& reason) {
    return withPathAndReason(LangText(QStringLiteral("ChybnySoubor")), path, reason);
}

} // namespace FileProblem
