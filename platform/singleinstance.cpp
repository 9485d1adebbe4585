// SPDX-License-Identifier: GPL-3.0-or-later
#include "singleinstance.h"

#include <QDir>
#include <QStandardPaths>

namespace mirado {

SingleInstance::SingleInstance(const QString &name, const QString &folder)
{
    QString dir = folder.isEmpty()
                      ? QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation)
                      : folder;
    if (dir.isEmpty())
        dir = QDir::tempPath();
    QDir().mkpath(dir);
    lock_ = std::make_unique<QLockFile>(QDir(dir).filePath(name + QStringLiteral(".lock")));
    // A lock is stale only when its process is gone, never because of its age.
    lock_->setStaleLockTime(0);
    acquired_ = lock_->tryLock(0);
}

QString SingleInstance::lockPath() const
{
    return lock_->fileName();
}

} // namespace mirado
