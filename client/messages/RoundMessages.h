#pragma once
// A round from the server: the deal (command 1) and one play message per turn (command 6).
#include "wire/Packet.h"

namespace RoundMessages {

void OnDeal(const Packet& packet);
void OnPlay(const Packet& packet);

// Where the turn clock stands for the player of this position, and its number beside it.
void PlaceTurnClock(int position);

}  // namespace RoundMessages
