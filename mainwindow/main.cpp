// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>

#include "application.h"

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    return mirado::RunMirado(QApplication::arguments());
}
