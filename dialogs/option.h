// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <string>
#include <utility>
#include <vector>

#include "data/site.h"
#include "plaindialog.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace mirado {

// What the options dialog reads and changes of the main window.
class SiteSettingsHost
{
public:
    virtual ~SiteSettingsHost() = default;
    // The site values in force, changed in place by a save.
    virtual SiteValues &siteValues() = 0;
    // Reads the catalogue again and refills the selection list.
    virtual void loadCatalogue(const std::string &path) = 0;
    // The main window's file-open dialog: the chosen file, or empty.
    virtual QString runOpenDialog() = 0;
    virtual char decimalSeparator() const = 0;
    // Where a save writes site.txt: the program's own folder.
    virtual std::string siteFileSavePath() const = 0;
};

// The options dialog: the catalogue opened at start and the observing site.
// Saving applies the values to the main window step by step, reloads the
// catalogue and writes site.txt; a failing step ends the save there, with the
// earlier steps in force and the dialog left open.
class TfrmOption : public PlainDialog
{
    Q_OBJECT

public:
    TfrmOption(QWidget *parent, SiteSettingsHost &host);

    void FormShow();
    void btnBrowsClick();
    void btnSaveClick();
    void btnCancelClick();

protected:
    void showEvent(QShowEvent *event) override;

private:
    QLineEdit *addLabelledEdit(const char *name, const QString &label, int left);
    void placeCaptions();

    SiteSettingsHost &host_;
    QGroupBox *gbDefault_;
    QLineEdit *edtFileName_;
    QLineEdit *lbeLongitude_;
    QLineEdit *lbeLatitude_;
    QLineEdit *lbeTimeZone_;
    QPushButton *btnBrows_;
    QPushButton *btnSave_;
    QPushButton *btnCancel_;
    // The path as shown and the bytes it was shown from, so an unedited path
    // is saved byte for byte.
    QString shownPath_;
    std::string shownPathBytes_;
    // The edits' captions, placed beside them at the first showing.
    std::vector<std::pair<QLabel *, QLineEdit *>> captions_;
    bool captionsPlaced_ = false;
};

} // namespace mirado
