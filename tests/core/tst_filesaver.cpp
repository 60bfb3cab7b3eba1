// Every file the program writes, written to places that refuse it: a full disk, a read-only file
// or folder, a device node, a FIFO, a folder, a link to nothing, a missing folder. Each saver
// reports why, and leaves what stood there (the old file byte for byte, the node, the FIFO, the
// link) as it was, with no temporary file behind; a link to a file gets the file replaced. And
// what reads the program's files opens only regular files of a sensible size, never blocking.

#include "UnprivilegedUser.h"
#include "device/TrendRecorder.h"
#include "files/FileProblem.h"
#include "files/FileReader.h"
#include "files/FileSaver.h"
#include "image/DeviceImage.h"
#include "lang/Lang.h"
#include "link/FrameTrace.h"
#include "params/IniFile.h"
#include "params/ParameterFile.h"
#include "params/ServiceSheet.h"
#include "params/Setup.h"
#include "params/SheetGrid.h"
#include "params/UnitBackup.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <functional>
#include <optional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

enum class Destination {
    FullDisk,
    ReadOnlyFile,
    ReadOnlyFolder,
    DeviceNode,
    Fifo,
    Folder,
    DanglingLink,
    GoodLink,
    MissingFolder,
};

// The program's savers, each given a path; every one writes well over FullDiskBytes.
struct Saver {
    const char* name;
    std::function<bool(const QString& path, QString* reason)> save;
};

constexpr rlim_t FullDiskBytes = 1024;

QList<Saver> savers() {
    return {
        {"file saver",
         [](const QString& path, QString* reason) {
             return FileSaver::save(path, QByteArray(4 * FullDiskBytes, 'k'), reason);
         }},
        {"settings",
         [](const QString& path, QString* reason) {
             TSetup setup;
             setup.Adr = QString(4 * FullDiskBytes, u'a');
             return setup.save(path, reason);
         }},
        {"parameter file",
         [](const QString& path, QString* reason) {
             const ServiceSheet sheet;
             const DeviceImage image;
             const SheetGrid errorGrid(3, 34);
             return ParameterFile::save(path, sheet, image, errorGrid, reason);
         }},
        {"trend CSV",
         [](const QString& path, QString* reason) {
             return TrendCsv::save(path, QList<TrendSample>(100), reason);
         }},
        {"trace text",
         [](const QString& path, QString* reason) {
             return TraceText::save(path, QList<TraceEntry>(100), reason);
         }},
    };
}

QByteArray encoded(const QString& path) {
    return QFile::encodeName(path);
}

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// What stands at a path, as far as a failed save may not change it.
QString describe(const QString& path) {
    struct stat status {};
    if (::lstat(encoded(path).constData(), &status) != 0) return QStringLiteral("nothing");
    if (S_ISLNK(status.st_mode)) return QStringLiteral("link to ") + QFile::symLinkTarget(path);
    if (S_ISREG(status.st_mode))
        return QStringLiteral("file ") + QString::fromLatin1(contents(path).toHex());
    return QStringLiteral("mode %1").arg(status.st_mode, 0, 8);
}

// Lowers the file size limit of this process for one save, as a full disk would stop it.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &m_old);
        const rlimit lowered{bytes, m_old.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~FileSizeLimit() { ::setrlimit(RLIMIT_FSIZE, &m_old); }

private:
    rlimit m_old{};
};

} // namespace

Q_DECLARE_METATYPE(Destination)

class TestFileSaver : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { LangIndex = 1; }
    void failingDestinations_data();
    void failingDestinations();
    void backupOnFullDisk();
    void replacedFileKeepsItsPermissions();
    void readerRefuses_data();
    void readerRefuses();
};

void TestFileSaver::failingDestinations_data() {
    QTest::addColumn<Destination>("destination");
    QTest::addColumn<bool>("saved");
    QTest::newRow("full disk") << Destination::FullDisk << false;
    QTest::newRow("read-only file") << Destination::ReadOnlyFile << false;
    QTest::newRow("read-only folder, new file") << Destination::ReadOnlyFolder << false;
    QTest::newRow("device node") << Destination::DeviceNode << false;
    QTest::newRow("FIFO") << Destination::Fifo << false;
    QTest::newRow("folder") << Destination::Folder << false;
    QTest::newRow("link to nothing") << Destination::DanglingLink << false;
    QTest::newRow("link to a file") << Destination::GoodLink << true;
    QTest::newRow("missing folder") << Destination::MissingFolder << false;
}

