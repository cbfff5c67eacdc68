#pragma once
// A loaded table at which the user sits at seat bit 1 (screen position 0) with three others at
// 2, 4 and 8 (positions 1, 2, 3), logged in, with a clock the test sets; packet builders for
// the deal and the play messages; and the packets the client queued for the server.
#include <gtest/gtest.h>

#include <vector>

#include "rules/Cards.h"
#include "session/Connection.h"
#include "session/Platform.h"
#include "session/Transport.h"
#include "table/TableState.h"
#include "ui/UiFixture.h"
#include "wire/Commands.h"
#include "wire/Fields.h"

namespace PlayTest {

using Rules::MakeCard;
inline constexpr int S = Rules::SuitSpades, H = Rules::SuitHearts, C = Rules::SuitClubs, D = Rules::SuitDiamonds;

// A deal for the user: level rank, turn seconds, the seats dealt 14 cards, and the cards.
inline Packet DealPacket(const std::vector<CardValue>& cards, int levelRank = 3, int turnSeconds = 15,
                         uint8_t longA = 1, uint8_t longB = 4, uint8_t starter = 1, int ourLevel = 3,
                         int theirLevel = 3)
{
    using namespace Field::Deal;
    Packet p = Wire::NewPacket(Command::Deal);
    p[Starter] = starter;
    p[LevelRank] = static_cast<uint8_t>(levelRank);
    p[TurnSeconds] = static_cast<uint8_t>(turnSeconds);
    p[LongSeatA] = longA;
    p[LongSeatB] = longB;
    p[OurLevel] = static_cast<uint8_t>(ourLevel);
    p[TheirLevel] = static_cast<uint8_t>(theirLevel);
    for (size_t k = 0; k < cards.size() && k < 14; ++k)
        Wire::WriteLE32(p, static_cast<int>(Cards + 4 * k), cards[k]);
    return p;
}

// A play message: who played (seat bit), who is next, the turn state, the cards and type.
inline Packet PlayPacket(uint8_t seatBit, uint8_t nextBit, uint8_t state, const std::vector<CardValue>& cards = {},
                         Rules::PlayType type = Rules::PlayType::Illegal)
{
    using namespace Field::Play;
    Packet p = Wire::NewPacket(Command::Play);
    p[Field::Seat] = seatBit;
    p[Next] = nextBit;
    p[TurnState] = state;
    p[Count] = static_cast<uint8_t>(cards.size());
    p[Type] = static_cast<uint8_t>(Rules::PlayTypeCode(type));
    for (size_t i = 0; i < cards.size() && i < 14; ++i)
        Wire::WriteLE32(p, static_cast<int>(Cards + 4 * i), cards[i]);
    return p;
}

// A packet with only these bytes set: (offset, value) pairs.
inline Packet WithBytes(std::initializer_list<std::pair<int, int>> bytes)
{
    Packet p{};
    for (const auto& [at, value] : bytes)
        p[static_cast<size_t>(at)] = static_cast<uint8_t>(value);
    return p;
}

// Thirteen cards with identifiers 1..13; dealt with level rank 14 (no ace among them) they sort
// to K K Q J 10 9 9 8 7 5 5 4 3.
inline std::vector<CardValue> SampleHand()
{
    return {MakeCard(5, D, 1),  MakeCard(13, S, 2), MakeCard(9, H, 3),  MakeCard(3, C, 4), MakeCard(12, S, 5),
            MakeCard(11, D, 6), MakeCard(10, C, 7), MakeCard(13, H, 8), MakeCard(9, S, 9), MakeCard(8, D, 10),
            MakeCard(7, H, 11), MakeCard(5, S, 12), MakeCard(4, C, 13)};
}

class PlayFixture : public UiTest::TableFixture {
protected:
    void SetUp() override
    {
        TableFixture::SetUp();
        Platform::SetClock([this] { return now; });
    }

    MainForm& Seat(QSize screen = {1280, 1024})
    {
        MainForm& f = Load(screen);
        Connection::Link.EntryOk = true;
        const uint8_t bits[4] = {1, 2, 4, 8};
        for (size_t pos = 0; pos < 4; ++pos)
            TableState.Seats[pos].seatBit = bits[pos];
        // Packets the main tick sends land in the fake socket.
        socket->state = SocketState::Connected;
        soundDevice->calls.clear();
        return f;
    }

    void Deliver(const Packet& p) { Transport::DeliverPacket(p); }

    // Ticks of the main tick, the clock one second on before each.
    void Seconds(int n)
    {
        for (int i = 0; i < n; ++i) {
            now += 1.0;
            Transport::RunTick();
        }
    }

    // Every packet sent or queued for the server since the last call, in order.
    std::vector<Packet> Sent()
    {
        std::vector<Packet> out;
        for (const QByteArray& bytes : socket->sent) {
            Packet p{};
            for (int i = 0; i < PacketSize && i < bytes.size(); ++i)
                p[static_cast<size_t>(i)] = static_cast<uint8_t>(bytes[i]);
            out.push_back(p);
        }
        socket->sent.clear();
        Transport::ByteRing& ring = Transport::State.SendRing;
        while (ring.Queued() >= PacketSize) {
            Packet p{};
            for (int i = 0; i < PacketSize; ++i) {
                p[static_cast<size_t>(i)] = ring.data[static_cast<size_t>(ring.readIndex)];
                ring.readIndex = (ring.readIndex + 1) % Transport::RingSize;
            }
            out.push_back(p);
        }
        for (const Packet& p : Transport::State.SendOverflow)
            out.push_back(p);
        Transport::State.SendOverflow.clear();
        return out;
    }

    // The hand slot whose card has this identifier, or -1.
    int SlotOf(int identifier) const
    {
        const SeatRecord& own = TableState.Seats[0];
        for (int i = 0; i < own.CardCount; ++i)
            if (Rules::CardIdentifier(own.hand[static_cast<size_t>(i)].value) == identifier)
                return i;
        return -1;
    }

    PictureBox* PictureOf(int identifier) const
    {
        const int slot = SlotOf(identifier);
        return slot < 0 ? nullptr : form->cardImage0[static_cast<size_t>(TableState.Seats[0].hand[static_cast<size_t>(slot)].ImageIndex)];
    }

    bool Raised(int identifier) const
    {
        const PictureBox* card = PictureOf(identifier);
        return card != nullptr && card->y() < TableState.Display.BaseTop;
    }

    double now = 36000;
};

}  // namespace PlayTest
