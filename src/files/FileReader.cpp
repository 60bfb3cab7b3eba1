#include "files/FileReader.h"

#include "files/FileProblem.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

FileReader::Outcome readFailed(QString* reason, const QString& text) {
    if (reason) *reason = text;
    return FileReader::Outcome::Failed;
}

// Why `status` is no file to read, or an empty text when it is one.
QString refusal(const struct stat& status, qint64 limit) {
    if (S_ISDIR(status.st_mode)) return FileProblem::isFolder();
    if (!S_ISREG(status.st_mode)) return FileProblem::notRegularFile();
    if (status.st_size > limit) return FileProblem::tooLarge(status.st_size, limit);
    return QString();
}

} // namespace

namespace FileReader {

Outcome read(const QString& path, qint64 limit, QByteArray* data, QString* reason) {
    data->clear();
    const QByteArray name = QFile::encodeName(path);
    struct stat status {};
    if (path.isEmpty() || ::stat(name.constData(), &status) != 0) {
        if (path.isEmpty() || errno == ENOENT) return Outcome::Missing;
        return readFailed(reason, FileProblem::systemReason(errno));
    }
    if (const QString why = refusal(status, limit); !why.isEmpty()) return readFailed(reason, why);

    // Non-blocking, in case the name was swapped for a FIFO since the look above.
    const int fd = ::open(name.constData(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return readFailed(reason, FileProblem::systemReason(errno));
    QString why;
    if (::fstat(fd, &status) != 0)
        why = FileProblem::systemReason(errno);
    else
        why = refusal(status, limit);
    // One byte more than the limit tells a file that grew meanwhile.
    QByteArray bytes(qsizetype(status.st_size < limit ? status.st_size : limit) + 1,
                     Qt::Uninitialized);
    qsizetype done = 0;
    while (why.isEmpty()) {
        if (done == bytes.size()) {
            if (done > limit) {
                why = FileProblem::tooLarge(done, limit);
                break;
            }
            bytes.resize(qMin<qsizetype>(bytes.size() * 2, limit + 1));
        }
        const ssize_t n = ::read(fd, bytes.data() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) why = FileProblem::systemReason(errno);
        if (n <= 0) break;
        done += n;
    }
    ::close(fd);
    if (!why.isEmpty()) return readFailed(reason, why);
    bytes.truncate(done);
    *data = bytes;
    return Outcome::Read;
}

} // namespace FileReader