void TestFileSaver::failingDestinations() {
    QFETCH(Destination, destination);
    QFETCH(bool, saved);
    const QByteArray old = "[Old]\nkept=1\n";
    // Permission bits do not stop root: the read-only cases then run as user nobody.
    const bool readOnly =
        destination == Destination::ReadOnlyFile || destination == Destination::ReadOnlyFolder;
    const bool asNobody = readOnly && ::geteuid() == 0;

    for (const Saver& saver : savers()) {
        const QString context = QString::fromLatin1(saver.name);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString inside = dir.filePath(QStringLiteral("inside"));
        QVERIFY(QDir().mkdir(inside));
        QString path = inside + QStringLiteral("/target");
        const QString other = inside + QStringLiteral("/other");
        const auto writeOld = [&](const QString& file) {
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly));
            QCOMPARE(f.write(old), old.size());
        };
        QString expected;
        switch (destination) {
        case Destination::FullDisk:
            writeOld(path);
            expected = FileProblem::systemReason(EFBIG);
            break;
        case Destination::ReadOnlyFile:
            writeOld(path);
            QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadOther));
            expected = FileProblem::systemReason(EACCES);
            break;
        case Destination::ReadOnlyFolder:
            writeOld(other);
            expected = FileProblem::systemReason(EACCES);
            break;
        case Destination::DeviceNode:
            if (::mknod(encoded(path).constData(), S_IFCHR | 0666, makedev(1, 3)) != 0)
                QSKIP("making a device node needs root");
            expected = FileProblem::notRegularFile();
            break;
        case Destination::Fifo:
            QCOMPARE(::mkfifo(encoded(path).constData(), 0666), 0);
            expected = FileProblem::notRegularFile();
            break;
        case Destination::Folder:
            QVERIFY(QDir().mkdir(path));
            expected = FileProblem::isFolder();
            break;
        case Destination::DanglingLink:
            QVERIFY(QFile::link(other, path));
            expected = FileProblem::danglingLink();
            break;
        case Destination::GoodLink:
            writeOld(other);
            QVERIFY(QFile::link(other, path));
            break;
        case Destination::MissingFolder:
            path = inside + QStringLiteral("/missing/target");
            expected = FileProblem::missingFolder(inside + QStringLiteral("/missing"));
            break;
        }
        if (asNobody) {
            QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner |
                                                          QFile::ExeOwner | QFile::ExeOther));
            if (!UnprivilegedUser::handOver({inside, path, other}))
                QSKIP("running as root and cannot act as user nobody");
        }
        const auto folderMode =
            QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther;
        if (destination == Destination::ReadOnlyFolder)
            QVERIFY(QFile::setPermissions(inside, folderMode));
        const auto restore =
            qScopeGuard([&] { QFile::setPermissions(inside, folderMode | QFile::WriteOwner); });
        const QString pathBefore = describe(path);
        const QString otherBefore = describe(other);
        const QStringList entriesBefore = QDir(inside).entryList(
            QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot);

        QString reason;
        bool wasSaved = false;
        {
            std::optional<FileSizeLimit> limit;
            if (destination == Destination::FullDisk) limit.emplace(FullDiskBytes);
            if (asNobody) QVERIFY(UnprivilegedUser::become());
            wasSaved = saver.save(path, &reason);
            if (asNobody) QVERIFY(UnprivilegedUser::leave());
        }

        QVERIFY2(wasSaved == saved, qPrintable(context + u' ' + reason));
        QVERIFY2(entriesBefore == QDir(inside).entryList(QDir::AllEntries | QDir::System |
                                                         QDir::Hidden | QDir::NoDotAndDotDot),
                 qPrintable(context + QStringLiteral(": a file left behind or gone")));
        if (saved) {
            QVERIFY2(reason.isEmpty(), qPrintable(context));
            QCOMPARE(describe(path), pathBefore); // still the link
            const QByteArray written = contents(other);
            QVERIFY2(written != old && written.size() > qsizetype(FullDiskBytes),
                     qPrintable(context));
            continue;
        }
        QVERIFY2(reason == expected, qPrintable(context + QStringLiteral(": ") + reason));
        QVERIFY2(describe(path) == pathBefore, qPrintable(context + u' ' + describe(path)));
        QVERIFY2(describe(other) == otherBefore, qPrintable(context + u' ' + describe(other)));
    }
}

