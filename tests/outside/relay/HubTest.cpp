// The relay's logic with links as numbers: logins, peer slots that link when both sides ask,
// forwarding along links, rates, departures and the users the relay plays itself.
#include <gtest/gtest.h>

#include "Hub.h"

using RelayWire::Message;
using RelayWire::Type;
namespace State = Relay::SlotState;

namespace {

class HubTest : public ::testing::Test {
protected:
    struct Sent {
        int link;
        Message message;
    };

    HubTest()
        : hub([this](int link, const Message& m) { sent.push_back({link, m}); },
              [this](int link) { dropped.push_back(link); })
    {
        hub.SetHostedUser([](const std::string& name) { return name.rfind("cpu", 0) == 0; });
    }

    void Login(int link, const std::string& name)
    {
        Message m;
        m.type = Type::Login;
        m.name = name;
        hub.Received(link, m);
    }

    void Ask(int link, uint16_t slot, const std::string& peer)
    {
        Message m;
        m.type = Type::Request;
        m.slot = slot;
        m.name = peer;
        hub.Received(link, m);
    }

    void Send(int link, Type type, uint16_t slot, std::vector<uint8_t> bytes = {}, uint16_t state = 0)
    {
        Message m;
        m.type = type;
        m.slot = slot;
        m.bytes = std::move(bytes);
        m.state = state;
        m.mode = 2;
        hub.Received(link, m);
    }

    // alice on link 1 and bob on link 2, linked in their slots 1, with what they were told
    // on the way there taken.
    void LinkAliceAndBob()
    {
        Login(1, "alice");
        Login(2, "bob");
        Ask(1, 1, "bob");
        Ask(2, 1, "alice");
        To(1);
        To(2);
    }

    // The messages to one link since the last call, and nothing else kept.
    std::vector<Message> To(int link)
    {
        std::vector<Message> out;
        for (const Sent& s : sent)
            if (s.link == link)
                out.push_back(s.message);
        std::erase_if(sent, [link](const Sent& s) { return s.link == link; });
        return out;
    }

    std::vector<Sent> sent;
    std::vector<int> dropped;
    Relay::Hub hub;
};

}  // namespace

TEST_F(HubTest, TwoUsersWhoAskForEachOtherAreLinkedAndFramesFollowTheLink)
{
    Login(1, "alice");
    Login(2, "bob");
    ASSERT_EQ(To(1).at(0).state, 2);  // logged in
    To(2);

    Ask(1, 2, "bob");
    std::vector<Message> a = To(1);
    ASSERT_EQ(a.size(), 1u);
    EXPECT_EQ(a[0].type, Type::UserState);
    EXPECT_EQ(a[0].state, State::Requested);
    EXPECT_TRUE(To(2).empty());

    // A frame before the link goes nowhere.
    Send(1, Type::Frame, 2, {1});
    EXPECT_TRUE(To(2).empty());

    Ask(2, 3, "alice");
    const std::vector<Message> b = To(2);
    a = To(1);
    ASSERT_EQ(a.size(), 1u);
    ASSERT_EQ(b.size(), 1u);
    EXPECT_EQ(a[0].slot, 2);
    EXPECT_EQ(a[0].state, State::WantsHeader);
    EXPECT_EQ(a[0].name, "bob");
    EXPECT_EQ(b[0].slot, 3);
    EXPECT_EQ(b[0].state, State::WantsHeader);

    // alice's slot 2 arrives as bob's slot 3, whatever the message.
    Send(1, Type::Header, 2, {9, 9});
    Send(1, Type::Mode, 2);
    Send(1, Type::Frame, 2, {1, 2, 3});
    const std::vector<Message> got = To(2);
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[0].type, Type::HeaderArrived);
    EXPECT_EQ(got[1].type, Type::ModeArrived);
    EXPECT_EQ(got[1].mode, 2);
    EXPECT_EQ(got[2].type, Type::FrameArrived);
    for (const Message& m : got)
        EXPECT_EQ(m.slot, 3);
    EXPECT_EQ(got[2].bytes, (std::vector<uint8_t>{1, 2, 3}));
}

