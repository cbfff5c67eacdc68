#pragma once
// Getting back into a running round after the link broke. A hidden controller (frmReconnect)
// tries again every three seconds with the entry request marked as a reconnect and carrying the
// last session code, and gives up after 21 attempts with the table closed and the hall back.
// Its two timers are real QTimers; their tick bodies are plain functions a test calls directly.
#include <functional>
#include <QString>

namespace Reconnect {

constexpr int AttemptIntervalMs = 3000;
// More attempts than this and the controller gives up.
constexpr int MaxAttempts = 21;

// The link watch found the link lost during a round with the login confirmed.
void Load();
// Both timers off; the controller no longer acts.
void Unload();
bool Loaded();
bool TimerCountEnabled();

// TimerReconnect (1 ms): hands over to TimerCount.
void TimerReconnectTick();
// TimerCount: done, give up, another attempt, or stop because the round has ended.
void TimerCountTick();
// One attempt: the notice line, the entry request marked, a new connection.
void ReconnectAttempt();

// Each attempt waits for its connection a little less than the interval between attempts, so
// the rhythm holds whatever the network does. Both shrink with the platform's wait factor.
constexpr int AttemptWaitMs = AttemptIntervalMs * 5 / 6;

// Set when the reconnect request has gone out on the current connection; the server's answer
// is taken only then, and only once.
void RequestSent();
bool AwaitingResult();
// True when an answer was awaited; it no longer is.
bool TakeResult();

// The notice shown on top once the controller has given up (the table window registers it).
void SetGiveUpNotice(std::function<void(const QString& text)> show);

// Everything back to the start-up values; the timers stop.
void Reset();

}  // namespace Reconnect
