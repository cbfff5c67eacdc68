#pragma once
// The computer players' choice of play: lead the lowest group, follow with the lowest play
// that beats, keep bombs for when they matter, and leave a partner's play alone.
#include <span>
#include <vector>

#include "rules/CardTypes.h"
#include "rules/Compare.h"

namespace Server {

struct BotView {
    std::span<const CardValue> hand;            // in hand order (highest first)
    const Rules::CurrentPlayRecord* current{};  // type Illegal: the bot leads
    int levelRank = 3;
    bool currentByPartner = false;  // the play to beat is the partner's
    int currentPlayerCards = 0;     // cards still held by whoever made the play to beat
    int fewestOpponentCards = 0;    // fewest cards among opponents still playing; 0 if none
};

// The cards to play, in hand order; empty means pass. Never empty when leading.
std::vector<CardValue> ChooseBotPlay(const BotView& view);

// What the table plays for someone whose clock ran out: the lowest card when leading,
// otherwise a pass.
std::vector<CardValue> TimeoutPlay(std::span<const CardValue> hand, bool leading);

}  // namespace Server
