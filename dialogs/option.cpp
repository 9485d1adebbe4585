// SPDX-License-Identifier: GPL-3.0-or-later
#include "option.h"

#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "data/convert.h"
#include "messages.h"
#include "platform/fonts.h"
#include "platform/textcodec.h"

namespace mirado {

namespace {

constexpr QSize kClientSize{526, 115};
constexpr int kLabelGap = 3;
constexpr QSize kNumberEditSize{61, 20};

QPushButton *MakeButton(QWidget *parent, const char *name, const QString &caption,
                        const QRect &geometry)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    button->setGeometry(geometry);
    return button;
}

std::string TextBytes(const QLineEdit *edit)
{
    return edit->text().toStdString();
}

} // namespace

TfrmOption::TfrmOption(QWidget *parent, SiteSettingsHost &host) : PlainDialog(parent), host_(host)
{
    setObjectName(QStringLiteral("frmOption"));
    setWindowTitle(QStringLiteral("ｵﾌﾟｼｮﾝ"));
    setModal(true);
    setFont(PixelFont(kMsPGothic, 12)); // 9 point at 96 pixels per inch
    setFixedSize(kClientSize);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);

    gbDefault_ = new QGroupBox(QStringLiteral("初期設定"), this);
    gbDefault_->setObjectName(QStringLiteral("gbDefault"));
    gbDefault_->setGeometry(4, 4, 517, 77);

    auto *lblFileName = new QLabel(QStringLiteral("天体ファイル"), gbDefault_);
    lblFileName->setObjectName(QStringLiteral("lblFileName"));
    lblFileName->move(12, 21);
    edtFileName_ = new QLineEdit(gbDefault_);
    edtFileName_->setObjectName(QStringLiteral("edtFileName"));
    edtFileName_->setGeometry(112, 16, 329, 20);
    btnBrows_ = MakeButton(gbDefault_, "btnBrows", QStringLiteral("参照"), {448, 16, 57, 21});

    auto *lblSite = new QLabel(QStringLiteral("観測地"), gbDefault_);
    lblSite->setObjectName(QStringLiteral("lblSite"));
    lblSite->move(12, 48);
    lbeLongitude_ = addLabelledEdit("lbeLongitude", QStringLiteral("経度"), 112);
    lbeLatitude_ = addLabelledEdit("lbeLatitude", QStringLiteral("緯度"), 212);
    lbeTimeZone_ = addLabelledEdit("lbeTimeZone", QStringLiteral("タイムゾーン"), 348);

    btnSave_ = MakeButton(this, "btnSave", QStringLiteral("設定 保存"), {356, 88, 77, 21});
    btnCancel_ = MakeButton(this, "btnCancel", QStringLiteral("ｷｬﾝｾﾙ"), {444, 88, 77, 21});

    setTabOrder(btnCancel_, edtFileName_);
    setTabOrder(edtFileName_, btnBrows_);
    setTabOrder(btnBrows_, lbeLongitude_);
    setTabOrder(lbeLongitude_, lbeLatitude_);
    setTabOrder(lbeLatitude_, lbeTimeZone_);
    setTabOrder(lbeTimeZone_, btnSave_);

    connect(btnBrows_, &QPushButton::clicked, this, &TfrmOption::btnBrowsClick);
    connect(btnSave_, &QPushButton::clicked, this,
            [this] { RunGuarded(this, [this] { btnSaveClick(); }); });
    connect(btnCancel_, &QPushButton::clicked, this, &TfrmOption::btnCancelClick);
}

QLineEdit *TfrmOption::addLabelledEdit(const char *name, const QString &label, int left)
{
    auto *edit = new QLineEdit(gbDefault_);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setGeometry(QRect(QPoint(left, 45), kNumberEditSize));
    auto *caption = new QLabel(label, gbDefault_);
    caption->setObjectName(QString::fromLatin1(name) + QStringLiteral("Label"));
    caption->setBuddy(edit);
    captions_.push_back({caption, edit});
    return edit;
}

void TfrmOption::placeCaptions()
{
    // Each caption stands on the left of its edit, 3 pixels apart, centred
    // on it.
    for (const auto &[caption, edit] : captions_) {
        caption->adjustSize();
        caption->move(edit->x() - kLabelGap - caption->width(),
                      edit->y() + (edit->height() - caption->height()) / 2);
    }
}

void TfrmOption::showEvent(QShowEvent *event)
{
    // The captions are measured in their font at the first showing, not
    // while the program starts.
    if (!captionsPlaced_) {
        captionsPlaced_ = true;
        placeCaptions();
    }
    PlainDialog::showEvent(event);
    RunGuarded(this, [this] { FormShow(); });
    // The tab order starts at the cancel button, and so does the focus.
    btnCancel_->setFocus(Qt::OtherFocusReason);
}

void TfrmOption::FormShow()
{
    const SiteValues &site = host_.siteValues();
    const char separator = host_.decimalSeparator();
    lbeLongitude_->setText(QString::fromStdString(FloatToStr(site.longitude, separator)));
    lbeLatitude_->setText(QString::fromStdString(FloatToStr(site.latitude, separator)));
    lbeTimeZone_->setText(QString::fromStdString(FloatToStr(site.timeZone, separator)));
    shownPathBytes_ = site.cataloguePath;
    shownPath_ = DecodeForDisplay(shownPathBytes_, DetectDisplayEncoding(shownPathBytes_));
    edtFileName_->setText(shownPath_);
}

void TfrmOption::btnBrowsClick()
{
    try {
        const QString path = host_.runOpenDialog();
        if (!path.isEmpty())
            edtFileName_->setText(path);
    } catch (const std::exception &error) {
        ShowWarning(this, ErrorText(error));
    }
}

void TfrmOption::btnSaveClick()
{
    SiteValues &site = host_.siteValues();
    const char separator = host_.decimalSeparator();

    // Each value is in force as soon as it converts.
    site.longitude = StrToFloat(TextBytes(lbeLongitude_), separator);
    site.latitude = StrToFloat(TextBytes(lbeLatitude_), separator);
    site.timeZone = StrToFloat(TextBytes(lbeTimeZone_), separator);
    site.cataloguePath = edtFileName_->text() == shownPath_
                             ? shownPathBytes_
                             : QFile::encodeName(edtFileName_->text()).toStdString();

    // The catalogue read again, then the file written.
    host_.loadCatalogue(site.cataloguePath);
    WriteSiteFile(host_.siteFileSavePath(), site, separator);
    accept();
}

void TfrmOption::btnCancelClick()
{
    reject();
}

} // namespace mirado
