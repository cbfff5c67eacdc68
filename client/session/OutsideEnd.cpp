#include "session/OutsideEnd.h"

#include <QGuiApplication>
#include <QSessionManager>
#include <QSocketNotifier>

#include <array>
#include <csignal>
#include <memory>
#include <sys/socket.h>
#include <unistd.h>

namespace OutsideEnd {

namespace {

constexpr std::array<int, 3> Signals = {SIGTERM, SIGHUP, SIGINT};

// The signal handler's end of the pair is written to; the event loop reads the other.
int g_pair[2] = {-1, -1};
std::unique_ptr<QSocketNotifier> g_notifier;
QMetaObject::Connection g_session;
std::function<void()> g_handler;
bool g_ran = false;

void OnSignal(int)
{
    const char byte = 1;
    // Nothing else is safe here; a full pair already holds a wake-up.
    [[maybe_unused]] const ssize_t written = ::write(g_pair[0], &byte, 1);
}

void RunOnce()
{
    if (g_ran)
        return;
    g_ran = true;
    if (const std::function<void()> handler = g_handler)
        handler();
}

}  // namespace

void Watch(std::function<void()> handler)
{
    Unwatch();
    g_handler = std::move(handler);
    g_ran = false;
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, g_pair) != 0) {
        g_pair[0] = g_pair[1] = -1;
    } else {
        g_notifier = std::make_unique<QSocketNotifier>(g_pair[1], QSocketNotifier::Read);
        QObject::connect(g_notifier.get(), &QSocketNotifier::activated, [] {
            char bytes[16];
            while (::read(g_pair[1], bytes, sizeof bytes) > 0) {
            }
            RunOnce();
        });
        struct sigaction action {};
        action.sa_handler = OnSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        for (int number : Signals)
            sigaction(number, &action, nullptr);
    }
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        g_session = QObject::connect(app, &QGuiApplication::commitDataRequest, [](QSessionManager&) { RunOnce(); });
}

void Unwatch()
{
    for (int number : Signals)
        std::signal(number, SIG_DFL);
    g_notifier.reset();
    for (int& end : g_pair) {
        if (end >= 0)
            ::close(end);
        end = -1;
    }
    QObject::disconnect(g_session);
    g_handler = nullptr;
}

}  // namespace OutsideEnd
