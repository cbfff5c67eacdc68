#include "table/ServerMessages.h"

#include <algorithm>

#include "wire/Fields.h"

namespace {

CardValue CardAt(const Packet& packet, int at)
{
    return static_cast<CardValue>(Wire::ReadLE32(packet, at));
}

}  // namespace

bool PlayMessage::StartsNewTrick() const
{
    return Field::Play::StartsNewTrick(turnState);
}

bool PlayMessage::TurnFollows() const
{
    return turnState < Field::Play::TurnRoundOver;
}

DealMessage DecodeDeal(const Packet& packet)
{
    using namespace Field::Deal;
    DealMessage deal;
    deal.starterSeatBit = packet[Starter] & 15;
    deal.levelRank = packet[LevelRank];
    deal.turnSeconds = packet[TurnSeconds];
    deal.longSeatA = packet[LongSeatA];
    deal.longSeatB = packet[LongSeatB];
    deal.ourLevel = packet[OurLevel];
    deal.theirLevel = packet[TheirLevel];
    for (size_t k = 0; k < deal.cards.size(); ++k)
        deal.cards[k] = CardAt(packet, Cards + 4 * static_cast<int>(k));
    return deal;
}

PlayMessage DecodePlay(const Packet& packet)
{
    using namespace Field::Play;
    PlayMessage play;
    play.seatBit = packet[Field::Seat] & 15;
    play.nextSeatBit = packet[Next] & 15;
    play.turnState = packet[TurnState];
    play.type = Rules::PlayTypeFromCode(packet[Type]);
    // A count beyond a hand's cards is the server's fault; a hand never shows more.
    const int n = std::min<int>(packet[Count], Rules::MaxPlayCards);
    for (int j = 0; j < n; ++j)
        play.cards.push_back(CardAt(packet, Cards + 4 * j));
    return play;
}
