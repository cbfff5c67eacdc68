#include "session/Connection.h"

#include "session/ConnectionWatch.h"
#include "session/HallLink.h"
#include "session/Platform.h"
#include "session/Proxy.h"
#include "session/Reconnect.h"
#include "session/Transport.h"
#include "session/Winsock1.h"
#include "wire/Fields.h"

namespace Connection {

namespace {

// WaitForSocket is keeping the window going.
bool g_waiting = false;

void ConnectDirectly()
{
    Winsock1().RemoteHost = Link.Session.serverHost;
    Winsock1().RemotePort = Link.Session.serverPort;
    if (Winsock1().State() != SocketState::Closed)
        Winsock1().Close();
    Winsock1().Connect();
    Transport::EnableTimerBong(true);
    Transport::StartTask(Transport::LoginTask);
}

void ConnectThroughProxy()
{
    Transport::StopTask(Transport::LoginTask);
    Mod_Proxy::StartProxyConnection();
}

}  // namespace

void OpenConnection()
{
    // A new connection starts a new byte stream: nothing of the old one may stay in the ring,
    // least of all the start of a packet, or every packet after it would be cut in the wrong
    // place.
    Transport::State.RecvRing.Empty();
    switch (Link.Session.proxyType) {
    case 0:
        ConnectDirectly();
        break;
    case 5:
        ConnectThroughProxy();
        break;
    default:
        // Any other type opens no connection; the table waits with "正在连接服务器...".
        break;
    }
}

void ConnectAgain()
{
    Transport::State.ProxyHandshakeDone = true;
    OpenConnection();
}

void SendEntryRequest()
{
    Winsock1().SendData(QByteArray(reinterpret_cast<const char*>(Link.EntryRequest.data()), PacketSize));
    if (Link.EntryRequest[Field::EntryRequest::Reconnect] == Field::EntryRequest::ReconnectMark)
        Reconnect::RequestSent();
}

void MarkEntryRequestAsReconnect(const std::array<uint8_t, 2>& sessionCode)
{
    namespace Entry = Field::EntryRequest;
    Link.EntryRequest[Entry::Reconnect] = Entry::ReconnectMark;
    Link.EntryRequest[Entry::ReconnectSessionCode] = sessionCode[0];
    Link.EntryRequest[Entry::ReconnectSessionCode + 1] = sessionCode[1];
}

void ConnectionFailed()
{
    if (Reconnect::Loaded()) {
        Winsock1().Close();
        return;
    }
    ConnectionWatch::ConnectionLost();
}

bool WaitForSocket()
{
    g_waiting = true;
    const bool settled = Platform::PumpUntil(
        [] {
            const int s = Winsock1().State();
            return s == SocketState::Connected || s == SocketState::Closed || s == SocketState::Error;
        },
        Reconnect::Loaded() ? Reconnect::AttemptWaitMs : ConnectWaitMs);
    g_waiting = false;
    return settled && Winsock1().State() == SocketState::Connected;
}

bool WaitingForSocket()
{
    return g_waiting;
}

void LoginTaskStep()
{
    HallLink::PostToHall(HallMessage::Connect);
    if (!WaitForSocket()) {
        // Refused, failed, closed or no answer in time.
        Transport::StopTask(Transport::LoginTask);
        ConnectionFailed();
        return;
    }
    Link.AwaitingEntryReply = true;
    HallLink::PostToHall(HallMessage::LoggedIn);
    SendEntryRequest();
    Transport::StartTask(Transport::LinkWatchTask);
    Transport::StopTask(Transport::LoginTask);
}

void RegisterTasks()
{
    Transport::SetTaskStep(Transport::LoginTask, LoginTaskStep);
}

void Reset()
{
    Link = LinkRecord{};
}

}  // namespace Connection
