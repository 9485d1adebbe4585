// SPDX-License-Identifier: GPL-3.0-or-later
// Times the start of the main window against the start of a minimal Qt
// Widgets window (startup_floor), from the process start to the window being
// mapped on the X server, both started from a folder holding the example
// site.txt, alternating, RUNS times each; prints each program's median and
// their ratio. Needs an X server without a window manager in DISPLAY
// (bench/startup_bench.sh starts one) and no Mirado of the user running,
// since the program takes the user's single-instance lock.
//
//   startup_bench FOLDER MIRADO FLOOR [RUNS]
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

extern char **environ;

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kDefaultRuns = 10;
constexpr auto kTimeout = std::chrono::seconds(30);

// The window's title, from _NET_WM_NAME (UTF-8) or WM_NAME.
std::string WindowTitle(Display *display, Window window)
{
    const Atom netName = XInternAtom(display, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char *data = nullptr;
    std::string title;
    if (XGetWindowProperty(display, window, netName, 0, 1024, False, utf8, &type, &format, &count,
                           &after, &data) == Success &&
        data != nullptr) {
        title.assign(reinterpret_cast<char *>(data), count);
        XFree(data);
    }
    if (title.empty()) {
        char *name = nullptr;
        if (XFetchName(display, window, &name) && name != nullptr) {
            title = name;
            XFree(name);
        }
    }
    return title;
}

// Starts `program` in `folder` and returns the milliseconds until a window
// whose title starts with `title` is mapped; negative on a timeout.
double TimeToWindow(Display *display, const std::string &folder, const std::string &program,
                    const std::string &title)
{
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, True);
    if (chdir(folder.c_str()) != 0)
        return -1.0;
    const Clock::time_point start = Clock::now();
    char *argv[] = {const_cast<char *>(program.c_str()), nullptr};
    pid_t child = 0;
    if (posix_spawn(&child, program.c_str(), nullptr, nullptr, argv, environ) != 0)
        return -1.0;
    double elapsedMs = -1.0;
    while (Clock::now() - start < kTimeout) {
        // Waits for the next event no longer than the time left, so that a
        // window that never comes ends the run at the timeout.
        if (XPending(display) == 0) {
            pollfd connection{ConnectionNumber(display), POLLIN, 0};
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                kTimeout - (Clock::now() - start));
            poll(&connection, 1, static_cast<int>(std::max<long long>(left.count(), 0)));
            continue;
        }
        XEvent event;
        XNextEvent(display, &event);
        if (event.type != MapNotify)
            continue;
        if (WindowTitle(display, event.xmap.window).rfind(title, 0) == 0) {
            elapsedMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
            break;
        }
    }
    kill(child, SIGTERM);
    waitpid(child, nullptr, 0);
    return elapsedMs;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: startup_bench FOLDER MIRADO FLOOR [RUNS]\n");
        return 2;
    }
    const std::string folder = argv[1];
    const int runs = argc > 4 ? std::atoi(argv[4]) : kDefaultRuns;
    Display *display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "startup_bench: no X server in DISPLAY\n");
        return 2;
    }
    std::vector<double> mirado, floor;
    for (int run = 0; run < runs; ++run) {
        const double m = TimeToWindow(display, folder, argv[2], "Mirado");
        const double f = TimeToWindow(display, folder, argv[3], "Minimal floor");
        if (m < 0 || f < 0) {
            std::fprintf(stderr, "startup_bench: no window within %lld s (is Mirado running?)\n",
                         static_cast<long long>(kTimeout.count()));
            return 1;
        }
        mirado.push_back(m);
        floor.push_back(f);
        std::printf("run %2d: mirado %7.1f ms, floor %7.1f ms\n", run + 1, m, f);
    }
    const double m = Median(mirado), f = Median(floor);
    std::printf("median of %d: mirado %.1f ms, floor %.1f ms, ratio %.2f\n", runs, m, f, m / f);
    XCloseDisplay(display);
    return 0;
}
