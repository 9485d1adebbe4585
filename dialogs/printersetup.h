// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPrintDialog>

class QPrinter;
class QShowEvent;

namespace mirado {

// The printer set-up (ﾌﾟﾘﾝﾀの設定): Qt's print dialog in the role of the
// platform's printer set-up dialog. It offers the printer, and through its
// properties the paper and the orientation; OK stores the choices in the
// printer without printing, so the next print uses them, and Cancel leaves
// the printer as it was. Nothing of a print job (page range, selection) is
// offered.
class PrinterSetupDialog : public QPrintDialog
{
    Q_OBJECT

public:
    PrinterSetupDialog(QPrinter *printer, QWidget *parent);

protected:
    void showEvent(QShowEvent *event) override;
};

} // namespace mirado
