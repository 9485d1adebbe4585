// SPDX-License-Identifier: GPL-3.0-or-later
// Holds or checks the user's real single-instance lock, found exactly as the
// program finds it, so that the test command can keep it held while the
// suite runs: a test that still reaches for the real lock then fails every
// time instead of by chance.
//
//   lock_holder hold    prints "held PATH" once the lock is this process's, or
//                       "waiting PATH" while a running Mirado holds it (and
//                       takes it over when that copy ends); holds it until
//                       standard input closes
//   lock_holder check   exit 0 when some process holds the lock, 1 otherwise
#include <poll.h>

#include <cstdio>
#include <cstring>
#include <unistd.h>

#include "dialogs/messages.h"
#include "platform/singleinstance.h"

namespace {

constexpr int kRetryMs = 200;

// True when standard input has closed (or failed) within `timeoutMs`.
bool InputClosed(int timeoutMs)
{
    pollfd input{STDIN_FILENO, POLLIN, 0};
    if (::poll(&input, 1, timeoutMs) <= 0)
        return false;
    char buffer[256];
    return ::read(STDIN_FILENO, buffer, sizeof buffer) <= 0;
}

int Hold()
{
    bool told = false;
    for (;;) {
        const mirado::SingleInstance lock(mirado::kApplicationTitle);
        switch (lock.state()) {
        case mirado::SingleInstance::State::Acquired:
            std::printf("held %s\n", qPrintable(lock.lockPath()));
            std::fflush(stdout);
            while (!InputClosed(-1)) {
            }
            return 0;
        case mirado::SingleInstance::State::HeldElsewhere:
            if (!told) {
                std::printf("waiting %s\n", qPrintable(lock.lockPath()));
                std::fflush(stdout);
                told = true;
            }
            if (InputClosed(kRetryMs))
                return 0;
            break;
        case mirado::SingleInstance::State::Unavailable:
            std::fprintf(stderr, "lock_holder: %s\n", qPrintable(lock.problem()));
            return 1;
        }
    }
}

int Check()
{
    const mirado::SingleInstance lock(mirado::kApplicationTitle);
    if (lock.state() == mirado::SingleInstance::State::HeldElsewhere)
        return 0;
    std::fprintf(stderr, "lock_holder: nothing holds %s\n", qPrintable(lock.lockPath()));
    return 1;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 2 && std::strcmp(argv[1], "hold") == 0)
        return Hold();
    if (argc == 2 && std::strcmp(argv[1], "check") == 0)
        return Check();
    std::fprintf(stderr, "usage: lock_holder hold|check\n");
    return 2;
}
