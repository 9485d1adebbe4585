// SPDX-License-Identifier: GPL-3.0-or-later
// Loads one catalogue and exits, so a test or a measurement can take the
// peak resident memory of the whole process:
//   memory_probe window FOLDER   the windows started in FOLDER, whose site.txt
//                                names the catalogue; the selection list filled
//   memory_probe read FILE       the catalogue read through the data library
// Prints the lines read and the milliseconds taken.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <cstdio>
#include <cstring>

#include "data/encoding.h"
#include "data/lines.h"
#include "dialogs/select.h"
#include "mainwindow/application.h"
#include "mainwindow/mirado.h"

using namespace mirado;

int main(int argc, char **argv)
{
    if (argc != 3)
        return 2;
    QElapsedTimer timer;
    if (std::strcmp(argv[1], "read") == 0) {
        timer.start();
        CatalogueLines lines;
        ReadLines(argv[2], lines);
        const TextEncoding encoding = DetectDisplayEncoding(lines);
        std::printf("%zu %lld %d\n", lines.size(), static_cast<long long>(timer.elapsed()),
                    static_cast<int>(encoding));
        return 0;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (!QDir::setCurrent(QString::fromLocal8Bit(argv[2])))
        return 2;
    timer.start();
    SetUpApplication();
    MiradoWindows windows;
    windows.frmMirado().show();
    QApplication::processEvents();
    std::printf("%d %lld\n", windows.frmSelect().itemCount(),
                static_cast<long long>(timer.elapsed()));
    return 0;
}
