#include "Hub.h"

#include <set>

namespace Relay {

using RelayWire::Message;
using RelayWire::Type;

Hub::Hub(SendFn send, DropFn drop) : m_send(std::move(send)), m_drop(std::move(drop)) {}

void Hub::SetHostedUser(std::function<bool(const std::string& name)> hosted)
{
    m_hosted = std::move(hosted);
}

bool Hub::Hosted(const std::string& name) const
{
    return m_hosted && !m_byName.count(name) && m_hosted(name);
}

std::string Hub::NameOf(int link) const
{
    const auto it = m_links.find(link);
    return it == m_links.end() ? std::string() : it->second.name;
}

uint16_t Hub::StateOf(int link, int slot) const
{
    const auto it = m_links.find(link);
    if (it == m_links.end() || slot < 1 || slot > Slots)
        return SlotState::Free;
    return it->second.peers[static_cast<size_t>(slot)].state;
}

int Hub::SlotFor(const User& user, const std::string& peer) const
{
    for (int s = 1; s <= Slots; ++s)
        if (user.peers[static_cast<size_t>(s)].state != SlotState::Free && user.peers[static_cast<size_t>(s)].peer == peer)
            return s;
    return 0;
}

void Hub::Report(int link, int slot)
{
    const SlotRecord& r = m_links[link].peers[static_cast<size_t>(slot)];
    Message m;
    m.type = Type::UserState;
    m.slot = static_cast<uint16_t>(slot);
    m.state = r.state;
    m.name = r.peer.empty() ? std::string("-") : r.peer;
    m_send(link, m);
}

void Hub::Received(int link, const Message& message)
{
    User& user = m_links[link];
    if (message.type == Type::Login) {
        Login(link, message.name);
        return;
    }
    if (user.name.empty())
        return;  // nothing counts before the login
    const int slot = message.slot;
    const bool slotOk = slot >= 1 && slot <= Slots;
    switch (message.type) {
    case Type::Logout:
        Logout(link);
        break;
    case Type::Request:
        if (slotOk)
            Request(link, slot, message.name);
        break;
    case Type::Close:
        if (slotOk)
            Close(link, slot);
        break;
    case Type::Header: case Type::Mode: case Type::Frame:
        if (slotOk)
            Forward(link, message);
        break;
    case Type::Rate:
        if (slotOk)
            Rate(link, slot, message.state != 0);
        break;
    default:
        break;  // the relay's own messages are not taken from a component
    }
}

void Hub::Login(int link, const std::string& name)
{
    User& user = m_links[link];
    if (!user.name.empty())
        Logout(link);
    // The newest login of a name wins: the older link has most likely died unnoticed.
    if (const auto it = m_byName.find(name); it != m_byName.end() && it->second != link) {
        const int old = it->second;
        Logout(old);
        m_links.erase(old);
        if (m_drop)
            m_drop(old);
    }
    user.name = name;
    user.peers = {};
    m_byName[name] = link;
    Message result;
    result.type = Type::LoginResult;
    result.state = 2;
    m_send(link, result);
    // Whoever asked for this name before it came gets the link now, once it asks back.
}

void Hub::Logout(int link)
{
    auto it = m_links.find(link);
    if (it == m_links.end() || it->second.name.empty())
        return;
    const std::string name = it->second.name;
    it->second.name.clear();
    it->second.peers = {};
    m_byName.erase(name);
    Unlink(name);
}

void Hub::Unlink(const std::string& name)
{
    for (auto& [other, user] : m_links) {
        const int s = SlotFor(user, name);
        if (s == 0 || user.peers[static_cast<size_t>(s)].state == SlotState::Requested)
            continue;
        user.peers[static_cast<size_t>(s)].state = SlotState::Requested;
        Report(other, s);
    }
}

void Hub::Request(int link, int slot, const std::string& peer)
{
    User& user = m_links[link];
    if (peer == user.name)
        return;
    // One slot per peer: a second request for the same peer moves it.
    if (const int before = SlotFor(user, peer); before != 0 && before != slot)
        user.peers[static_cast<size_t>(before)] = SlotRecord{};
    SlotRecord& mine = user.peers[static_cast<size_t>(slot)];
    if (mine.state != SlotState::Free && mine.peer != peer)
        Close(link, slot);
    mine.peer = peer;
    mine.state = SlotState::Requested;
    if (Hosted(peer)) {
        mine.state = SlotState::WantsHeader;
        Report(link, slot);
        return;
    }
    const auto other = m_byName.find(peer);
    if (other != m_byName.end()) {
        User& them = m_links[other->second];
        const int theirs = SlotFor(them, user.name);
        if (theirs != 0) {
            mine.state = SlotState::WantsHeader;
            them.peers[static_cast<size_t>(theirs)].state = SlotState::WantsHeader;
            Report(other->second, theirs);
        }
    }
    Report(link, slot);
}

void Hub::Close(int link, int slot)
{
    User& user = m_links[link];
    SlotRecord& mine = user.peers[static_cast<size_t>(slot)];
    if (mine.state == SlotState::Free)
        return;
    const std::string peer = mine.peer;
    mine = SlotRecord{};
    Report(link, slot);
    // The other side still wants this user: it waits for a new request.
    if (const auto other = m_byName.find(peer); other != m_byName.end()) {
        User& them = m_links[other->second];
        const int theirs = SlotFor(them, user.name);
        if (theirs != 0 && them.peers[static_cast<size_t>(theirs)].state != SlotState::Requested) {
            them.peers[static_cast<size_t>(theirs)].state = SlotState::Requested;
            Report(other->second, theirs);
        }
    }
}

void Hub::Forward(int link, const Message& message)
{
    User& user = m_links[link];
    const SlotRecord& mine = user.peers[static_cast<size_t>(message.slot)];
    if (mine.state < SlotState::Reduced)
        return;  // not linked: nobody to give it to
    const auto other = m_byName.find(mine.peer);
    if (other == m_byName.end())
        return;  // a hosted user watches nothing
    const int theirs = SlotFor(m_links[other->second], user.name);
    if (theirs == 0)
        return;
    Message out;
    out.slot = static_cast<uint16_t>(theirs);
    out.type = message.type == Type::Header ? Type::HeaderArrived
               : message.type == Type::Mode ? Type::ModeArrived
                                             : Type::FrameArrived;
    out.mode = message.mode;
    out.bytes = message.bytes;
    m_send(other->second, out);
}

void Hub::Rate(int link, int slot, bool full)
{
    User& user = m_links[link];
    SlotRecord& mine = user.peers[static_cast<size_t>(slot)];
    if (mine.state < SlotState::Reduced)
        return;
    if (Hosted(mine.peer)) {
        mine.state = full ? SlotState::Full : SlotState::WantsHeader;
        return;
    }
    const auto other = m_byName.find(mine.peer);
    if (other == m_byName.end())
        return;
    User& them = m_links[other->second];
    const int theirs = SlotFor(them, user.name);
    if (theirs == 0)
        return;
    // The sender's slot tells it how often to send.
    uint16_t& state = them.peers[static_cast<size_t>(theirs)].state;
    const uint16_t wanted = full ? SlotState::Full : SlotState::Reduced;
    if (state != wanted) {
        state = wanted;
        Report(other->second, theirs);
    }
}

void Hub::SendAs(const std::string& hostedName, Type type, const std::vector<uint8_t>& bytes, int32_t mode)
{
    for (auto& [link, user] : m_links) {
        const int s = SlotFor(user, hostedName);
        if (s == 0 || user.peers[static_cast<size_t>(s)].state < SlotState::Reduced)
            continue;
        Message m;
        m.type = type;
        m.slot = static_cast<uint16_t>(s);
        m.bytes = bytes;
        m.mode = mode;
        m_send(link, m);
    }
}

std::vector<std::string> Hub::HostedWatched() const
{
    std::set<std::string> names;
    for (const auto& [link, user] : m_links)
        for (int s = 1; s <= Slots; ++s) {
            const SlotRecord& r = user.peers[static_cast<size_t>(s)];
            if (r.state >= SlotState::Reduced && Hosted(r.peer))
                names.insert(r.peer);
        }
    return {names.begin(), names.end()};
}

bool Hub::HostedWantsFull(const std::string& name) const
{
    for (const auto& [link, user] : m_links) {
        const int s = SlotFor(user, name);
        if (s != 0 && user.peers[static_cast<size_t>(s)].state == SlotState::Full)
            return true;
    }
    return false;
}

void Hub::Disconnected(int link)
{
    Logout(link);
    m_links.erase(link);
}

}  // namespace Relay