// A backup that does not fit on the disk is no backup: it says why and leaves no file, not even
// the empty one that claimed its name.
void TestFileSaver::backupOnFullDisk() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const DeviceImage image;
    const SheetGrid errorGrid(3, 34);
    BackupResult result;
    {
        FileSizeLimit limit(FullDiskBytes);
        result = UnitBackup::save(image, errorGrid, dir.path());
    }
    QVERIFY(!result.ok());
    QVERIFY2(result.error.endsWith(FileProblem::systemReason(EFBIG)), qPrintable(result.error));
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList());

    result = UnitBackup::save(image, errorGrid, dir.path());
    QVERIFY2(result.ok(), qPrintable(result.error));
    QVERIFY(QFileInfo(result.path).size() > qint64(FullDiskBytes));
}

// The new file takes the old one's permissions; a new name those of a new file.
void TestFileSaver::replacedFileKeepsItsPermissions() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("kovr.ini"));
    QVERIFY(FileSaver::save(path, "a\n"));
    const mode_t mask = ::umask(0);
    ::umask(mask);
    struct stat status {};
    QCOMPARE(::stat(encoded(path).constData(), &status), 0);
    QCOMPARE(status.st_mode & 07777, 0666 & ~mask);
    QCOMPARE(::chmod(encoded(path).constData(), 0640), 0);
    QVERIFY(FileSaver::save(path, "b\n"));
    QCOMPARE(::stat(encoded(path).constData(), &status), 0);
    QCOMPARE(status.st_mode & 07777, mode_t(0640));
    QCOMPARE(contents(path), QByteArray("b\n"));
}

void TestFileSaver::readerRefuses_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");
    QTest::newRow("FIFO") << QStringLiteral("fifo") << FileProblem::notRegularFile();
    QTest::newRow("device node") << QStringLiteral("node") << FileProblem::notRegularFile();
    QTest::newRow("folder") << QStringLiteral("folder") << FileProblem::isFolder();
    QTest::newRow("far larger than a parameter file")
        << QStringLiteral("large")
        << FileProblem::tooLarge(100 * 1024 * 1024, IniFile::MaximumSize);
}

// Nothing blocks, nothing large is read: a FIFO nobody writes into, a zero device that never
// ends, a 100 MB file (sparse: refused on its size, so it costs no memory).
void TestFileSaver::readerRefuses() {
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("unit.par"));
    const QByteArray name = encoded(path);
    if (kind == QLatin1String("fifo")) QCOMPARE(::mkfifo(name.constData(), 0666), 0);
    if (kind == QLatin1String("node") &&
        ::mknod(name.constData(), S_IFCHR | 0666, makedev(1, 5)) != 0)
        QSKIP("making a device node needs root");
    if (kind == QLatin1String("folder")) QVERIFY(QDir().mkdir(path));
    if (kind == QLatin1String("large")) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(100 * 1024 * 1024));
    }
    QByteArray data;
    QString why;
    QCOMPARE(FileReader::read(path, IniFile::MaximumSize, &data, &why),
             FileReader::Outcome::Failed);
    QCOMPARE(why, reason);
    QVERIFY(data.isEmpty());

    ServiceSheet sheet;
    DeviceImage image;
    QCOMPARE(ParameterFile::load(path, sheet, image, false, &why), ParameterFile::Read::Failed);
    QCOMPARE(why, reason);
}

QTEST_MAIN(TestFileSaver)
#include "tst_filesaver.moc"
