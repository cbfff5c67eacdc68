#pragma once
// The relay's logic without sockets: who is logged in under which name, the three peer slots
// of each, links between two users who asked for each other, and forwarding of headers, modes
// and frames along a link. The caller feeds it messages per link number and delivers what it
// hands to the send function.
#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "video/RelayWire.h"

namespace Relay {

constexpr int Slots = 3;

// Slot states as the owner of the slot sees them.
namespace SlotState {
constexpr uint16_t Free = 0;
constexpr uint16_t Requested = 1;   // asked for, the other side has not asked back (or is away)
constexpr uint16_t Reduced = 10;    // linked: the viewer takes a reduced rate
constexpr uint16_t WantsHeader = 14; // linked just now: send the header, then a reduced rate
constexpr uint16_t Full = 15;       // linked: the viewer wants every frame
}  // namespace SlotState

class Hub {
public:
    using SendFn = std::function<void(int link, const RelayWire::Message& message)>;
    using DropFn = std::function<void(int link)>;

    Hub(SendFn send, DropFn drop);

    // Users the relay plays itself: a name that asks nobody but links back to whoever asks
    // for it. The caller sends their pictures with SendAs.
    void SetHostedUser(std::function<bool(const std::string& name)> hosted);
    void SendAs(const std::string& hostedName, RelayWire::Type type, const std::vector<uint8_t>& bytes, int32_t mode = 0);
    // The hosted users somebody is linked to, with the rate they asked for.
    std::vector<std::string> HostedWatched() const;
    // Whether somebody watches that hosted user at the full rate.
    bool HostedWantsFull(const std::string& name) const;

    void Received(int link, const RelayWire::Message& message);
    void Disconnected(int link);

    // For the log and the tests.
    std::string NameOf(int link) const;
    uint16_t StateOf(int link, int slot) const;
    size_t Users() const { return m_byName.size(); }

private:
    struct SlotRecord {
        std::string peer;
        uint16_t state = SlotState::Free;
    };
    struct User {
        std::string name;  // empty until logged in
        std::array<SlotRecord, Slots + 1> peers{};  // 1..Slots
    };

    void Login(int link, const std::string& name);
    void Logout(int link);
    void Request(int link, int slot, const std::string& peer);
    void Close(int link, int slot);
    void Forward(int link, const RelayWire::Message& message);
    void Rate(int link, int slot, bool full);
    void Report(int link, int slot);
    // The slot of `user` that holds `peer`, or 0.
    int SlotFor(const User& user, const std::string& peer) const;
    bool Hosted(const std::string& name) const;
    // A user on the other end stopped being there: the slots that held it go back to requested.
    void Unlink(const std::string& name);

    SendFn m_send;
    DropFn m_drop;
    std::function<bool(const std::string&)> m_hosted;
    std::map<int, User> m_links;
    std::map<std::string, int> m_byName;
};

}  // namespace Relay
