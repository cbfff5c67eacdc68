// Starts a program under the X display in $DISPLAY and reports how long after its exec its
// first top-level window was mapped, and its resident memory a while later.
//   quellor-map-time [--rss-after MS] [--timeout MS] -- program [arguments...]
// Prints "map_ms=<float> rss_kb=<int>" and ends the program (terminate, then kill).
#include <xcb/xcb.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <poll.h>

namespace {

using Clock = std::chrono::steady_clock;

long ResidentKb(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    return -1;
}

void Stop(pid_t pid)
{
    ::kill(pid, SIGTERM);
    for (int i = 0; i < 100; ++i) {
        if (::waitpid(pid, nullptr, WNOHANG) == pid)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
}

int Usage()
{
    std::fprintf(stderr, "usage: quellor-map-time [--rss-after MS] [--timeout MS] -- program [arguments...]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    long rssAfter = 3000, timeout = 20000;
    int first = 1;
    for (; first < argc; ++first) {
        const std::string a = argv[first];
        if (a == "--") {
            ++first;
            break;
        }
        if ((a == "--rss-after" || a == "--timeout") && first + 1 < argc) {
            char* end = nullptr;
            const long v = std::strtol(argv[++first], &end, 10);
            if (*end != '\0' || v < 0 || v > 600000)
                return Usage();
            (a == "--timeout" ? timeout : rssAfter) = v;
            continue;
        }
        return Usage();
    }
    if (first >= argc)
        return Usage();

    xcb_connection_t* x = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(x)) {
        std::fprintf(stderr, "quellor-map-time: cannot open the display\n");
        return 1;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(x)).data->root;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(x, root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(x);
    // A round trip, so that the selection is in force before the program starts.
    free(xcb_get_input_focus_reply(x, xcb_get_input_focus(x), nullptr));

    const Clock::time_point start = Clock::now();
    const pid_t pid = ::fork();
    if (pid < 0)
        return 1;
    if (pid == 0) {
        ::execvp(argv[first], argv + first);
        std::fprintf(stderr, "quellor-map-time: cannot start %s: %s\n", argv[first], std::strerror(errno));
        ::_exit(127);
    }

    double mapMs = -1;
    pollfd fd{xcb_get_file_descriptor(x), POLLIN, 0};
    while (mapMs < 0) {
        const long left = timeout - std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
        if (left <= 0 || ::waitpid(pid, nullptr, WNOHANG) == pid)
            break;
        ::poll(&fd, 1, static_cast<int>(std::min(left, 50L)));
        while (xcb_generic_event_t* e = xcb_poll_for_event(x)) {
            // Windows of the program's own, not the display's: only top-levels that become
            // visible, and not the unmapped helper windows Qt creates.
            if ((e->response_type & 0x7f) == XCB_MAP_NOTIFY && mapMs < 0) {
                const auto* map = reinterpret_cast<xcb_map_notify_event_t*>(e);
                if (map->event == root)
                    mapMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
            }
            free(e);
        }
        if (xcb_connection_has_error(x))
            break;
    }
    long kb = -1;
    if (mapMs >= 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(rssAfter));
        kb = ResidentKb(pid);
    }
    Stop(pid);
    xcb_disconnect(x);
    if (mapMs < 0) {
        std::fprintf(stderr, "quellor-map-time: no window was mapped\n");
        return 1;
    }
    std::printf("map_ms=%.1f rss_kb=%ld\n", mapMs, kb);
    return 0;
}
