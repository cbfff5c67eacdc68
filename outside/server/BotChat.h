#pragma once
// Chat at the table: who a line goes to, and what the computer players say now and then (a
// greeting, a word on a bomb, a word at the end of a round), some of it with the recorded
// voice phrase the clients play for it.
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "Players.h"
#include "wire/Packet.h"

namespace Server {

// The seat of a one-bit seat mask (1, 2, 4, 8); -1 for any other value.
int SeatOfBit(int bit);

// The seats a chat line from `sender` goes to: every seat when whisperBit is 0; the sender and
// the addressed seat for a private remark; none when whisperBit names no single seat.
std::vector<int> ChatRecipients(int sender, uint8_t whisperBit);

// The text of a chat packet (GBK on the wire) in UTF-8, for the log.
std::string ChatTextUtf8(const Packet& p);

enum class ChatMoment { Greeting, PartnerBomb, OpponentBomb, RoundWon, RoundLost };

// A line a computer player says (UTF-8) and the number of its recorded phrase, 0 for none.
struct BotLine {
    const char* text;
    int phrase;
};

// One of the lines for the moment, drawn with rng.
BotLine PickBotLine(ChatMoment moment, std::mt19937& rng);

// The chat packet of a computer player in `seat`: public, its text the bot's nickname, "说道： "
// and the line, in GBK; a line with a phrase asks the clients to play it.
Packet BotChatPacket(int seat, const PlayerProfile& bot, const BotLine& line);

}  // namespace Server
