#pragma once
// The single entry point for packets from the game server.
#include "session/Packet.h"

namespace Dispatcher {

// Takes the session code (except from a reconnect result), logs, and runs the handler of
// the command. Commands without a handler are ignored.
void Dispatch(const Packet& packet);

void HandleEntryResult(const Packet& packet);
void HandleReconnectResult(const Packet& packet);

}  // namespace Dispatcher
