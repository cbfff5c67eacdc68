#include "session/Transport.h"

#include <QFile>
#include <QTimer>

#include "session/ConnectionWatch.h"
#include "session/HallLink.h"
#include "session/Platform.h"
#include "session/Proxy.h"
#include "session/Recording.h"
#include "session/Winsock1.h"
#include "wire/Commands.h"
#include "wire/Fields.h"
#include "wire/Gbk.h"

namespace Transport {

namespace {

constexpr std::array<int16_t, TaskCount> Threshold = {1, 2, 4, 8, 0, 0, 2};

std::function<void(const Packet&)> g_packetHandler;
std::array<std::function<void()>, TaskCount> g_taskSteps;
QFile* g_log = nullptr;
QTimer* g_timerBong = nullptr;
bool g_timerBongEnabled = false;
bool g_inTick = false;
bool g_disabledDuringTick = false;
Packet g_receiveBuffer{};

void WrapCounter(TaskId task)
{
    TickTask& t = State.TickTasks[task];
    if (Threshold[task] > 0 && t.counter >= Threshold[task])
        t.counter = 0;
}

void PutInSendRing(const Packet& packet)
{
    ByteRing& ring = State.SendRing;
    for (uint8_t b : packet) {
        ring.data[static_cast<size_t>(ring.writeIndex)] = b;
        ring.writeIndex = (ring.writeIndex + 1) % RingSize;
    }
}

void FeedOverflow()
{
    std::deque<Packet>& overflow = State.SendOverflow;
    while (!overflow.empty() && State.SendRing.Queued() + PacketSize < RingSize) {
        PutInSendRing(overflow.front());
        overflow.pop_front();
    }
}

// Appends arrived bytes to a ring; false when the ring ran full, which the table cannot
// survive (the reader would take the ring for empty).
template <typename Ring>
bool PutArrived(Ring& ring, const QByteArray& bytes)
{
    const int size = static_cast<int>(ring.data.size());
    for (char b : bytes) {
        ring.data[static_cast<size_t>(ring.writeIndex)] = static_cast<uint8_t>(b);
        ring.writeIndex = (ring.writeIndex + 1) % size;
        if (ring.writeIndex == ring.readIndex)
            return false;
    }
    return true;
}

// The ring ran full: the table cannot survive it (the reader would take the ring for empty).
void RingOverflow()
{
    HallLink::ReturnToHall();
    Platform::EndProgram(1);
}

void MoveHeldIntoRing()
{
    QByteArray& held = State.HeldArrivals;
    if (held.isEmpty() || Platform::BoxWaiting())
        return;
    const int room = RingSize - 1 - State.RecvRing.Queued();
    const int n = std::min<int>(room, static_cast<int>(held.size()));
    if (n <= 0)
        return;
    PutArrived(State.RecvRing, held.first(n));
    held.remove(0, n);
}

void RunSendTask()
{
    TickTask& t = State.TickTasks[SendTask];
    if (t.counter >= 1 && t.flag) {
        ByteRing& ring = State.SendRing;
        if (ring.Queued() < PacketSize) {
            t.flag = false;
        } else {
            QByteArray bytes(PacketSize, '\0');
            for (int i = 0; i < PacketSize; ++i) {
                bytes[i] = static_cast<char>(ring.data[static_cast<size_t>(ring.readIndex)]);
                ring.readIndex = (ring.readIndex + 1) % RingSize;
            }
            // A packet queued while the link is down is dropped here, without a word.
            if (Winsock1().State() == SocketState::Connected)
                Winsock1().SendData(bytes);
            FeedOverflow();
        }
        t.counter = 0;
    }
}

void RunReceiveTask()
{
    TickTask& t = State.TickTasks[ReceiveTask];
    if (t.counter >= 2 && t.flag) {
        const bool roundRunning = ConnectionWatch::RoundRunning();
        if (roundRunning) {
            ++State.IdleReceiveRuns;
            if (State.IdleReceiveRuns > 4999) {
                ConnectionWatch::SilenceWatchFired();
                State.IdleReceiveRuns = 0;
            }
        }
        MoveHeldIntoRing();
        ByteRing& ring = State.RecvRing;
        if (ring.Queued() >= PacketSize) {
            const auto from = static_cast<size_t>(ring.readIndex);
            std::copy_n(ring.data.begin() + static_cast<std::ptrdiff_t>(from), PacketSize,
                        g_receiveBuffer.begin());
            ring.readIndex = (ring.readIndex + PacketSize) % RingSize;
            DeliverPacket(g_receiveBuffer);
            if (ConnectionWatch::RoundRunning())
                State.IdleReceiveRuns = 0;
        }
        t.counter = ring.Queued() >= PacketSize ? 1 : 0;
    }
}

}  // namespace

void SendPacket(Packet packet)
{
    if (packet[Wire::CommandByte] == Command::Chat) {
        if (State.PendingChatText.isEmpty())
            return;
        const QString text = State.PendingChatText.left(Field::Chat::MaxCharacters);
        int at = Field::Chat::Text;
        for (QChar unit : text) {
            const QByteArray bytes = Gbk::EncodeUnit(unit);
            for (char b : bytes)
                packet[static_cast<size_t>(at++)] = static_cast<uint8_t>(b);
        }
        for (int i = at; i < PacketSize; ++i)
            packet[static_cast<size_t>(i)] = 0;
        State.PendingChatText.clear();
    }
    packet[Wire::SessionCodeByte] = State.SessionCode[0];
    packet[Wire::SessionCodeByte + 1] = State.SessionCode[1];

    // 127 packets fill the ring (a 128th would make it look empty); later ones wait aside.
    if (!State.SendOverflow.empty() || State.SendRing.Queued() + PacketSize >= RingSize)
        State.SendOverflow.push_back(packet);
    else
        PutInSendRing(packet);
    StartTask(SendTask);
    if (State.LogEnabled)
        WriteLogLine(QStringLiteral("发送指令："), packet);
}

void StartTask(TaskId task)
{
    State.TickTasks[task].flag = true;
    State.TickTasks[task].counter = 0;
}

void StopTask(TaskId task)
{
    State.TickTasks[task].flag = false;
    State.TickTasks[task].counter = 0;
}

void ClearAllTasks()
{
    for (TickTask& t : State.TickTasks)
        t.flag = false;
}

void OnDataArrival(int /*bytesTotal*/)
{
    const QByteArray bytes = Winsock1().GetData();
    if (!State.ProxyHandshakeDone) {
        if (!PutArrived(State.ProxyBuffer, bytes)) {
            RingOverflow();
            return;
        }
        Mod_Proxy::HandleProxyReply();
        return;
    }
    if (Platform::BoxWaiting() || !State.HeldArrivals.isEmpty()) {
        // Behind what is held, in order; nothing reaches the table while a box waits.
        State.HeldArrivals += bytes;
        if (State.HeldArrivals.size() > HeldArrivalsLimit) {
            RingOverflow();
            return;
        }
        if (!Platform::BoxWaiting())
            MoveHeldIntoRing();
        State.TickTasks[ReceiveTask].flag = true;
        return;
    }
    if (!PutArrived(State.RecvRing, bytes)) {
        RingOverflow();
        return;
    }
    State.TickTasks[ReceiveTask].flag = true;
    State.TickTasks[ReceiveTask].counter = 0;
}

void OnSocketClose()
{
    // The loss itself is noticed by the link watch and the silence watch.
    Winsock1().Close();
}

void AttachSocket()
{
    Winsock1().DataArrival = [](int n) { OnDataArrival(n); };
    Winsock1().CloseEvent = [] { OnSocketClose(); };
}

void RunTick()
{
    for (int task = 0; task < TaskCount; ++task)
        if (Threshold[static_cast<size_t>(task)] > 0)
            ++State.TickTasks[static_cast<size_t>(task)].counter;

    RunSendTask();
    RunReceiveTask();

    // The registered tasks, in the fixed order of the table.
    for (int task = LoginTask; task < TaskCount; ++task) {
        const auto t = static_cast<size_t>(task);
        if (State.TickTasks[t].flag && State.TickTasks[t].counter >= Threshold[t]) {
            // A copy, so that a step may register another step while it runs.
            if (const std::function<void()> step = g_taskSteps[t])
                step();
        }
        WrapCounter(static_cast<TaskId>(task));
    }
}

void EmptyRings()
{
    // Whole packets are dropped; the start of a packet still arriving is kept at the front,
    // or every later packet would be cut in the wrong place.
    ByteRing& recv = State.RecvRing;
    const int partial = recv.Queued() % PacketSize;
    std::array<uint8_t, PacketSize> keep{};
    for (int i = 0; i < partial; ++i)
        keep[static_cast<size_t>(i)] = recv.data[static_cast<size_t>((recv.writeIndex - partial + i + RingSize) % RingSize)];
    recv.Empty();
    std::copy_n(keep.begin(), partial, recv.data.begin());
    recv.writeIndex = partial;
    State.SendRing.Empty();
    State.SendOverflow.clear();
    State.HeldArrivals.clear();
}

void OpenLog(const QString& path)
{
    delete g_log;
    g_log = new QFile(path);
    if (!g_log->open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        delete g_log;
        g_log = nullptr;
    }
}

void WriteLogLine(const QString& prefix, const Packet& packet)
{
    if (!g_log)
        return;
    QString line = prefix;
    line.reserve(prefix.size() + PacketSize * 4);
    for (uint8_t b : packet) {
        line += QString::number(b);
        line += QLatin1Char(' ');
    }
    line += QLatin1Char('\n');
    g_log->write(Gbk::Encode(line));
    g_log->flush();
}

void Reset()
{
    State = TransportRecord{};
    g_packetHandler = nullptr;
    g_taskSteps = {};
    delete g_log;
    g_log = nullptr;
    g_timerBongEnabled = false;
    if (g_timerBong)
        g_timerBong->stop();
}

void SetPacketHandler(std::function<void(const Packet&)> handler)
{
    g_packetHandler = std::move(handler);
}

void SetTaskStep(TaskId task, std::function<void()> step)
{
    if (task >= 0 && task < TaskCount)
        g_taskSteps[static_cast<size_t>(task)] = std::move(step);
}

void DeliverPacket(const Packet& packet)
{
    if (packet[Wire::CommandByte] != Command::ReconnectResult) {
        State.SessionCode[0] = packet[Wire::SessionCodeByte];
        State.SessionCode[1] = packet[Wire::SessionCodeByte + 1];
    }
    if (State.LogEnabled)
        WriteLogLine(QStringLiteral("接收指令："), packet);
    Recording::Add(packet);
    if (g_packetHandler)
        g_packetHandler(packet);
}

void RegisterTimerBong(QTimer* timer)
{
    g_timerBong = timer;
    if (g_timerBong) {
        g_timerBong->setInterval(50);
        QObject::connect(g_timerBong, &QTimer::destroyed, [] { g_timerBong = nullptr; });
    }
}

void EnableTimerBong(bool on)
{
    g_timerBongEnabled = on;
    if (g_inTick) {
        if (!on)
            g_disabledDuringTick = true;
        else
            g_disabledDuringTick = false;
        return;
    }
    if (g_timerBong) {
        if (on)
            g_timerBong->start();
        else
            g_timerBong->stop();
    }
}

bool TimerBongEnabled()
{
    return g_timerBongEnabled;
}

void TimerBongTick()
{
    if (g_inTick || !g_timerBongEnabled || Platform::BoxWaiting())
        return;
    g_inTick = true;
    g_disabledDuringTick = false;
    if (g_timerBong)
        g_timerBong->stop();
    RunTick();
    g_inTick = false;
    if (!g_disabledDuringTick && g_timerBongEnabled && g_timerBong)
        g_timerBong->start();
}

}  // namespace Transport
