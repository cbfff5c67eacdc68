#include "messages/Dispatcher.h"

#include <array>

#include "chat/ChatDisplay.h"
#include "messages/DepartureMessages.h"
#include "messages/EntryMessages.h"
#include "messages/ResultMessages.h"
#include "messages/RoundMessages.h"
#include "messages/SeatMessages.h"
#include "wire/Commands.h"

namespace Dispatcher {

namespace {

using Handler = void (*)(const Packet&);

struct Route {
    uint8_t command;
    Handler handler;
};

// One row per command the client handles.
constexpr Route Routes[] = {
    {Command::Deal, RoundMessages::OnDeal},
    {Command::Play, RoundMessages::OnPlay},
    {Command::RoundResult, ResultMessages::OnResult},
    {Command::Departure, DepartureMessages::OnDeparture},
    {Command::Entry, EntryMessages::HandleEntryResult},
    {Command::Chat, Chat::ShowChatPacket},
    {Command::SeatInfo, SeatMessages::OnSeatInfo},
    {Command::PlayerLeft, DepartureMessages::OnLeaveTable},
    {Command::TableClosed, DepartureMessages::OnTableClosed},
    {Command::Ready, SeatMessages::OnReady},
    {Command::ReconnectResult, EntryMessages::HandleReconnectResult},
};

constexpr std::array<Handler, 256> MakeTable()
{
    std::array<Handler, 256> table{};
    for (const Route& route : Routes)
        table[route.command] = route.handler;
    return table;
}

constexpr std::array<Handler, 256> Table = MakeTable();

}  // namespace

void Dispatch(const Packet& packet)
{
    if (const Handler handler = Table[packet[Wire::CommandByte]])
        handler(packet);
}

}  // namespace Dispatcher
