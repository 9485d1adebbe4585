// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QList>
#include <QSettings>
#include <QSpinBox>
#include <QTemporaryDir>
#include <memory>

#include "dialogs/messages.h"
#include "mainwindow/application.h"
#include "mainwindow/mirado.h"
#include "night/clock.h"

namespace mirado::test {

// The zone of the example site and of a start without site.txt.
inline constexpr double kSiteZone = 9.0;

// Makes the clock stand at `local`, a moment of the site's local time in the
// zone `siteZone` (hours), whatever zone the computer keeps.
inline void SetSiteClockForTesting(const QDateTime &local, double siteZone = kSiteZone)
{
    const QDate d = local.date();
    const QTime t = local.time();
    const DateTimeValue ut = GetUTDateTime(
        DateTimeValue::FromParts({d.year(), d.month(), d.day()}, t.hour(), t.minute(), t.second()),
        siteZone);
    SetUtcClockForTesting([ut] { return ut; });
}

// Sets the main window's date fields, as the user would with their arrows.
inline void SetDate(TfrmMirado &main, const TDateRec &date)
{
    main.findChild<QSpinBox *>("sedYear")->setValue(date.year);
    main.findChild<QSpinBox *>("sedMonth")->setValue(date.month);
    main.findChild<QSpinBox *>("sedDay")->setValue(date.day);
}

// The program's windows in a working folder of their own, with the message
// boxes recorded and the clock standing where the test puts it.
class WindowFixture
{
public:
    WindowFixture() : previousDir_(QDir::currentPath())
    {
        QDir::setCurrent(dir_.path());
        // The user's own settings file lies in the scratch folder too.
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir_.path());
        SetMessageHandlerForTesting([this](const Message &message) { messages << message; });
        setNow(QDateTime(QDate(2026, 12, 7), QTime(21, 0)));
    }
    ~WindowFixture()
    {
        windows_.reset();
        SetMessageHandlerForTesting({});
        SetUtcClockForTesting({});
        QDir::setCurrent(previousDir_);
    }
    WindowFixture(const WindowFixture &) = delete;
    WindowFixture &operator=(const WindowFixture &) = delete;

    QDir dir() const { return QDir(dir_.path()); }

    QString write(const QString &name, const QByteArray &bytes) const
    {
        QFile file(dir().filePath(name));
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
        return file.fileName();
    }

    // The site's local moment; the site's zone is 9 hours.
    void setNow(const QDateTime &now) { SetSiteClockForTesting(now); }

    // Builds the windows (again, after the last ones are gone) without
    // showing them.
    MiradoWindows &create()
    {
        windows_.reset();
        windows_ = std::make_unique<MiradoWindows>();
        // The options dialog saves site.txt into the scratch folder, never
        // beside the test program.
        windows_->frmMirado().setProgramFolderForTesting(dir_.path());
        return *windows_;
    }

    // Builds the windows and shows the main window (its FormShow runs).
    TfrmMirado &start()
    {
        create().frmMirado().show();
        return windows_->frmMirado();
    }

    MiradoWindows &windows() { return *windows_; }
    TfrmMirado &main() { return windows_->frmMirado(); }

    QList<Message> messages;

private:
    QTemporaryDir dir_;
    QString previousDir_;
    std::unique_ptr<MiradoWindows> windows_;
};

} // namespace mirado::test
