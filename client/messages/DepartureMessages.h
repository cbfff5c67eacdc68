#pragma once
// Players going away: a player left during a game or players lack coins (command 16), a player
// left the table (command 21), the server closes the table with a notice (command 22).
#include <QString>

#include "wire/Packet.h"

namespace DepartureMessages {

void OnDeparture(const Packet& packet);
void OnLeaveTable(const Packet& packet);
void OnTableClosed(const Packet& packet);

}  // namespace DepartureMessages
