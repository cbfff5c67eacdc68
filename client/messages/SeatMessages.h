#pragma once
// Who sits where (command 20) and who is ready (command 23): the user's own seat bit, every
// player's record, name, coins, level, portrait and ready mark, the table reset for the first
// game, and the voices.
#include <QString>

#include "table/TableState.h"
#include "wire/Packet.h"

namespace SeatMessages {

void OnSeatInfo(const Packet& packet);
void OnReady(const Packet& packet);

// The player block of a seat message into a record.
PlayerRecord DecodePlayerBlock(const Packet& packet);

// Portrait number 0..19 from a face code: "m" or "w" and one or two digits, the men first.
// A code without a valid number shows the first portrait of that sex.
int PortraitIndex(const QString& face);
// Ready-mark class from the coins: 0 below 20000, 1 below 60000, 2 from there.
int CoinClass(double coins);

// Draws a voice for every seated player: four voices per sex, each taken once.
void ChooseVoices();

}  // namespace SeatMessages
