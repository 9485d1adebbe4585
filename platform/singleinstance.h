// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLockFile>
#include <QString>
#include <memory>

namespace mirado {

// Keeps a second copy of the program from starting for the same user. The
// lock lives in the user's runtime folder, so other users of the machine are
// not blocked, and a lock left behind by a copy that crashed is taken over.
class SingleInstance
{
public:
    // `name` names the lock; `folder` defaults to the user's runtime folder.
    explicit SingleInstance(const QString &name, const QString &folder = QString());

    // True when this process holds the lock; false when another running copy
    // does. The lock is held until this object is destroyed.
    bool acquired() const { return acquired_; }

    QString lockPath() const;

private:
    std::unique_ptr<QLockFile> lock_;
    bool acquired_ = false;
};

} // namespace mirado
