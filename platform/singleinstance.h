// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLockFile>
#include <QString>
#include <QStringList>
#include <memory>

namespace mirado {

// Keeps a second copy of the program from starting for the same user. The
// lock lives in a folder found from the user id alone, whatever the
// environment says, so every start of the same user meets it and other users
// of the machine are not blocked; a lock left behind by a copy that crashed
// is taken over.
class SingleInstance
{
public:
    // `name` names the lock; `folder` defaults to UserLockFolder().
    explicit SingleInstance(const QString &name, const QString &folder = QString());

    // True when this process holds the lock; false when another running copy
    // does (or no private folder could be found). The lock is held until this
    // object is destroyed.
    bool acquired() const { return acquired_; }

    QString lockPath() const;

private:
    std::unique_ptr<QLockFile> lock_;
    bool acquired_ = false;
};

// True when `folder` is a folder itself (not a link to one) that belongs to
// the user running the program and that no one else may write in.
bool IsPrivateFolder(const QString &folder);

// The first of `candidates` that is a private folder; a candidate missing
// there is created with mode 0700 first. Empty when none serves.
QString FirstPrivateFolder(const QStringList &candidates);

// The lock folder of the user running the program, from the user id only:
// the user's runtime folder /run/user/UID, else /tmp/mirado-UID, else the
// home folder of the user database; empty when none of them is private.
QString UserLockFolder();

} // namespace mirado
