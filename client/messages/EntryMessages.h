#pragma once
// The server's answers to an entry request (command 18) and to a reconnect (command 29).
#include "wire/Packet.h"

namespace EntryMessages {

void HandleEntryResult(const Packet& packet);
void HandleReconnectResult(const Packet& packet);

}  // namespace EntryMessages
