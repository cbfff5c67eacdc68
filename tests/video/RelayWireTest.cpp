// The relay messages: every type survives the trip, a stream cut anywhere gives the same
// messages, and what is not a message makes the stream bad without reading past it.
#include <gtest/gtest.h>

#include <random>

#include "video/RelayWire.h"

using RelayWire::Message;
using RelayWire::Reader;
using RelayWire::Type;

namespace {

std::vector<Message> Samples()
{
    std::vector<Message> all;
    auto add = [&all](Type t, uint16_t slot, uint16_t state, int32_t mode, std::string name,
                      std::vector<uint8_t> bytes) {
        Message m;
        m.type = t;
        m.slot = slot;
        m.state = state;
        m.mode = mode;
        m.name = std::move(name);
        m.bytes = std::move(bytes);
        all.push_back(m);
    };
    add(Type::Login, 0, 0, 0, "alice", {});
    add(Type::Login, 0, 0, 0, "bob", {});
    all.back().password = std::string("s3cret\0with zero", 16);
    add(Type::Logout, 0, 0, 0, "", {});
    add(Type::Request, 3, 0, 0, "cpu17", {});
    add(Type::Close, 2, 0, 0, "", {});
    add(Type::Header, 1, 0, 0, "", {'J', 'P', 'G'});
    add(Type::Mode, 1, 0, -7, "", {});
    add(Type::Frame, 2, 0, 0, "", std::vector<uint8_t>(70000, 0xAB));
    add(Type::Rate, 3, 1, 0, "", {});
    add(Type::LoginResult, 0, 2, 0, "", {});
    add(Type::UserState, 1, 14, 0, "bob", {});
    add(Type::HeaderArrived, 2, 0, 0, "", {});
    add(Type::ModeArrived, 3, 0, 2, "", {});
    add(Type::FrameArrived, 1, 0, 0, "", {1, 2, 3});
    return all;
}

void ExpectSame(const Message& a, const Message& b)
{
    EXPECT_EQ(a.type, b.type);
    EXPECT_EQ(a.slot, b.slot);
    EXPECT_EQ(a.state, b.state);
    EXPECT_EQ(a.mode, b.mode);
    EXPECT_EQ(a.name, b.name);
    EXPECT_EQ(a.password, b.password);
    EXPECT_EQ(a.bytes, b.bytes);
}

}  // namespace

TEST(RelayWire, EveryMessageSurvivesAStreamCutAnywhere)
{
    std::vector<uint8_t> stream;
    const std::vector<Message> sent = Samples();
    for (const Message& m : sent) {
        const std::vector<uint8_t> bytes = RelayWire::Encode(m);
        stream.insert(stream.end(), bytes.begin(), bytes.end());
    }
    std::mt19937 rng(5);
    for (int run = 0; run < 30; ++run) {
        Reader reader;
        std::vector<Message> got;
        size_t at = 0;
        while (at < stream.size()) {
            // Pieces of 1 byte up to a few kilobytes.
            const size_t piece = std::min<size_t>(stream.size() - at, 1 + rng() % (run % 2 ? 5 : 5000));
            reader.Feed(stream.data() + at, piece);
            at += piece;
            while (auto m = reader.Next())
                got.push_back(*m);
        }
        EXPECT_FALSE(reader.Bad());
        EXPECT_EQ(reader.Buffered(), 0u);
        ASSERT_EQ(got.size(), sent.size());
        for (size_t i = 0; i < sent.size(); ++i)
            ExpectSame(got[i], sent[i]);
    }
}

TEST(RelayWire, WhatIsNotAMessageMakesTheStreamBad)
{
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
    };
    const std::vector<Case> cases = {
        {"length zero", {0, 0, 0, 0, 1}},
        {"length above the limit", {0x01, 0x00, 0x40, 0x00, 7}},
        {"a length of 4 GB", {0xFF, 0xFF, 0xFF, 0xFF}},
        {"an unknown type", {1, 0, 0, 0, 99}},
        {"a request without its slot", {2, 0, 0, 0, 3, 1}},
        {"a login with no name", {1, 0, 0, 0, 1}},
        {"a name with a control character", {3, 0, 0, 0, 1, 'a', '\n'}},
        {"a logout with trailing bytes", {2, 0, 0, 0, 2, 0}},
    };
    for (const Case& c : cases) {
        Reader reader;
        reader.Feed(c.bytes);
        EXPECT_FALSE(reader.Next().has_value()) << c.what;
        EXPECT_TRUE(reader.Bad()) << c.what;
        // Bad stays bad: a good message after it is not taken.
        reader.Feed(RelayWire::Encode(Samples()[0]));
        EXPECT_FALSE(reader.Next().has_value()) << c.what;
    }
    // A name of 65 bytes is too long; 64 is fine.
    Message login;
    login.type = Type::Login;
    login.name = std::string(64, 'k');
    Reader fine;
    fine.Feed(RelayWire::Encode(login));
    EXPECT_TRUE(fine.Next().has_value());
    login.name += 'k';
    Reader tooLong;
    tooLong.Feed(RelayWire::Encode(login));
    EXPECT_FALSE(tooLong.Next().has_value());
    EXPECT_TRUE(tooLong.Bad());
}

TEST(RelayWire, AMessageStillArrivingIsNotTaken)
{
    Message frame;
    frame.type = Type::Frame;
    frame.slot = 1;
    frame.bytes.assign(1000, 7);
    const std::vector<uint8_t> bytes = RelayWire::Encode(frame);
    Reader reader;
    reader.Feed(bytes.data(), bytes.size() - 1);
    EXPECT_FALSE(reader.Next().has_value());
    EXPECT_FALSE(reader.Bad());
    reader.Feed(bytes.data() + bytes.size() - 1, 1);
    ASSERT_TRUE(reader.Next().has_value());
}
