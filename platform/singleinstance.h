// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

namespace mirado {

// Keeps a second copy of the program from starting for the same user. The
// lock is an advisory lock on an open file in a folder found from the user id
// alone, whatever the environment says, so every start of the same user meets
// it and other users of the machine are not blocked. The system releases it
// with the process that holds it, on this machine or, for a folder on a file
// server, on any other: a copy that has ended never blocks a start.
class SingleInstance
{
public:
    enum class State
    {
        Acquired,      // this process holds the lock
        HeldElsewhere, // another running copy holds it
        Unavailable,   // no folder could hold a lock; see problem()
    };

    // The lock `name`.lock in the first of UserLockFolders() that can hold it.
    explicit SingleInstance(const QString &name);
    // The same in the first of `folders` that can hold it; a folder missing
    // there is made with mode 0700 first. A folder that is not the user's
    // own, that others may write in, or in which the lock file cannot be
    // opened is passed over.
    SingleInstance(const QString &name, const QStringList &folders);
    ~SingleInstance();
    SingleInstance(const SingleInstance &) = delete;
    SingleInstance &operator=(const SingleInstance &) = delete;

    State state() const { return state_; }
    bool acquired() const { return state_ == State::Acquired; }

    // The lock file held or met; empty when Unavailable.
    QString lockPath() const { return lockPath_; }

    // Why no folder could hold the lock, as "FOLDER: REASON" for the first
    // folder tried; empty unless Unavailable.
    QString problem() const { return problem_; }

private:
    // Takes the lock file at `path`, or finds it held; false, with the
    // reason in `problem`, when the file cannot be opened.
    bool tryLock(const QString &path, QString &problem);

    State state_ = State::Unavailable;
    QString lockPath_;
    QString problem_;
#ifdef _WIN32
    void *handle_ = nullptr;
#else
    int fd_ = -1;
#endif
};

// True when `folder` is a folder itself (not a link to one) that belongs to
// the user running the program and that no one else may write in.
bool IsPrivateFolder(const QString &folder);

// The folders where the user's lock may live, in order, from the user id
// only: the user's runtime folder /run/user/UID when it is private, then
// /tmp/mirado-UID, then the home folder of the user database. Nothing is made
// or changed here.
QStringList UserLockFolders();

} // namespace mirado
