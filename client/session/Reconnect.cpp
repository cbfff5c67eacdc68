#include "session/Reconnect.h"

#include <algorithm>
#include <utility>

#include <QLoggingCategory>
#include <QTimer>

#include "session/Connection.h"
#include "session/ConnectionWatch.h"
#include "session/Platform.h"
#include "session/TableWindow.h"
#include "session/Transport.h"
#include "session/Winsock1.h"

namespace Reconnect {

namespace {

Q_LOGGING_CATEGORY(LinkLog, "quellor.link")

// The hidden controller window: never shown, it only owns the two timers.
struct frmReconnect {
    QTimer TimerReconnect;
    QTimer TimerCount;
};

frmReconnect* g_form = nullptr;
bool g_loaded = false;
bool g_requestSent = false;
// Ticks of TimerCount the current connection has waited for the server's answer.
int g_unansweredTicks = 0;
// An attempt that waits for its connection keeps the window responsive; a tick arriving then
// must not start a second attempt inside the first (the login task's wait counts too).
bool g_inAttempt = false;
std::function<void(const QString&)> g_giveUpNotice;

frmReconnect& Form()
{
    if (g_form == nullptr) {
        // Lives as long as the process, like the table window that owns it in spirit.
        g_form = new frmReconnect;
        g_form->TimerReconnect.setInterval(1);
        g_form->TimerReconnect.setSingleShot(false);
        QObject::connect(&g_form->TimerReconnect, &QTimer::timeout, [] { TimerReconnectTick(); });
        QObject::connect(&g_form->TimerCount, &QTimer::timeout, [] { TimerCountTick(); });
    }
    // Never a timer that fires on every pass of the event loop, however short the waits.
    g_form->TimerCount.setInterval(std::max(Platform::ScaledWait(AttemptIntervalMs), 10));
    return *g_form;
}

void StopTimers()
{
    if (g_form != nullptr) {
        g_form->TimerReconnect.stop();
        g_form->TimerCount.stop();
    }
}

void GiveUp()
{
    Unload();
    ConnectionWatch::ConnectionLost();
    if (const std::function<void(const QString&)> show = g_giveUpNotice)
        show(QStringLiteral("网络已断开,请退出大厅重新登陆游戏"));
}

}  // namespace

void Load()
{
    // Also on standard error: the one trace of a lost link once the table has got it back.
    qCInfo(LinkLog).noquote() << "quellor: the link to the server was lost during the round; reconnecting";
    Connection::Link.ReconnectAttempts = 0;
    g_requestSent = false;
    g_unansweredTicks = 0;
    g_loaded = true;
    frmReconnect& form = Form();
    form.TimerCount.stop();
    form.TimerReconnect.start();
}

void Unload()
{
    g_loaded = false;
    g_requestSent = false;
    g_unansweredTicks = 0;
    StopTimers();
}

bool Loaded()
{
    return g_loaded;
}

bool TimerCountEnabled()
{
    return g_form != nullptr && g_form->TimerCount.isActive();
}

void TimerReconnectTick()
{
    if (!g_loaded)
        return;
    frmReconnect& form = Form();
    form.TimerReconnect.stop();
    form.TimerCount.start();
}

void TimerCountTick()
{
    if (!g_loaded || g_inAttempt || Connection::WaitingForSocket() || Platform::BoxWaiting())
        return;
    const bool connected = Winsock1().State() == SocketState::Connected;
    // Back in only once the server has accepted the reconnect: a link that connects and then
    // breaks, or never answers, is one more failed attempt, not the end of the controller.
    if (connected && Connection::Link.EntryOk) {
        Unload();
        return;
    }
    if (Connection::Link.ReconnectAttempts >= MaxAttempts) {
        GiveUp();
        return;
    }
    if (!ConnectionWatch::RoundRunning()) {
        // The round ended meanwhile: no further attempts.
        StopTimers();
        return;
    }
    ++Connection::Link.ReconnectAttempts;
    if (connected && g_requestSent && g_unansweredTicks == 0) {
        // The request is out on a live link: the answer gets one more interval.
        ++g_unansweredTicks;
        return;
    }
    ReconnectAttempt();
}

void ReconnectAttempt()
{
    qCInfo(LinkLog).noquote() << "quellor: reconnect attempt" << Connection::Link.ReconnectAttempts;
    SysmsgClear(0);
    SysmsgClear(1);
    SysmsgAdd(0, QStringLiteral("正在重新连接服务器..."));
    Connection::MarkEntryRequestAsReconnect(Transport::State.SessionCode);
    g_requestSent = false;
    g_unansweredTicks = 0;
    Transport::State.ProxyHandshakeDone = true;
    Winsock1().Close();
    // The new connection starts with an empty ring: whatever of the old link is still
    // unhandled comes again, as the server sends everything after the request's session code.
    g_inAttempt = true;
    Connection::OpenConnection();
    g_inAttempt = false;
}

void RequestSent()
{
    g_requestSent = true;
    g_unansweredTicks = 0;
}

bool AwaitingResult()
{
    return g_requestSent;
}

bool TakeResult()
{
    return std::exchange(g_requestSent, false);
}

void SetGiveUpNotice(std::function<void(const QString& text)> show)
{
    g_giveUpNotice = std::move(show);
}

void Reset()
{
    Unload();
    g_inAttempt = false;
    g_giveUpNotice = nullptr;
}

}  // namespace Reconnect
