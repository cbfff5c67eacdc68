#pragma once
// A round from the server: the deal (command 1) and one play message per turn (command 6).
#include "wire/Packet.h"

namespace RoundMessages {

void OnDeal(const Packet& packet);
void OnPlay(const Packet& packet);

}  // namespace RoundMessages
