#include "Links.h"

#include <algorithm>
#include <chrono>
#include <utility>

#include "Messages.h"
#include "wire/Commands.h"
#include "wire/Fields.h"

namespace Server {

namespace {

// Links per table: four seats, and room for reconnects and refused entries on the way.
constexpr int LinksPerTable = 16;

std::string TextOf(const Packet& p, int at, int width)
{
    const int n = Wire::FieldLength(p, at, width);
    return std::string(reinterpret_cast<const char*>(p.data()) + at, static_cast<size_t>(n));
}

std::string KeyOf(const Packet& p)
{
    return TextOf(p, Field::EntryRequest::Key, Field::EntryRequest::KeyWidth);
}

std::string PasswordOf(const Packet& p)
{
    return TextOf(p, Field::EntryRequest::Password, Field::EntryRequest::PasswordWidth);
}

// A key as the log shows it: whatever a client sent, one line of plain characters.
std::string Printable(const std::string& key)
{
    std::string printable;
    for (char ch : key)
        printable += (ch >= 0x20 && ch < 0x7F) ? ch : '?';
    return printable;
}

}  // namespace

Links::Links(LinkOptions options, const TableConfig& table, LogSink log, LinkSide side)
    : m_options(std::move(options)),
      m_log(std::move(log)),
      m_side(std::move(side)),
      m_caps(m_options.maxLinks > 0 ? m_options.maxLinks : LinksPerTable * std::max(1, m_options.tables),
             m_options.maxLinksPerAddress)
{
    m_options.tables = std::max(1, m_options.tables);
    for (int t = 0; t < m_options.tables; ++t) {
        TableConfig config = table;
        // Tables of one seed deal alike only if they are told apart.
        if (config.seed)
            config.seed = *config.seed + static_cast<uint32_t>(t) * 1000003u;
        // Table 0 logs as the single table always has; the others say which they are.
        GameTable::LogSink sink = m_log;
        if (t > 0)
            sink = [log = m_log, prefix = "table " + std::to_string(t) + ": "](const std::string& line) {
                log(prefix + line);
            };
        m_tables.push_back(std::make_unique<GameTable>(std::move(config), std::move(sink)));
    }
}

std::optional<std::string> Links::Open(int link, const std::string& address)
{
    if (auto refusal = m_caps.Admit(address))
        return refusal;
    auto c = std::make_unique<Link>(Link{
        .id = link,
        .address = address,
        .openedAt = Now(),
        .chat = OpenPort::ChatRate(m_options.chatLines, m_options.chatWindowMs)});
    m_links[link] = std::move(c);
    return std::nullopt;
}

Links::Link* Links::Find(int link)
{
    const auto it = m_links.find(link);
    return it == m_links.end() ? nullptr : it->second.get();
}

const Links::Link* Links::Find(int link) const
{
    const auto it = m_links.find(link);
    return it == m_links.end() ? nullptr : it->second.get();
}

Links::Link* Links::OfSeat(int table, int seat)
{
    for (auto& [id, c] : m_links)
        if (c->seat == seat && c->table == table && !c->gone)
            return c.get();
    return nullptr;
}

std::optional<Links::State> Links::StateOf(int link) const
{
    const Link* c = Find(link);
    if (!c)
        return std::nullopt;
    return State{c->table, c->seat, c->gone, c->silent, c->entered, c->pending.size()};
}

bool Links::Reading(int link) const
{
    const Link* c = Find(link);
    return c && !c->gone && !c->silent;
}

int Links::TableFor(const std::string& key) const
{
    for (size_t t = 0; t < m_tables.size(); ++t)
        for (int seat = 0; seat < 4; ++seat)
            if (m_tables[t]->Kind(seat) != SeatKind::Empty && m_tables[t]->Profile(seat).key == key)
                return static_cast<int>(t);
    for (size_t t = 0; t < m_tables.size(); ++t)
        for (int seat = 0; seat < 4; ++seat)
            if (m_tables[t]->Kind(seat) == SeatKind::Empty)
                return static_cast<int>(t);
    return 0;
}

void Links::Lost(int link)
{
    Link* c = Find(link);
    if (!c || c->gone)
        return;
    c->gone = true;
    m_caps.Release(c->address);
    const int seat = std::exchange(c->seat, -1);
    if (seat >= 0) {
        m_tables[static_cast<size_t>(c->table)]->Disconnected(seat, Now());
        Flush(c->table);
    }
    // Removed later: the link may go while one of its own packets is being handled.
    m_side.sweepLater();
}

std::vector<int> Links::Sweep()
{
    std::vector<int> dead;
    for (auto it = m_links.begin(); it != m_links.end();) {
        if (it->second->gone) {
            dead.push_back(it->first);
            it = m_links.erase(it);
        } else {
            ++it;
        }
    }
    return dead;
}

void Links::Feed(int link, const char* bytes, size_t size)
{
    Link* c = Find(link);
    if (!c || c->gone || c->silent)
        return;
    c->pending.append(bytes, size);
    Drain(*c);
}

void Links::Drain(Link& link)
{
    Link* c = &link;
    while (!c->gone && !c->checking && c->pending.size() >= static_cast<size_t>(PacketSize)) {
        Packet p{};
        std::copy_n(reinterpret_cast<const uint8_t*>(c->pending.data()), PacketSize, p.begin());
        c->pending.erase(0, PacketSize);
        m_side.received(c->id, p);
        // A turn of a seated human: its latency counts from the read, so a packet that waited
        // behind others of the same read carries their time too.
        const bool turn = p[Wire::CommandByte] == Command::PlayRequest && c->seat >= 0;
        Handle(*c, p);
        if (c->table >= 0)
            Flush(c->table);
        // The answers written to the link itself (refused entries and reconnects) count too.
        CloseOverBound(*c);
        if (turn)
            m_side.turnTaken();
    }
}

void Links::Handle(Link& c, const Packet& p)
{
    switch (p[Wire::CommandByte]) {
    case Command::Entry:
        Enter(c, p);
        break;
    case Command::Chat:
        if (c.seat >= 0 && ChatAllowed(c))
            m_tables[static_cast<size_t>(c.table)]->Receive(c.seat, p, Now());
        break;
    default:
        if (c.seat >= 0)
            m_tables[static_cast<size_t>(c.table)]->Receive(c.seat, p, Now());
        break;
    }
}

void Links::Enter(Link& c, const Packet& p)
{
    const auto arrivedUs = std::chrono::duration_cast<std::chrono::milliseconds>(
                               std::chrono::system_clock::now().time_since_epoch()).count() * 1000LL;
    const std::string key = KeyOf(p);
    if (c.seat >= 0) {
        m_log("entry request from seat " + std::to_string(c.seat) + " that already sits; ignored");
        return;
    }
    c.entered = true;
    if (!m_options.accounts) {
        Admit(c, p, true, arrivedUs);
        return;
    }
    if (!m_side.checkAside) {
        Admit(c, p, m_options.accounts->Check(key, PasswordOf(p)), arrivedUs);
        return;
    }
    // The hash takes long enough to stall every table if it ran here; the link waits for it,
    // and its later packets with it. Links are never numbered twice, so the answer finds the
    // link it was asked for, or none.
    c.checking = true;
    const Accounts::Book* book = &*m_options.accounts;
    const int id = c.id;
    m_side.checkAside([book, key, password = PasswordOf(p)] { return book->Check(key, password); },
                      [this, id, p, arrivedUs](bool ok) {
                          Link* asked = Find(id);
                          if (!asked || asked->gone)
                              return;
                          asked->checking = false;
                          Admit(*asked, p, ok, arrivedUs);
                          if (asked->table >= 0)
                              Flush(asked->table);
                          CloseOverBound(*asked);
                          Drain(*asked);
                      });
}

void Links::Admit(Link& c, const Packet& p, bool passwordOk, long long arrivedUs)
{
    const std::string key = KeyOf(p);
    const bool reconnect = p[Field::EntryRequest::Reconnect] == Field::EntryRequest::ReconnectMark;
    if (!passwordOk) {
        WriteTo(c, reconnect ? Msg::ReconnectResult(false) : Msg::EntryResult(0, 0, std::string(), 0), true);
        Close(c, std::string(reconnect ? "reconnect" : "entry") + " of key " + Printable(key)
                     + " refused: unknown key or wrong password");
        return;
    }
    if (reconnect) {
        if (m_options.refuseReconnects) {
            m_log("reconnect refused on request");
            WriteTo(c, Msg::ReconnectResult(false), true);
            return;
        }
        // The client puts the session code one byte later than its usual place.
        const int at = Field::EntryRequest::ReconnectSessionCode;
        const auto code = static_cast<uint16_t>(p[at] | p[at + 1] << 8);
        const int table = TableFor(key);
        const int seat = m_tables[static_cast<size_t>(table)]->Reconnect(key, code, Now());
        if (seat < 0) {
            WriteTo(c, Msg::ReconnectResult(false), true);
            return;
        }
        Attach(c, table, seat);
        return;
    }

    Packet reply = Msg::EntryResult(static_cast<uint8_t>(m_options.outcome),
                                    static_cast<uint8_t>(m_options.timeoutLimit), m_options.webAddress, 0);
    int seat = -1;
    int table = 0;
    if (m_options.outcome == 1) {
        table = TableFor(key);
        seat = m_tables[static_cast<size_t>(table)]->Enter(key, reply, Now());
        if (seat >= 0)
            Attach(c, table, seat);
        else {
            reply[Field::EntryResult::Outcome] = 0;  // no free seat, or the key sits here already
            WriteTo(c, reply, true);
        }
    } else {
        WriteTo(c, reply, true);
    }
    m_log(std::string(table > 0 ? "table " + std::to_string(table) + ": " : "") + "entry from seat "
          + std::to_string(seat) + " key " + Printable(key) + " at " + std::to_string(arrivedUs) + " us");
}

void Links::Attach(Link& c, int table, int seat)
{
    // A link still held for the seat is stale: its client has come back on this one.
    if (Link* old = OfSeat(table, seat); old && old != &c) {
        old->seat = -1;
        old->gone = true;
        m_caps.Release(old->address);
        m_side.close(old->id, false);
        m_side.sweepLater();
    }
    c.table = table;
    c.seat = seat;
}

void Links::WriteTo(Link& c, Packet p, bool stamp)
{
    // A quiet link loses what is written to it; the table keeps it for a reconnect.
    if (c.gone || c.silent)
        return;
    if (stamp)
        m_tables[static_cast<size_t>(std::max(c.table, 0))]->Stamp(p);
    m_side.write(c.id, p);
}

void Links::Flush(int table)
{
    GameTable& t = *m_tables[static_cast<size_t>(table)];
    std::vector<Link*> written;
    for (const Outgoing& out : t.TakeOutgoing())
        if (Link* c = OfSeat(table, out.seat)) {
            WriteTo(*c, out.packet, false);
            if (std::find(written.begin(), written.end(), c) == written.end())
                written.push_back(c);
        }
    for (Link* c : written)
        if (!c->gone && !c->silent)
            m_side.handOver(c->id);
    for (int seat : t.TakeReleasedSeats())
        if (Link* c = OfSeat(table, seat))
            c->seat = -1;
    for (Link* c : written)
        CloseOverBound(*c);
}

void Links::CloseOverBound(Link& c)
{
    // A client that does not read costs the server no more than the bound.
    if (!c.gone && m_side.unsent(c.id) > m_options.outputLimit)
        Close(c, "its unsent output passed " + std::to_string(m_options.outputLimit) + " bytes");
}

void Links::FlushAll()
{
    for (int t = 0; t < Tables(); ++t)
        Flush(t);
}

void Links::Advance()
{
    const int64_t now = Now();
    for (auto& t : m_tables)
        t->Advance(now);
    FlushAll();
}

void Links::CloseTables(const std::string& notice)
{
    for (auto& t : m_tables)
        t->CloseTable(notice, Now());
    FlushAll();
}

void Links::Close(Link& c, const std::string& why)
{
    if (c.gone)
        return;
    const std::string seat = c.seat >= 0 ? " of seat " + std::to_string(c.seat) : std::string();
    m_log("closing the link" + seat + " from " + c.address + ": " + why);
    // What was written last (a refusal) still goes out before the end.
    m_side.close(c.id, true);
    Lost(c.id);
}

void Links::CloseLate()
{
    const int64_t now = Now();
    for (auto& [id, c] : m_links)
        if (!c->gone && !c->entered && now - c->openedAt >= m_options.entryLimitMs)
            Close(*c, "no entry request within " + std::to_string(m_options.entryLimitMs) + " ms");
}

std::vector<int> Links::Seated(int table, int seat) const
{
    std::vector<int> seated;
    for (const auto& [id, c] : m_links)
        if (!c->gone && c->seat >= 0 && c->table == table && (seat < 0 || c->seat == seat))
            seated.push_back(id);
    return seated;
}

void Links::Silence(int table, int seat)
{
    for (auto& [id, c] : m_links)
        if (!c->gone && c->seat >= 0 && c->table == table && (seat < 0 || c->seat == seat)) {
            c->silent = true;
            m_log("the link of seat " + std::to_string(c->seat) + " goes quiet");
        }
}

bool Links::ChatAllowed(Link& c)
{
    if (c.chat.Allow(Now()))
        return true;
    m_log("chat line of seat " + std::to_string(c.seat) + " from " + c.address + " dropped: more than "
          + std::to_string(m_options.chatLines) + " lines in " + std::to_string(m_options.chatWindowMs) + " ms");
    return false;
}

}  // namespace Server
