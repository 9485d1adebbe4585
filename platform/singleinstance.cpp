// SPDX-License-Identifier: GPL-3.0-or-later
#include "singleinstance.h"

#include <QDir>
#include <QFile>

#ifndef _WIN32
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <QStandardPaths>
#endif

namespace mirado {

SingleInstance::SingleInstance(const QString &name, const QString &folder)
{
    const QString dir = folder.isEmpty() ? UserLockFolder() : folder;
    if (!folder.isEmpty())
        QDir().mkpath(dir);
    lock_ = std::make_unique<QLockFile>(
        dir.isEmpty() ? QString() : QDir(dir).filePath(name + QStringLiteral(".lock")));
    // A lock is stale only when its process is gone, never because of its age.
    lock_->setStaleLockTime(0);
    acquired_ = !dir.isEmpty() && lock_->tryLock(0);
}

QString SingleInstance::lockPath() const
{
    return lock_->fileName();
}

#ifndef _WIN32

bool IsPrivateFolder(const QString &folder)
{
    struct stat info
    {};
    if (folder.isEmpty() || ::lstat(QFile::encodeName(folder).constData(), &info) != 0)
        return false;
    return S_ISDIR(info.st_mode) && info.st_uid == ::getuid() && (info.st_mode & 022) == 0;
}

QString FirstPrivateFolder(const QStringList &candidates)
{
    for (const QString &folder : candidates) {
        // Made only when missing; an existing folder is never changed.
        ::mkdir(QFile::encodeName(folder).constData(), 0700);
        if (IsPrivateFolder(folder))
            return folder;
    }
    return {};
}

QString UserLockFolder()
{
    // The runtime folder is the system's to make; only the fallbacks are made
    // here.
    const QString uid = QString::number(::getuid());
    if (const QString runtime = QStringLiteral("/run/user/") + uid; IsPrivateFolder(runtime))
        return runtime;
    QStringList candidates{QStringLiteral("/tmp/mirado-") + uid};
    if (const passwd *user = ::getpwuid(::getuid()); user != nullptr && user->pw_dir != nullptr)
        candidates << QFile::decodeName(user->pw_dir);
    return FirstPrivateFolder(candidates);
}

#else

bool IsPrivateFolder(const QString &folder)
{
    return QDir(folder).exists();
}

QString FirstPrivateFolder(const QStringList &candidates)
{
    for (const QString &folder : candidates)
        if (QDir().mkpath(folder) && IsPrivateFolder(folder))
            return folder;
    return {};
}

QString UserLockFolder()
{
    // The user's own local application data folder.
    return FirstPrivateFolder(
        {QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)});
}

#endif

} // namespace mirado
