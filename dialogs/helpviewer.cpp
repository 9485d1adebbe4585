// SPDX-License-Identifier: GPL-3.0-or-later
#include "helpviewer.h"

#include <QFile>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <string>
#include <system_error>

#include "data/lines.h"
#include "messages.h"
#include "platform/textcodec.h"

namespace mirado {

namespace {

constexpr QSize kViewerSize{640, 560};
const QString kViewerTitle = QStringLiteral("Mirado ヘルプ");

} // namespace

HelpViewer::HelpViewer(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("HelpViewer"));
    setWindowTitle(kViewerTitle);
    resize(kViewerSize);
    browser_ = new QTextBrowser(this);
    browser_->setObjectName(QStringLiteral("HelpContents"));
    browser_->setOpenExternalLinks(true);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
}

bool HelpViewer::openContents(const QString &path)
{
    std::error_code ec;
    const std::string text = ReadFileBytes(QFile::encodeName(path).toStdString(), ec);
    if (ec) {
        ShowMessage(this, {MessageIcon::Error, kViewerTitle,
                           QStringLiteral("ヘルプファイル %1 を開けません。").arg(path)});
        return false;
    }
    browser_->setMarkdown(DecodeForDisplay(text, DetectDisplayEncoding(text)));
    shownFile_ = path;
    show();
    raise();
    activateWindow();
    return true;
}

QString HelpViewer::contentsText() const
{
    return browser_->toPlainText();
}

} // namespace mirado
