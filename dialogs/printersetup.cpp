// SPDX-License-Identifier: GPL-3.0-or-later
#include "printersetup.h"

#include <QDialogButtonBox>
#include <QPushButton>

namespace mirado {

namespace {

const QString kSetupCaption = QStringLiteral("ﾌﾟﾘﾝﾀの設定");
const QString kConfirmText = QStringLiteral("OK");

} // namespace

PrinterSetupDialog::PrinterSetupDialog(QPrinter *printer, QWidget *parent)
    : QPrintDialog(printer, parent)
{
    setObjectName(QStringLiteral("PrinterSetupDialog"));
    setWindowTitle(kSetupCaption);
    // The printers, a PDF file among them, and their properties (the paper
    // and the orientation); nothing of a print job is asked.
    setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize);
}

void PrinterSetupDialog::showEvent(QShowEvent *event)
{
    QPrintDialog::showEvent(event);
    // Confirming sets the printer up; it prints nothing.
    if (auto *buttons = findChild<QDialogButtonBox *>()) {
        if (QPushButton *ok = buttons->button(QDialogButtonBox::Ok))
            ok->setText(kConfirmText);
    }
}

} // namespace mirado
