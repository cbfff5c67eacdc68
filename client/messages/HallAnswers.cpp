#include "messages/HallAnswers.h"

#include "leaving/Shutdown.h"
#include "play/PlayerActions.h"
#include "session/Connection.h"
#include "session/HallLink.h"
#include "session/Transport.h"
#include "session/Winsock1.h"
#include "table/TableState.h"
#include "ui/MainForm.h"

namespace HallAnswers {

namespace {

// The table closes for the hall: the leave packet when still connected, then the table emptied.
void CloseForHall()
{
    if (Winsock1().State() == SocketState::Connected) {
        Transport::StopTask(Transport::LinkWatchTask);
        Shutdown::CloseSteps();
    }
    Shutdown::EndOfTableSteps();
}

}  // namespace

void OnRoundQuestion()
{
    HallLink::PostToHall(TableState.Round.RoundRunning ? HallMessage::RoundRunning : HallMessage::Idle);
}

void OnBusyQuestion()
{
    if (Connection::Link.AwaitingEntryReply) {
        HallLink::PostToHall(HallMessage::Connecting);
        return;
    }
    if (TableState.Round.RoundRunning) {
        HallLink::PostToHall(HallMessage::RoundRunning);
        return;
    }
    CloseForHall();
    HallLink::PostToHall(HallMessage::Idle);
}

void OnCloseTable()
{
    CloseForHall();
}

void OnConnectAgain()
{
    Connection::ConnectAgain();
    if (MainForm* form = TheMainForm())
        PlayerActions::FreeStartButton(*form);
}

void Register()
{
    HallLink::SetMessageHandler(HallMessage::RoundRunning, OnRoundQuestion);
    HallLink::SetMessageHandler(HallMessage::LoggedIn, OnBusyQuestion);
    HallLink::SetMessageHandler(HallMessage::Idle, OnCloseTable);
    HallLink::SetMessageHandler(HallMessage::Connect, OnConnectAgain);
}

}  // namespace HallAnswers
