// SPDX-License-Identifier: GPL-3.0-or-later
// Loads one catalogue and exits, so a test or a measurement can take the
// peak resident memory of the whole process:
//   memory_probe read FILE       the catalogue read through the data library,
//                                its encoding detected and its first thousand
//                                lines parsed, as mirado-night reads it
//   memory_probe window FOLDER   the windows started in FOLDER, whose site.txt
//                                names the catalogue, with the selection list
//                                filled; a list of at most a thousand lines is
//                                also checked and plotted
//   memory_probe plot FOLDER     as window, with every line checked and
//                                plotted whatever the number of lines
// Prints the lines read, the milliseconds taken and the peak resident memory
// in kilobytes (VmHWM: the process's own, not inherited from its parent).
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "data/catalogue.h"
#include "data/encoding.h"
#include "data/errors.h"
#include "data/lines.h"
#include "dialogs/messages.h"
#include "dialogs/select.h"
#include "mainwindow/application.h"
#include "mainwindow/mirado.h"

using namespace mirado;

namespace {

constexpr std::size_t kParsedLines = 1000;

long long PeakResidentKilobytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 3)
        return 2;
    QElapsedTimer timer;
    if (std::strcmp(argv[1], "read") == 0) {
        timer.start();
        const ObjectCatalogue catalogue = ObjectCatalogue::Read(argv[2], kDefaultDecimalSeparator);
        for (std::size_t i = 0; i < std::min(catalogue.size(), kParsedLines); ++i) {
            try {
                catalogue.object(i);
            } catch (const Error &) {
                // A line that does not parse is read all the same.
            }
        }
        std::printf("%zu %lld %lld\n", catalogue.size(), static_cast<long long>(timer.elapsed()),
                    PeakResidentKilobytes());
        return 0;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (!QDir::setCurrent(QString::fromLocal8Bit(argv[2])))
        return 2;
    // A message box would wait for a click: its text goes to the error output.
    SetMessageHandlerForTesting([](const Message &message) {
        std::fprintf(stderr, "%s\n", qPrintable(message.text.left(200)));
    });
    timer.start();
    SetUpApplication();
    MiradoWindows windows;
    windows.frmMirado().show();
    QApplication::processEvents();
    TfrmSelect &select = windows.frmSelect();
    if (std::strcmp(argv[1], "plot") == 0 || select.itemCount() <= static_cast<int>(kParsedLines)) {
        select.btnSelectAllClick();
        select.btnOKClick();
    }
    std::printf("%d %lld %lld\n", select.itemCount(), static_cast<long long>(timer.elapsed()),
                PeakResidentKilobytes());
    return 0;
}
