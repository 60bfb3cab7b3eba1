#pragma once

// Root passes every permission check, so a test run as root acts as user nobody where it
// needs a folder that refuses new files.

#include <QFile>
#include <QStringList>

#include <unistd.h>

struct UnprivilegedUser {
    static constexpr uid_t Nobody = 65534;

    // Gives the files to the user; false when this process may not take its identity.
    static bool handOver(const QStringList& paths) {
        for (const QString& path : paths)
            if (QFile::exists(path) &&
                ::chown(QFile::encodeName(path).constData(), Nobody, Nobody) != 0)
                return false;
        return become() && leave();
    }
    static bool become() { return ::setegid(Nobody) == 0 && ::seteuid(Nobody) == 0; }
    static bool leave() { return ::seteuid(0) == 0 && ::setegid(0) == 0; }
};
