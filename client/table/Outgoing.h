#pragma once
// Every packet the client builds for the game server, each in a fresh zeroed packet filled at
// the offsets of its message. The session code (bytes 260-261) and a chat packet's text are
// written by Transport::SendPacket; the entry and leave requests go straight to the socket.
#include <cstdint>
#include <span>

#include "rules/CardTypes.h"
#include "rules/Classify.h"
#include "session/Launch.h"
#include "wire/Packet.h"

namespace Outgoing {

// Command 18: the key from byte 16 and the password from byte 32, one byte a character.
// The command line has already refused keys and passwords that do not fit.
Packet EntryRequest(const Launch::CommandLine& line);

// Command 24 with the user's seat bit.
Packet KeepAlive(uint8_t seatBit);

// Command 19 with the user's seat bit and, for a private remark, the addressed player's seat
// bit; the text is taken from Transport::State.PendingChatText when the packet is queued.
Packet ChatLine(uint8_t seatBit, uint8_t whisperSeatBit);

// Command 16: leave the table (byte 14 = 1) or be ready for the next game (byte 15 = 1).
Packet LeaveRequest(uint8_t seatBit);
Packet ReadyRequest(uint8_t seatBit);

// Command 7: a pass (byte 15 = 1), or a play (byte 15 = 2) of the cards in the order given
// (hand order, highest first) with their count, type and one identifier byte each. At most
// 14 cards are written; a longer span is cut there.
Packet PassRequest(uint8_t seatBit);
Packet PlayRequest(uint8_t seatBit, Rules::PlayType type, std::span<const CardValue> cards);

}  // namespace Outgoing
