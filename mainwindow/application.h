// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>
#include <memory>

class QLocale;
class QTranslator;

namespace mirado {

class TfrmAbout;
class TfrmMirado;
class TfrmOption;
class TfrmPreview;
class TfrmSelect;

// The program's windows, created in their fixed order: the main window (whose
// FormCreate runs before the others exist), the object selection dialog, the
// about dialog, the options dialog and the print preview window.
class MiradoWindows
{
public:
    MiradoWindows();
    ~MiradoWindows();
    MiradoWindows(const MiradoWindows &) = delete;
    MiradoWindows &operator=(const MiradoWindows &) = delete;

    TfrmMirado &frmMirado() { return *frmMirado_; }
    TfrmSelect &frmSelect() { return *frmSelect_; }
    TfrmAbout &frmAbout() { return *frmAbout_; }
    TfrmOption &frmOption() { return *frmOption_; }
    TfrmPreview &frmPreview() { return *frmPreview_; }

private:
    std::unique_ptr<TfrmMirado> frmMirado_;
    TfrmSelect *frmSelect_;
    TfrmAbout *frmAbout_;
    TfrmOption *frmOption_;
    TfrmPreview *frmPreview_;
};

// Loads Qt's own translations (qtbase) for `locale` from Qt's translations
// folder and installs them. Returns the translator, owned by the application,
// or null when there is none for the locale.
QTranslator *InstallQtTranslations(const QLocale &locale);

// Sets up the application: its title, the font families the windows name and
// Qt's translations for the system locale.
void SetUpApplication();

// Shows the main window, whose first showing reads the site file and the
// catalogue it names, then opens the catalogue named by the first argument
// after the program's own name, as the open command would. Further arguments
// are ignored.
void ShowMainWindow(MiradoWindows &windows, const QStringList &arguments);

// The program: single instance, windows, event loop. `arguments` are the
// program's own, Qt's options already taken out. When another copy runs, the
// file named in them is not handed over to it. Returns the exit code.
int RunMirado(const QStringList &arguments);

// The same with the lock looked for in `lockFolders` instead of the user's
// own folders, so that tests never meet the lock of the user's real copy.
int RunMirado(const QStringList &arguments, const QStringList &lockFolders);

} // namespace mirado
