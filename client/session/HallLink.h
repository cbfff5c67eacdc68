#pragma once
// The link to the game hall. The hall listens on a local socket named from its caption;
// both sides exchange bare message numbers, 4 bytes each, unsigned 32-bit little-endian.
#include <cstdint>
#include <functional>
#include <memory>
#include <QString>

#include "wire/Commands.h"


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

struct HallLinkRecord {
    // The caption the hall is found by.
    QString HallCaption = QStringLiteral("Hallmere");
};
inline HallLinkRecord State;

bool HallWindowExists();
// Posts a number when the hall is there; nothing otherwise.
void PostToHall(uint32_t number);
// Bring the hall back; without a hall the client ends.
void ReturnToHall();
// Put the hall aside when the table comes up; without a hall the client ends.
void HallAside();

// Starts listening for the hall's messages (the last step of start-up).
void InstallHook();
// What the client does with a number from the hall: the handler registered for it, if any.
void OnHallMessage(uint32_t number);
// The modules that answer the hall register here; an empty handler removes the entry.
void SetMessageHandler(uint32_t number, std::function<void()> handler);

// The record back to its start (caption "Hallmere") and no handlers; the channel stays.
void Reset();

}  // namespace HallLink
