// SPDX-License-Identifier: GPL-3.0-or-later
#include "singleinstance.h"

#include <QDir>
#include <QFile>
#include <cerrno>

#ifndef _WIN32
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <QStandardPaths>
#include <windows.h>
#endif

namespace mirado {

namespace {

// Why `folder` cannot hold the lock, or empty when it can. A missing folder
// is made first.
QString FolderProblem(const QString &folder);

QString LockFileName(const QString &folder, const QString &name)
{
    return QDir(folder).filePath(name + QStringLiteral(".lock"));
}

} // namespace

SingleInstance::SingleInstance(const QString &name) : SingleInstance(name, UserLockFolders()) {}

SingleInstance::SingleInstance(const QString &name, const QStringList &folders)
{
    for (const QString &folder : folders) {
        QString problem = FolderProblem(folder);
        if (problem.isEmpty() && tryLock(LockFileName(folder, name), problem)) {
            problem_.clear();
            return;
        }
        if (problem_.isEmpty())
            problem_ = folder + QStringLiteral(": ") + problem;
    }
}

#ifndef _WIN32

namespace {

QString FolderProblem(const QString &folder)
{
    const QByteArray path = QFile::encodeName(folder);
    // Made only when missing; an existing folder is never changed.
    if (::mkdir(path.constData(), 0700) != 0 && errno != EEXIST)
        return qt_error_string(errno);
    struct stat info
    {};
    if (::lstat(path.constData(), &info) != 0)
        return qt_error_string(errno);
    if (!S_ISDIR(info.st_mode))
        return QStringLiteral("フォルダではありません");
    if (info.st_uid != ::getuid())
        return QStringLiteral("所有者が違います");
    if ((info.st_mode & 022) != 0)
        return QStringLiteral("他のユーザーが書き込めます");
    return {};
}

} // namespace

bool SingleInstance::tryLock(const QString &path, QString &problem)
{
    // Never through a link another user planted, never given to a child
    // process.
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        problem = qt_error_string(errno);
        return false;
    }
    lockPath_ = path;
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        fd_ = fd;
        state_ = State::Acquired;
    } else {
        ::close(fd);
        state_ = State::HeldElsewhere;
    }
    return true;
}

SingleInstance::~SingleInstance()
{
    if (fd_ >= 0)
        ::close(fd_);
}

bool IsPrivateFolder(const QString &folder)
{
    struct stat info
    {};
    if (folder.isEmpty() || ::lstat(QFile::encodeName(folder).constData(), &info) != 0)
        return false;
    return S_ISDIR(info.st_mode) && info.st_uid == ::getuid() && (info.st_mode & 022) == 0;
}

QStringList UserLockFolders()
{
    // The runtime folder is the system's to make; only the fallbacks are made,
    // when a lock is taken.
    const QString uid = QString::number(::getuid());
    QStringList folders;
    if (const QString runtime = QStringLiteral("/run/user/") + uid; IsPrivateFolder(runtime))
        folders << runtime;
    folders << QStringLiteral("/tmp/mirado-") + uid;
    if (const passwd *user = ::getpwuid(::getuid()); user != nullptr && user->pw_dir != nullptr)
        folders << QFile::decodeName(user->pw_dir);
    return folders;
}

#else

namespace {

QString FolderProblem(const QString &folder)
{
    if (!QDir().mkpath(folder))
        return QStringLiteral("フォルダを作成できません");
    return {};
}

} // namespace

bool SingleInstance::tryLock(const QString &path, QString &problem)
{
    // Opened without sharing: the system closes it, and so frees the lock,
    // when the process ends.
    HANDLE handle = ::CreateFileW(
        reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(path).utf16()),
        GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
        lockPath_ = path;
        handle_ = handle;
        state_ = State::Acquired;
        return true;
    }
    if (::GetLastError() == ERROR_SHARING_VIOLATION) {
        lockPath_ = path;
        state_ = State::HeldElsewhere;
        return true;
    }
    problem = qt_error_string(static_cast<int>(::GetLastError()));
    return false;
}

SingleInstance::~SingleInstance()
{
    if (handle_ != nullptr)
        ::CloseHandle(static_cast<HANDLE>(handle_));
}

bool IsPrivateFolder(const QString &folder)
{
    return QDir(folder).exists();
}

QStringList UserLockFolders()
{
    // The user's own local application data folder.
    return {QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)};
}

#endif

} // namespace mirado
