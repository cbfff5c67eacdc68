#pragma once
// The server's deal and play messages as the table takes them: decoded once by their handlers,
// so that the display and the play logic below never read packet bytes.
#include <array>
#include <cstdint>
#include <vector>

#include "rules/CardTypes.h"
#include "rules/Classify.h"
#include "wire/Packet.h"

// A deal (command 1).
struct DealMessage {
    int starterSeatBit = 0;     // the seat that leads the first trick
    uint8_t levelRank = 0;      // the rank played as the level this round
    uint8_t turnSeconds = 0;    // the turn clock's seconds
    uint8_t longSeatA = 0;      // the two seat bits dealt 14 cards
    uint8_t longSeatB = 0;
    uint8_t ourLevel = 0;       // the level ranks of the user's side and the other side
    uint8_t theirLevel = 0;
    std::array<CardValue, 14> cards{};  // the user's hand as dealt; 13 used for a short hand
};

// A play or a pass (command 6).
struct PlayMessage {
    int seatBit = 0;            // who played
    int nextSeatBit = 0;        // whose turn is next
    uint8_t turnState = 0;      // Field::Play::Turn...
    Rules::PlayType type = Rules::PlayType::Illegal;
    std::vector<CardValue> cards;  // as sent, at most a hand's 14; none for a pass

    bool IsPass() const { return cards.empty(); }
    // The table's cards go and the next player leads (everyone passed, a round's first turn,
    // or the play that ended the round).
    bool StartsNewTrick() const;
    // The next player has a turn (every state but the end of the round).
    bool TurnFollows() const;
};

DealMessage DecodeDeal(const Packet& packet);
PlayMessage DecodePlay(const Packet& packet);
