#pragma once
// The link to the game hall. The hall listens on a local socket named from its caption;
// both sides exchange bare message numbers, 4 bytes each, unsigned 32-bit little-endian.
#include <cstdint>
#include <functional>
#include <memory>
#include <QString>

namespace HallMessage {
constexpr uint32_t Connect = 22;          // client: logging in / refused; hall: connect again
constexpr uint32_t LoggedIn = 771;        // client: connected, entry accepted; hall: are you busy?
constexpr uint32_t Idle = 1024;           // client: not playing; hall: close the table
constexpr uint32_t RoundRunning = 1125;   // client: a round runs; hall: are you playing?
constexpr uint32_t Connecting = 1126;     // client: still logging in
constexpr uint32_t Dealt = 1127;          // client: a round was dealt
constexpr uint32_t Restore = 61728;       // request: bring the hall back
constexpr uint32_t Minimize = 61472;      // request: put the hall aside
}  // namespace HallMessage

// The channel layer: finding the hall by caption and exchanging numbers with it.
class HallChannel {
public:
    virtual ~HallChannel() = default;
    // Whether a hall with this caption listens; connects to it when not yet connected.
    virtual bool Find(const QString& caption) = 0;
    // Sends a number to the hall found last; nothing when none was found.
    virtual void Post(uint32_t number) = 0;
    // Waits briefly until every posted number has left (before the process ends).
    virtual void Flush() = 0;
    std::function<void(uint32_t)> MessageArrived;
};

namespace HallLink {

// The local socket name of a hall: "quellor-hall-" and the hex of the caption's UTF-8 bytes.
QString EndpointName(const QString& caption);

HallChannel& Channel();
void SetChannel(std::unique_ptr<HallChannel> channel);
std::unique_ptr<HallChannel> MakeLocalChannel();

// The caption the hall is found by.
inline QString HallCaption = QStringLiteral("Hallmere");

bool HallWindowExists();
// Posts a number when the hall is there; nothing otherwise.
void PostToHall(uint32_t number);
// Bring the hall back; without a hall the client ends.
void ReturnToHall();
// Put the hall aside when the table comes up; without a hall the client ends.
void HallAside();

// Starts listening for the hall's messages (the last step of start-up).
void InstallHook();
// What the client does with a number from the hall.
void OnHallMessage(uint32_t number);

}  // namespace HallLink
