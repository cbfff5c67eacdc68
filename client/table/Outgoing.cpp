#include "table/Outgoing.h"

#include <algorithm>

#include "rules/Cards.h"
#include "wire/Commands.h"
#include "wire/Fields.h"
#include "wire/Gbk.h"

namespace Outgoing {

namespace {

Packet FromSeat(uint8_t command, uint8_t seatBit)
{
    Packet p = Wire::NewPacket(command);
    p[Field::Seat] = seatBit;
    return p;
}

void PutSingleByteText(Packet& p, int at, int width, const QString& text)
{
    const int n = std::min<int>(static_cast<int>(text.size()), width);
    for (int i = 0; i < n; ++i)
        p[static_cast<size_t>(at + i)] = static_cast<uint8_t>(Gbk::SingleByte(text[i]));
}

}  // namespace

Packet EntryRequest(const Launch::CommandLine& line)
{
    Packet p = Wire::NewPacket(Command::Entry);
    PutSingleByteText(p, Field::EntryRequest::Key, Field::EntryRequest::KeyWidth, line.userKey);
    PutSingleByteText(p, Field::EntryRequest::Password, Field::EntryRequest::PasswordWidth, line.password);
    return p;
}

Packet KeepAlive(uint8_t seatBit)
{
    return FromSeat(Command::KeepAlive, seatBit);
}

Packet ChatLine(uint8_t seatBit, uint8_t whisperSeatBit)
{
    Packet p = FromSeat(Command::Chat, seatBit);
    p[Field::Chat::Whisper] = whisperSeatBit;
    return p;
}

Packet LeaveRequest(uint8_t seatBit)
{
    Packet p = FromSeat(Command::Departure, seatBit);
    p[Field::Request::Leave] = 1;
    return p;
}

Packet ReadyRequest(uint8_t seatBit)
{
    Packet p = FromSeat(Command::Departure, seatBit);
    p[Field::Request::Kind] = 1;
    return p;
}

Packet PassRequest(uint8_t seatBit)
{
    Packet p = FromSeat(Command::PlayRequest, seatBit);
    p[Field::Request::Kind] = 1;
    return p;
}

Packet PlayRequest(uint8_t seatBit, Rules::PlayType type, std::span<const CardValue> cards)
{
    Packet p = FromSeat(Command::PlayRequest, seatBit);
    const size_t n = std::min<size_t>(cards.size(), 14);
    p[Field::Request::Kind] = 2;
    p[Field::Request::Count] = static_cast<uint8_t>(n);
    p[Field::Request::Type] = static_cast<uint8_t>(Rules::PlayTypeCode(type));
    for (size_t k = 0; k < n; ++k)
        p[Field::Request::Cards + k] = static_cast<uint8_t>(Rules::CardIdentifier(cards[k]));
    return p;
}

}  // namespace Outgoing
