#pragma once
// The link to the game server: the values the hall gave, the entry request, opening the
// connection directly or through the proxy, and the login tick task that sends the request.
#include <array>
#include <cstdint>

#include "session/Launch.h"
#include "wire/Packet.h"

namespace Connection {

// The link: what the hall gave for it, what opens it, and where it stands; the table's
// handlers read and write the flags as well.
struct LinkRecord {
    // The command line of this process; the passwords are wiped once used.
    Launch::CommandLine Session;
    // The entry request, built at start-up and sent once the connection is up.
    Packet EntryRequest{};
    bool AwaitingEntryReply = false;  // the entry request left, no answer yet
    bool EntryOk = false;             // the server accepted the entry (or a reconnect)
    bool Reconnected = false;         // the last entry was a reconnect
    int16_t ReconnectAttempts = 0;    // reconnect attempts since the link was found lost
};
inline LinkRecord Link;

// Opens the connection the command line asks for (direct, proxy, or none).
void OpenConnection();
// The hall's message 22: connect to the game server again.
void ConnectAgain();

// The login tick task: tell the hall, wait for the connection, send the entry request.
void LoginTaskStep();
// How long the first login waits for the connection before the link counts as lost; a
// reconnect attempt waits less (Reconnect::AttemptWaitMs).
constexpr int ConnectWaitMs = 10000;
// Sends the entry request straight on the socket, not through SendRing.
void SendEntryRequest();
// Marks the entry request as a reconnect carrying the session code; it stays marked for every
// later send.
void MarkEntryRequestAsReconnect(const std::array<uint8_t, 2>& sessionCode);
// Keeps the window responsive until the socket connects, fails or the wait for this kind of
// connection passes; true when it is connected.
bool WaitForSocket();
// True while WaitForSocket keeps the window going.
bool WaitingForSocket();
// A connection that did not come up: during a reconnect one attempt failed (the socket is
// closed and the controller tries again); otherwise the link is lost.
void ConnectionFailed();

// Registers the login task with the main tick.
void RegisterTasks();
// Everything of this module back to its start-up values.
void Reset();

}  // namespace Connection
