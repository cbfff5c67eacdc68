#pragma once
// Who sits where (command 20): the user's own seat bit from the first message, and the seat
// bit and account key of every position.
#include "wire/Packet.h"

namespace SeatMessages {

void OnSeatInfo(const Packet& packet);

}  // namespace SeatMessages
