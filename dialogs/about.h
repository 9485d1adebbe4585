// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "plaindialog.h"

class QLabel;

namespace mirado {

// The about dialog: the program's name, its version read anew from the
// version resource at every showing, and the maker's notice.
class TfrmAbout : public PlainDialog
{
    Q_OBJECT

public:
    explicit TfrmAbout(QWidget *parent);

    // The file whose version resource is read; empty for the running program.
    void setVersionFile(const std::string &path) { versionFile_ = path; }

    void FormShow();
    void btnOKClick();

protected:
    void showEvent(QShowEvent *event) override;

private:
    QLabel *imgIcon_;
    QLabel *lblVersion_;
    std::string versionFile_;
};

} // namespace mirado
