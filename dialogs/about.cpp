// SPDX-License-Identifier: GPL-3.0-or-later
#include "about.h"

#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QPushButton>

#include "messages.h"
#include "platform/fonts.h"
#include "versioninfo/fileversioninfo.h"

namespace mirado {

namespace {

constexpr QSize kClientSize{224, 97};
constexpr int kIconSide = 48;

// A label that takes the size of its text when the dialog is first shown.
QLabel *MakeLabel(QWidget *parent, const char *name, const QString &text, const QPoint &at,
                  const QFont &font)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setFont(font);
    label->move(at);
    return label;
}

} // namespace

TfrmAbout::TfrmAbout(QWidget *parent) : PlainDialog(parent)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
    setModal(true);
    setFont(PixelFont(kMsPGothic, 12));
    setFixedSize(kClientSize);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    move(270, 217);

    auto *bevel = new QFrame(this);
    bevel->setObjectName(QStringLiteral("Bevel1"));
    bevel->setFrameShape(QFrame::Panel);
    bevel->setFrameShadow(QFrame::Sunken);
    bevel->setGeometry(4, 8, 217, 57);

    imgIcon_ = new QLabel(this);
    imgIcon_->setObjectName(QStringLiteral("imgIcon"));
    imgIcon_->setGeometry(8, 12, 49, 49);

    MakeLabel(this, "lblName", QStringLiteral("Mirado"), {64, 16},
              PixelFont(kCenturyFont, 19, true));
    lblVersion_ = MakeLabel(this, "lblVersion", QStringLiteral("Version"), {140, 24},
                            PixelFont(kArialFont, 13));
    MakeLabel(this, "lblNotice", QStringLiteral("© Mirado developers"), {64, 44},
              PixelFont(kArialFont, 13));

    auto *btnOK = new QPushButton(QStringLiteral("OK"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setAutoDefault(false);
    btnOK->setGeometry(144, 72, 75, 21);
    connect(btnOK, &QPushButton::clicked, this, &TfrmAbout::btnOKClick);
}

void TfrmAbout::showEvent(QShowEvent *event)
{
    // The icon is drawn, and the labels measured in their fonts, at the
    // first showing, so that the dialog, made at start, costs the start
    // little.
    if (imgIcon_->pixmap().isNull())
        imgIcon_->setPixmap(
            QIcon(QStringLiteral(":/icons/mirado.svg")).pixmap(QSize(kIconSide, kIconSide)));
    PlainDialog::showEvent(event);
    RunGuarded(this, [this] { FormShow(); });
}

void TfrmAbout::FormShow()
{
    TFileVersionInfo info;
    if (!versionFile_.empty())
        info.SetFileName(versionFile_);
    setWindowTitle(QStringLiteral("Mirado バージョン情報"));
    lblVersion_->setText(QStringLiteral("Version ") + QString::fromStdString(VersionText(info)));
    lblVersion_->adjustSize();
}

void TfrmAbout::btnOKClick()
{
    reject();
}

} // namespace mirado
