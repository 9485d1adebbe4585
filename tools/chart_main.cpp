// SPDX-License-Identifier: GPL-3.0-or-later
// mirado-night-chart: the runs of mirado-night that need Qt, started by it
// with the same arguments.
#include <QString>
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "nightchart.h"

namespace {

// Standard error carries the program's own messages, which scripts read; Qt's
// notes about the environment (no runtime folder, font fallbacks) stay out
// of it. Critical and fatal messages still show.
void DropQtNotes(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "mirado-night: %s\n", message.toLocal8Bit().constData());
}

} // namespace

int main(int argc, char **argv)
{
    std::signal(SIGPIPE, SIG_IGN);
    qInstallMessageHandler(DropQtNotes);
    const std::vector<std::string> args(argv + 1, argv + argc);
    return mirado::tool::Main(args, stdout, stderr, mirado::tool::ChartParts());
}
