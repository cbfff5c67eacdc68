#pragma once
// The single entry point for packets from the game server: a table from command code to the
// handler of that command. Transport takes the session code and logs before a packet comes
// here. Commands without a handler are ignored.
#include "wire/Packet.h"

namespace Dispatcher {

void Dispatch(const Packet& packet);

}  // namespace Dispatcher
