// Starts a program and watches its captioned top-level window on the X
// server: when it is first mapped, whether it is ever unmapped, and whether
// another native window with the same caption replaces it. Prints one line
//
//   first-map-ms 142.3 unmaps 0 windows 1 destroyed 0
//
// and exits 0 once the program has run `--for-ms` (it is then ended), or 1
// when no such window was mapped. The caption is matched as a byte substring
// of _NET_WM_NAME (UTF-8) or WM_NAME.
//
//   bench_mapwatch --title TEXT [--for-ms 4000] -- program [args...]
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <set>
#include <string>

namespace {

double nowMs()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

std::string property(Display *display, Window window, Atom name)
{
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char *data = nullptr;
    std::string value;
    if (XGetWindowProperty(display, window, name, 0, 1024, False, AnyPropertyType, &type, &format,
                           &count, &after, &data) == Success &&
        data) {
        if (format == 8)
            value.assign(reinterpret_cast<const char *>(data), count);
        XFree(data);
    }
    return value;
}

// A window may be gone by the time we ask; that is no error of ours.
int ignoreErrors(Display *, XErrorEvent *)
{
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    std::string title;
    double forMs = 4000;
    int commandAt = -1;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--title") && i + 1 < argc)
            title = argv[++i];
        else if (!std::strcmp(argv[i], "--for-ms") && i + 1 < argc)
            forMs = std::atof(argv[++i]);
        else if (!std::strcmp(argv[i], "--")) {
            commandAt = i + 1;
            break;
        }
    }
    if (title.empty() || commandAt < 0 || commandAt >= argc) {
        std::fprintf(stderr, "usage: %s --title TEXT [--for-ms N] -- program [args...]\n", argv[0]);
        return 2;
    }
    Display *display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "no X display\n");
        return 2;
    }
    XSetErrorHandler(ignoreErrors);
    const Window root = DefaultRootWindow(display);
    const Atom netName = XInternAtom(display, "_NET_WM_NAME", False);
    // Top-level windows are the root's children (no window manager under
    // Xvfb); with one, they are reparented into frames, which still map
    // and unmap the client window as a child of the frame: watch both.
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, False);

    const double start = nowMs();
    const pid_t child = fork();
    if (child == 0) {
        execvp(argv[commandAt], argv + commandAt);
        _exit(127);
    }
    std::set<Window> ours;
    double firstMap = -1;
    int unmaps = 0;
    int destroyed = 0;
    bool exited = false;
    const int fd = ConnectionNumber(display);
    while (nowMs() - start < forMs) {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            const double at = nowMs() - start;
            if (event.type == CreateNotify) {
                XSelectInput(display, event.xcreatewindow.window, SubstructureNotifyMask);
            } else if (event.type == MapNotify) {
                const Window w = event.xmap.window;
                std::string name = property(display, w, netName);
                if (name.empty())
                    name = property(display, w, XA_WM_NAME);
                if (name.find(title) == std::string::npos)
                    continue;
                if (firstMap < 0)
                    firstMap = at;
                if (ours.insert(w).second && ours.size() > 1)
                    std::fprintf(stderr, "%8.1f ms: another window 0x%lx mapped\n", at, w);
            } else if (event.type == UnmapNotify && ours.count(event.xunmap.window)) {
                ++unmaps;
                std::fprintf(stderr, "%8.1f ms: window 0x%lx unmapped\n", at, event.xunmap.window);
            } else if (event.type == DestroyNotify && ours.count(event.xdestroywindow.window)) {
                ++destroyed;
                std::fprintf(stderr, "%8.1f ms: window 0x%lx destroyed\n", at,
                             event.xdestroywindow.window);
            }
        }
        int status = 0;
        if (!exited && waitpid(child, &status, WNOHANG) == child) {
            exited = true;
            std::fprintf(stderr, "the program ended by itself after %.0f ms\n", nowMs() - start);
            break;
        }
        pollfd p{fd, POLLIN, 0};
        poll(&p, 1, 2);
    }
    if (!exited) {
        kill(child, SIGTERM);
        waitpid(child, nullptr, 0);
    }
    XCloseDisplay(display);
    if (firstMap < 0) {
        std::printf("first-map-ms none unmaps 0 windows 0 destroyed 0\n");
        return 1;
    }
    std::printf("first-map-ms %.1f unmaps %d windows %zu destroyed %d\n", firstMap, unmaps,
                ours.size(), destroyed);
    return 0;
}
