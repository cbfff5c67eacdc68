#pragma once
// The table without sockets: a clock the test moves, and per seat the packets it was sent.
#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "wire/Commands.h"
#include "Table.h"
#include "rules/Cards.h"
#include "rules/Hints.h"
#include "wire/Packet.h"

// A table quick enough for a test's clock: computer players think briefly and a turn is short.
inline Server::TableConfig QuickTable(int bots, uint32_t seed)
{
    Server::TableConfig c;
    c.bots = bots;
    c.seed = seed;
    c.botDelayMs = 100;
    c.turnSeconds = 2;
    return c;
}

struct Harness {
    explicit Harness(Server::TableConfig config)
        : table(std::move(config), [this](const std::string& line) { log.push_back(line); })
    {
    }

    void Pump()
    {
        for (const Server::Outgoing& out : table.TakeOutgoing())
            inbox[static_cast<size_t>(out.seat)].push_back(out.packet);
        for (int seat : table.TakeReleasedSeats())
            released.push_back(seat);
    }
    void At(int64_t t)
    {
        now = t;
        table.Advance(now);
        Pump();
    }
    int Enter(const std::string& key)
    {
        Packet reply = Wire::NewPacket(Command::Entry);
        reply[15] = 1;
        const int seat = table.Enter(key, reply, now);
        Pump();
        return seat;
    }
    void Receive(int seat, const Packet& p)
    {
        table.Receive(seat, p, now);
        Pump();
    }
    void Ready(int seat)
    {
        Packet p = Wire::NewPacket(Command::Departure);
        p[6] = static_cast<uint8_t>(1 << seat);
        p[15] = 1;
        Receive(seat, p);
    }
    // Moves the clock in small steps until `done` holds or the limit passes.
    template <typename Done>
    bool RunUntil(Done done, int64_t limitMs, int64_t stepMs = 50)
    {
        const int64_t end = now + limitMs;
        while (!done()) {
            if (now >= end)
                return false;
            At(now + stepMs);
        }
        return true;
    }
    // Packets of one command sent to a seat.
    std::vector<Packet> Of(int seat, int command) const
    {
        std::vector<Packet> out;
        for (const Packet& p : inbox[static_cast<size_t>(seat)])
            if (p[3] == command)
                out.push_back(p);
        return out;
    }

    // The play a human makes with the hint: the first follow candidate, or the lowest group when
    // leading; empty for a pass.
    std::vector<CardValue> HintPlay(int seat) const
    {
        const auto hand = table.Hand(seat);
        std::vector<HandEntry> entries;
        for (size_t i = 0; i < hand.size(); ++i)
            entries.push_back(HandEntry{hand[i], static_cast<int16_t>(i)});
        const int n = static_cast<int>(entries.size());
        std::vector<int> picked;
        if (table.Current().type == Rules::PlayType::Illegal) {
            const Rules::LeadHintGroup g = Rules::NextLeadHint(entries, n, 0);
            for (int k = 0; k < g.size; ++k)
                picked.push_back(Rules::HandSlotOfIndex(n, g.first + k));
        } else {
            Rules::FollowHintStore store;
            Rules::ComputeHintCandidates(entries, n, table.Current(), table.LevelRank(), store);
            if (store.HintCount > 0)
                for (int16_t pos : store.HintCandidates[0]) {
                    if (pos <= 0)
                        break;
                    picked.push_back(Rules::HandSlotOfPosition(n, pos));
                }
        }
        std::vector<CardValue> cards;
        std::sort(picked.begin(), picked.end());
        for (int s : picked)
            cards.push_back(hand[static_cast<size_t>(s)]);
        return cards;
    }

    std::vector<std::string> log;
    Server::GameTable table;
    int64_t now = 0;
    std::array<std::vector<Packet>, 4> inbox;
    std::vector<int> released;
};

// A departure request that leaves the table rather than getting ready.
inline Packet LeavePacket(int seat)
{
    Packet p = Wire::NewPacket(Command::Departure);
    p[6] = static_cast<uint8_t>(1 << seat);
    p[14] = 1;
    return p;
}

// A command-7 packet: a pass, or a play of the given cards by their identifiers.
inline Packet PlayPacket(int seat, const std::vector<CardValue>& cards, int type)
{
    Packet p = Wire::NewPacket(Command::PlayRequest);
    p[6] = static_cast<uint8_t>(1 << seat);
    if (cards.empty()) {
        p[15] = 1;
        return p;
    }
    p[15] = 2;
    p[17] = static_cast<uint8_t>(cards.size());
    p[18] = static_cast<uint8_t>(type);
    for (size_t i = 0; i < cards.size() && i < 14; ++i)
        p[20 + i] = static_cast<uint8_t>(Rules::CardIdentifier(cards[i]));
    return p;
}
