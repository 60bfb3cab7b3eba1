#include "files/FileSaver.h"

#include "files/FileProblem.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool fail(QString* reason, const QString& text) {
    if (reason) *reason = text;
    return false;
}

bool failErrno(QString* reason, int error) {
    return fail(reason, FileProblem::systemReason(error));
}

// What a save is about to replace: the file itself, behind a link when the name is one.
struct Target {
    QByteArray path; // where the content goes
    bool exists = false;
    struct stat status {};
};

// Resolves `name`; false with the reason when it is nothing a file can be saved as.
bool resolve(const QByteArray& name, Target* target, QString* reason) {
    target->path = name;
    struct stat link {};
    if (::lstat(name.constData(), &link) != 0) {
        if (errno != ENOENT) return failErrno(reason, errno);
        target->exists = false;
        return true;
    }
    target->status = link;
    if (S_ISLNK(link.st_mode)) {
        if (::stat(name.constData(), &target->status) != 0)
            return errno == ENOENT ? fail(reason, FileProblem::danglingLink())
                                   : failErrno(reason, errno);
    }
    if (S_ISDIR(target->status.st_mode)) return fail(reason, FileProblem::isFolder());
    if (!S_ISREG(target->status.st_mode)) return fail(reason, FileProblem::notRegularFile());
    if (S_ISLNK(link.st_mode)) {
        char* real = ::realpath(name.constData(), nullptr);
        if (!real) return failErrno(reason, errno);
        target->path = real;
        std::free(real);
    }
    target->exists = true;
    // Checked as the effective user: a file its owner made read-only is not replaced behind
    // their back, even though the folder would allow the rename.
    if (::faccessat(AT_FDCWD, target->path.constData(), W_OK, AT_EACCESS) != 0)
        return failErrno(reason, errno);
    return true;
}

QByteArray folderOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0) return QByteArrayLiteral(".");
    return slash == 0 ? QByteArrayLiteral("/") : path.left(slash);
}

bool writeAll(int fd, const QByteArray& data, qint64 offset, int* error) {
    qint64 done = 0;
    while (done < data.size()) {
        const ssize_t n =
            ::pwrite(fd, data.constData() + done, size_t(data.size() - done), off_t(offset + done));
        if (n < 0) {
            if (errno == EINTR) continue;
            *error = errno;
            return false;
        }
        done += n;
    }
    return true;
}

// Flushes to the disk; a file system that cannot sync is no failure of the content.
bool syncData(int fd, int* error) {
    if (::fdatasync(fd) == 0 || errno == EINVAL || errno == EROFS) return true;
    *error = errno;
    return false;
}

// A file size limit (ulimit -f) ends the process with SIGXFSZ by default: here it is a failed
// save to report like a full disk, not a reason to leave a write into the unit half done.
void reportSizeLimitAsError() {
    static const bool ignored = [] {
        std::signal(SIGXFSZ, SIG_IGN);
        return true;
    }();
    Q_UNUSED(ignored);
}

mode_t newFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

bool saveInPlace(const Target& target, const QByteArray& data, QString* reason) {
    const int fd = ::open(target.path.constData(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return failErrno(reason, errno);
    int error = 0;
    struct stat opened {};
    bool ok = ::fstat(fd, &opened) == 0 || (error = errno, false);
    if (ok && !S_ISREG(opened.st_mode)) {
        ::close(fd);
        return fail(reason, FileProblem::notRegularFile());
    }
    // Space for the new content first: a full disk then fails before a byte of the old file
    // is overwritten. A file system that cannot reserve is written as before.
    if (ok && data.size() > opened.st_size) {
        const int reserved = ::posix_fallocate(fd, 0, off_t(data.size()));
        if (reserved != 0 && reserved != EOPNOTSUPP && reserved != EINVAL) {
            error = reserved;
            ok = false;
        }
    }
    ok = ok && writeAll(fd, data, 0, &error);
    ok = ok && (::ftruncate(fd, off_t(data.size())) == 0 || (error = errno, false));
    ok = ok && syncData(fd, &error);
    if (::close(fd) != 0 && ok) {
        error = errno;
        ok = false;
    }
    return ok || failErrno(reason, error);
}

} // namespace

namespace FileSaver {

bool checkTarget(const QString& path, QString* reason) {
    Target target;
    if (path.isEmpty()) return failErrno(reason, ENOENT);
    if (!resolve(QFile::encodeName(path), &target, reason)) return false;
    if (target.exists) return true;
    const QByteArray folder = folderOf(target.path);
    struct stat status {};
    if (::stat(folder.constData(), &status) != 0 || !S_ISDIR(status.st_mode))
        return fail(reason, FileProblem::missingFolder(QFile::decodeName(folder)));
    if (::faccessat(AT_FDCWD, folder.constData(), W_OK | X_OK, AT_EACCESS) != 0)
        return failErrno(reason, errno);
    return true;
}

bool save(const QString& path, const QByteArray& data, QString* reason, Fallback fallback) {
    reportSizeLimitAsError();
    if (path.isEmpty()) return failErrno(reason, ENOENT);
    Target target;
    if (!resolve(QFile::encodeName(path), &target, reason)) return false;

    QByteArray temporary = target.path + QByteArrayLiteral(".XXXXXX");
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        const bool refused = error == EACCES || error == EPERM || error == EROFS;
        if (refused && fallback == Fallback::InPlace && target.exists)
            return saveInPlace(target, data, reason);
        if (error == ENOENT)
            return fail(reason,
                        FileProblem::missingFolder(QFile::decodeName(folderOf(target.path))));
        return failErrno(reason, error);
    }

    int error = 0;
    bool ok = writeAll(fd, data, 0, &error) && syncData(fd, &error);
    if (ok) {
        // The new file looks like the old one: its permissions, and its owner where this
        // process may give it away (kovr.ini of a user, saved by a program started with sudo).
        const mode_t mode = target.exists ? target.status.st_mode & 07777 : newFileMode();
        ok = ::fchmod(fd, mode) == 0 || (error = errno, false);
        if (ok && target.exists &&
            (target.status.st_uid != ::geteuid() || target.status.st_gid != ::getegid()) &&
            ::fchown(fd, target.status.st_uid, target.status.st_gid) != 0) {
            // Not allowed: the file becomes this user's, as any program's new file would.
        }
    }
    if (::close(fd) != 0 && ok) {
        error = errno;
        ok = false;
    }
    ok = ok &&
         (::rename(temporary.constData(), target.path.constData()) == 0 || (error = errno, false));
    if (!ok) {
        ::unlink(temporary.constData());
        return failErrno(reason, error);
    }
    // The rename itself on the disk; a folder that cannot be synced still holds the new file.
    const int folder =
        ::open(folderOf(target.path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    return true;
}

} // namespace FileSaver
