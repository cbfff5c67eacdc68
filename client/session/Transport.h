#pragma once
// The packet spine: two byte rings between the socket and the rest of the client, the table
// of tick tasks the 50 ms main tick works through, the send routine every packet builder
// calls, and the packet log.
#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <QString>

#include "wire/Packet.h"

class QTimer;

namespace Transport {

constexpr int RingSize = 34816;  // exactly 128 packets
// More than this held back while a box waits is no table's traffic: treated as the ring running
// full.
constexpr int HeldArrivalsLimit = 8 * RingSize;
static_assert(RingSize % PacketSize == 0, "a received packet must never straddle the ring end");

struct ByteRing {
    std::array<uint8_t, RingSize> data{};
    int32_t readIndex = 0;
    int32_t writeIndex = 0;
    int Queued() const { return (writeIndex - readIndex + RingSize) % RingSize; }
    void Empty() { readIndex = writeIndex = 0; }
};

struct ProxyRing {
    std::array<uint8_t, 1024> data{};
    int32_t readIndex = 0;
    int32_t writeIndex = 0;
};

struct TickTask {
    bool flag = false;
    int16_t counter = 0;
};

enum TaskId { SendTask, ReceiveTask, LoginTask, BlinkTask, TurnClockTask, ReadyClockTask, LinkWatchTask, TaskCount };

// Everything of the spine that changes while the client runs, with its start-up values.
struct TransportRecord {
    ByteRing RecvRing;
    ByteRing SendRing;
    // Packets queued while SendRing holds 127 already; fed in as the ring drains, so nothing
    // queued is ever overwritten or lost.
    std::deque<Packet> SendOverflow;
    ProxyRing ProxyBuffer;
    // What arrived while a box waited, moved into RecvRing as it has room, so that catching up
    // after a long box never overruns the ring.
    QByteArray HeldArrivals;
    bool ProxyHandshakeDone = true;
    std::array<TickTask, TaskCount> TickTasks{};
    std::array<uint8_t, 2> SessionCode{0, 0};
    QString PendingChatText;
    bool LogEnabled = false;
    int16_t IdleReceiveRuns = 0;
};
inline TransportRecord State;

// Queues a packet for the server; one leaves per tick. A chat packet (command 19) takes
// its text from State.PendingChatText.
void SendPacket(Packet packet);

// Starts a task: flag set, counter cleared.
void StartTask(TaskId task);
void StopTask(TaskId task);
void ClearAllTasks();

// Socket events: bytes arrived; the peer closed.
void OnDataArrival(int bytesTotal);
void OnSocketClose();
// Hooks the table socket's events to the two handlers above.
void AttachSocket();

// One main tick (the body of TimerBong without the timer handling).
void RunTick();

// All four ring indices to 0; unsent and unprocessed bytes are dropped.
void EmptyRings();

// The packet log "log.txt": opened anew at start-up when State.LogEnabled.
void OpenLog(const QString& path);
void WriteLogLine(const QString& prefix, const Packet& packet);

// The module that owns a task registers its step; the tick runs it when the task is due
// (counting tasks: flag set and the counter at the task's threshold; the clock tasks: flag
// set). A task without a step only counts.
void SetTaskStep(TaskId task, std::function<void()> step);

// Everything of this module back to its start-up values; registered steps and the packet
// handler are dropped too.
void Reset();

// The receive side hands each complete packet here (the dispatcher in the client).
void SetPacketHandler(std::function<void(const Packet&)> handler);

// One complete packet from the server: its session code is taken (except from a reconnect
// result, which must not replace the code of the session it restores), it is logged, and it
// goes to the packet handler. The receive task calls it once per packet.
void DeliverPacket(const Packet& packet);

}  // namespace Transport

namespace Transport {

// TimerBong, the 50 ms main tick. The table window registers its timer; the flag is kept
// here so that logic and tests can read it without a window.
void RegisterTimerBong(QTimer* timer);
void EnableTimerBong(bool on);
bool TimerBongEnabled();
// What the timer runs: disables itself, works the tick, and enables itself again unless a
// step of the tick switched it off for good (the close steps do).
void TimerBongTick();

}  // namespace Transport
