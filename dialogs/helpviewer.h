// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class QTextBrowser;

namespace mirado {

// The program's help viewer: a window of its own that shows the contents of
// a help file written in a simple text markup (headings with #, lists with -,
// paragraphs, **bold**, `code`). A file that is missing or cannot be read is
// reported by the viewer in a message box.
class HelpViewer : public QWidget
{
    Q_OBJECT

public:
    explicit HelpViewer(QWidget *parent = nullptr);

    // Opens the file's contents; returns false (after reporting it) when the
    // file cannot be read.
    bool openContents(const QString &path);

    QString shownFile() const { return shownFile_; }
    QString contentsText() const;

private:
    QTextBrowser *browser_;
    QString shownFile_;
};

} // namespace mirado