TEST_F(HubTest, TheViewersRateSetsTheSendersSlot)
{
    LinkAliceAndBob();
    Send(2, Type::Rate, 1, {}, 1);  // bob opens alice's video large
    const std::vector<Message> a = To(1);
    ASSERT_EQ(a.size(), 1u);
    EXPECT_EQ(a[0].state, State::Full);
    EXPECT_EQ(hub.StateOf(1, 1), State::Full);
    Send(2, Type::Rate, 1, {}, 0);
    EXPECT_EQ(To(1).at(0).state, State::Reduced);
}

TEST_F(HubTest, ALeavingUserPutsItsPeersBackToWaiting)
{
    LinkAliceAndBob();

    // bob closes the slot: alice still wants bob and waits.
    Send(2, Type::Close, 1);
    EXPECT_EQ(To(2).at(0).state, State::Free);
    EXPECT_EQ(To(1).at(0).state, State::Requested);
    Ask(2, 1, "alice");
    EXPECT_EQ(To(1).at(0).state, State::WantsHeader);

    // bob's link goes: the same.
    hub.Disconnected(2);
    EXPECT_EQ(To(1).at(0).state, State::Requested);
    sent.clear();
    Send(1, Type::Frame, 1, {5});
    EXPECT_TRUE(sent.empty());
    // bob back under a new link, asking again.
    Login(3, "bob");
    Ask(3, 2, "alice");
    EXPECT_EQ(To(1).at(0).state, State::WantsHeader);
    Send(1, Type::Frame, 1, {5});
    const std::vector<Message> b = To(3);
    ASSERT_EQ(b.back().type, Type::FrameArrived);
    EXPECT_EQ(b.back().slot, 2);
}

TEST_F(HubTest, ASecondLoginOfANameReplacesTheFirst)
{
    Login(1, "alice");
    Login(2, "alice");
    EXPECT_EQ(dropped, (std::vector<int>{1}));
    EXPECT_EQ(hub.NameOf(2), "alice");
    EXPECT_EQ(hub.Users(), 1u);
}

TEST_F(HubTest, NothingBeforeTheLoginAndNoSlotOutsideOneToThreeCounts)
{
    Ask(1, 1, "bob");
    Send(1, Type::Frame, 1, {1});
    EXPECT_TRUE(sent.empty());
    Login(1, "alice");
    To(1);
    for (uint16_t slot : {0, 4, 65535})
        Ask(1, slot, "bob");
    Ask(1, 1, "alice");  // itself
    EXPECT_TRUE(sent.empty());
    // The relay's own messages are not taken from a component.
    Send(1, Type::FrameArrived, 1, {1});
    EXPECT_TRUE(sent.empty());
}

TEST_F(HubTest, AComputerPlayerLinksAtOnceAndItsPicturesReachItsViewers)
{
    Login(1, "alice");
    To(1);
    Ask(1, 3, "cpu2");
    EXPECT_EQ(To(1).at(0).state, State::WantsHeader);
    EXPECT_EQ(hub.HostedWatched(), (std::vector<std::string>{"cpu2"}));
    EXPECT_FALSE(hub.HostedWantsFull("cpu2"));
    Send(1, Type::Rate, 3, {}, 1);
    EXPECT_TRUE(hub.HostedWantsFull("cpu2"));
    hub.SendAs("cpu2", Type::FrameArrived, {4, 2});
    const std::vector<Message> a = To(1);
    ASSERT_EQ(a.size(), 1u);
    EXPECT_EQ(a[0].slot, 3);
    EXPECT_EQ(a[0].bytes, (std::vector<uint8_t>{4, 2}));
    // What alice sends a computer player goes nowhere.
    Send(1, Type::Frame, 3, {1});
    EXPECT_TRUE(sent.empty());
}
