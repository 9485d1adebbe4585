// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

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

// Sets up the application: its title, the font families the windows name.
void SetUpApplication();

// The program: single instance, windows, event loop. Returns the exit code.
int RunMirado();

} // namespace mirado
