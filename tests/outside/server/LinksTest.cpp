// The server's links without sockets: bytes fed per link, what is written and closed seen
// through a recording side.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "Links.h"
#include "wire/Commands.h"
#include "wire/Fields.h"

namespace {

using Server::Links;

// The far ends of the links: what was written to each, whether it was closed, and how much of
// it is still unsent (all of it for a client that does not read).
struct Ends {
    std::map<int, std::vector<Packet>> written;
    std::map<int, bool> closed;
    bool reading = true;
    std::vector<std::string> log;

    Server::LinkSide Side()
    {
        return Server::LinkSide{
            .now = [] { return int64_t{1000}; },
            .write = [this](int link, const Packet& p) { written[link].push_back(p); },
            .handOver = [](int) {},
            .unsent = [this](int link) {
                return reading ? int64_t{0} : static_cast<int64_t>(written[link].size()) * PacketSize;
            },
            .close = [this](int link, bool) { closed[link] = true; },
            .sweepLater = [] {},
            .received = [](int, const Packet&) {},
            .turnTaken = [] {},
        };
    }
};

Packet EntryRequest(const std::string& key, bool reconnect)
{
    Packet p = Wire::NewPacket(Command::Entry);
    std::copy(key.begin(), key.end(), p.begin() + Field::EntryRequest::Key);
    if (reconnect)
        p[Field::EntryRequest::Reconnect] = Field::EntryRequest::ReconnectMark;
    return p;
}

TEST(Links, EveryAnswerToAnEntryCountsAgainstTheOutputBound)
{
    // Requests the server answers on the link without seating it: a full table, a start that
    // failed, a refused reconnect, a reconnect with a session code nobody was sent.
    struct Case {
        const char* what;
        int bots;
        int outcome;
        bool refuseReconnects;
        bool reconnect;
    } cases[] = {
        {"table full", 4, 1, false, false},
        {"start failed", 3, 2, false, false},
        {"reconnects refused", 3, 1, true, true},
        {"unknown session code", 3, 1, false, true},
    };
    constexpr int Requests = 40;
    constexpr int64_t Bound = 8 * PacketSize;
    for (const Case& c : cases) {
        for (const bool reading : {true, false}) {
            SCOPED_TRACE(std::string(c.what) + (reading ? ", reading" : ", not reading"));
            Ends ends;
            ends.reading = reading;
            Server::LinkOptions options;
            options.outcome = c.outcome;
            options.refuseReconnects = c.refuseReconnects;
            options.outputLimit = Bound;
            Server::TableConfig table;
            table.bots = c.bots;
            Links links(options, table, [&ends](const std::string& line) { ends.log.push_back(line); }, ends.Side());
            ASSERT_FALSE(links.Open(1, "127.0.0.1"));
            const Packet request = EntryRequest("flood", c.reconnect);
            for (int i = 0; i < Requests; ++i)
                links.Feed(1, reinterpret_cast<const char*>(request.data()), PacketSize);

            const auto& written = ends.written[1];
            for (const Packet& p : written)
                EXPECT_EQ(p[Wire::CommandByte], c.reconnect ? Command::ReconnectResult : Command::Entry);
            if (reading) {
                // A client that takes its answers gets one for every request and stays.
                EXPECT_EQ(written.size(), static_cast<size_t>(Requests));
                EXPECT_FALSE(ends.closed[1]);
            } else {
                // One that does not is closed once its unsent answers pass the bound.
                EXPECT_EQ(static_cast<int64_t>(written.size()), Bound / PacketSize + 1);
                EXPECT_TRUE(ends.closed[1]);
                EXPECT_TRUE(links.StateOf(1)->gone);
                EXPECT_EQ(links.Held(), 0);
                EXPECT_NE(std::find_if(ends.log.begin(), ends.log.end(),
                                       [](const std::string& line) {
                                           return line.find("unsent output passed 2176 bytes") != std::string::npos;
                                       }),
                          ends.log.end());
            }
        }
    }
}

}  // namespace
