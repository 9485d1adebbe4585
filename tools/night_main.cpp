// SPDX-License-Identifier: GPL-3.0-or-later
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "companion.h"
#include "run.h"

int main(int argc, char **argv)
{
    // A closed pipe shows as a failed write, which ends the run quietly.
    std::signal(SIGPIPE, SIG_IGN);
    const std::vector<std::string> args(argv + 1, argv + argc);
    mirado::tool::QtParts qt;
    qt.handOver = [&args] { return mirado::tool::HandOverToCompanion(args); };
    return mirado::tool::Main(args, stdout, stderr, qt);
}
