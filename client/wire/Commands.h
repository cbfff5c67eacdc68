#pragma once
// The numbers that cross the process boundaries: command codes of the game server's packets
// (byte 3 of every packet) and the message numbers exchanged with the game hall.
#include <cstdint>

namespace Command {
constexpr uint8_t Deal = 1;             // server: a round starts, the user's hand
constexpr uint8_t Play = 6;             // server: a seat played or passed, whose turn is next
constexpr uint8_t PlayRequest = 7;      // client: play or pass
constexpr uint8_t RoundResult = 9;      // server: one seat's result of the round
constexpr uint8_t Departure = 16;       // server: players left or lack coins; client: leave or ready
constexpr uint8_t Entry = 18;           // client: entry request; server: entry result
constexpr uint8_t Chat = 19;            // both: a chat line
constexpr uint8_t SeatInfo = 20;        // server: seat and player information
constexpr uint8_t PlayerLeft = 21;      // server: a player left the table
constexpr uint8_t TableClosed = 22;     // server: the table closes, with a notice
constexpr uint8_t Ready = 23;           // server: a player is ready
constexpr uint8_t KeepAlive = 24;       // client: still here
constexpr uint8_t ReconnectResult = 29; // server: the answer to a reconnect
}  // namespace Command

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
