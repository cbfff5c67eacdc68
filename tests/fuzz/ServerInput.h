#pragma once
// The server target's input: a flag byte, then steps, each a header byte naming one of eight
// places a link is in, what happens to it and a small argument, followed by what the step
// takes. Shared with the seed writer, which writes such steps.
#include <cstdint>

namespace ServerInput {

// The flag byte.
inline constexpr uint8_t WithAccounts = 1;      // two keys with their passwords may enter
inline constexpr uint8_t RefuseReconnects = 2;
inline constexpr uint8_t StartFails = 4;        // every entry is answered "the game failed to start"

// What a step does, and what follows its header.
enum Step : uint8_t {
    Open,      // the argument picks one of four addresses
    Bytes,     // a length byte, then that many bytes
    Packet,    // a selector byte (Kind, key, password), a length byte, bytes laid over from byte 4
    Lost,      // the remote end closed
    Time,      // a byte: so many tenths of a second pass, the tables' clock ticking each
    Reading,   // the client stops reading, or starts again
    Operator,  // the argument: an OperatorLine
    Again,     // a count byte: the place's last Packet so many times more
};

enum OperatorLine : uint8_t { Silence, Cut, CloseTables, ToggleRefuseReconnects };

// Bits 0-2 of a Packet step's selector.
enum Kind : uint8_t { Entry, Reconnect, PlayRequest, Chat, Ready, Leave, KeepAlive, AnyCommand };
// Bits 3-4: the key (KeyCount of them, the last empty); bit 5: a wrong password. A Reconnect
// carries the last session code written to the link in the place of bits 5-7.
inline constexpr const char* Keys[] = {"alice", "bob", "carol", ""};
inline constexpr const char* Passwords[] = {"alice-pw", "bob-pw", "carol-pw", ""};
inline constexpr int BookKeys = 2;  // the keys the accounts book holds, the first ones
inline constexpr uint8_t WrongPassword = 0x20;

constexpr uint8_t Header(int place, Step step, int argument = 0)
{
    return static_cast<uint8_t>((place & 7) | step << 3 | (argument & 3) << 6);
}

constexpr uint8_t Selector(Kind kind, int key = 0, uint8_t more = 0)
{
    return static_cast<uint8_t>(kind | (key & 3) << 3 | more);
}

}  // namespace ServerInput
