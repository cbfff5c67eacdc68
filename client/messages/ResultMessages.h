#pragma once
// The end of a round (command 9): one result per seat, handled together once all four have
// come: the others' remaining cards face up, the score board, the history of rounds, coins,
// wins, losses and levels, and the ready clock for the next round.
#include <QString>

#include "wire/Packet.h"

namespace ResultMessages {

void OnResult(const Packet& packet);

// "第一级" .. "第四十级".
QString LevelName(int level);

}  // namespace ResultMessages
