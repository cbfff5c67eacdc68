#include "session/Proxy.h"

#include <QHostAddress>

#include "session/Connection.h"
#include "session/HallLink.h"
#include "session/Platform.h"
#include "session/Reconnect.h"
#include "session/SiteConfig.h"
#include "session/TableWindow.h"
#include "session/Transport.h"
#include "session/Winsock1.h"
#include "wire/Gbk.h"

namespace Mod_Proxy {

namespace {

// The proxy's replies, collected by the transport until the handshake is done.
Transport::ProxyRing& Buffer()
{
    return Transport::State.ProxyBuffer;
}

int Buffered()
{
    return (Buffer().writeIndex - Buffer().readIndex + 1024) % 1024;
}

uint8_t BufferedByte(int offset)
{
    return Buffer().data[static_cast<size_t>((Buffer().readIndex + offset) % 1024)];
}

void ResetBuffer()
{
    Buffer().readIndex = 0;
    Buffer().writeIndex = 0;
}

void Fail(const QString& text)
{
    if (Reconnect::Loaded()) {
        // One failed attempt among many: a box for each would stop the table; the reason
        // stays on the lower message line and the controller tries again.
        SysmsgClear(1);
        SysmsgAdd(1, text);
        Winsock1().Close();
        return;
    }
    // Closed before the box, so that nothing more arrives or is answered while it waits; once
    // it is answered the link watch finds the socket closed and takes the table down.
    Winsock1().Close();
    Platform::ShowMessageBox(text, SiteConfig::ProgramTitle);
}

void AppendSingleByteText(QByteArray& out, const QString& text)
{
    for (QChar c : text)
        out.append(static_cast<char>(Gbk::SingleByte(c)));
}

// Length of a complete connect reply as far as it has arrived, or 0 while more is needed.
int ConnectReplyLength()
{
    if (Buffered() < 5)
        return 0;
    int length = 0;
    switch (BufferedByte(3)) {
    case 1:
        length = 4 + 4 + 2;
        break;
    case 3:
        length = 4 + 1 + BufferedByte(4) + 2;
        break;
    case 4:
        length = 4 + 16 + 2;
        break;
    default:
        // An address type we cannot size: the two bytes judged are all we take.
        return 2;
    }
    return Buffered() >= length ? length : 0;
}

}  // namespace

QByteArray GreetingRequest()
{
    return QByteArray("\x05\x02\x00\x02", 4);
}

QByteArray AuthenticationRequest()
{
    const Launch::CommandLine& s = Connection::Link.Session;
    QByteArray r;
    r.append('\x01');
    r.append(static_cast<char>(s.proxyUserLength));
    AppendSingleByteText(r, s.proxyUser);
    r.append(static_cast<char>(s.proxyPasswordLength));
    AppendSingleByteText(r, s.proxyPassword);
    return r;
}

QByteArray ConnectRequest()
{
    const Launch::CommandLine& s = Connection::Link.Session;
    QHostAddress address;
    if (!address.setAddress(s.serverHost) || address.protocol() != QAbstractSocket::IPv4Protocol)
        return {};
    const quint32 ip = address.toIPv4Address();
    QByteArray r("\x05\x01\x00\x01", 4);
    for (int shift = 24; shift >= 0; shift -= 8)
        r.append(static_cast<char>((ip >> shift) & 0xFF));
    r.append(static_cast<char>(s.serverPort / 256));
    r.append(static_cast<char>(s.serverPort % 256));
    return r;
}

void StartProxyConnection()
{
    Transport::State.ProxyHandshakeDone = false;
    Winsock1().RemoteHost = Connection::Link.Session.proxyHost;
    Winsock1().RemotePort = Connection::Link.Session.proxyPort;
    Winsock1().Connect();
    if (!Connection::WaitForSocket()) {
        Connection::ConnectionFailed();
        return;
    }
    Connection::Link.AwaitingEntryReply = true;
    State.ProxyStep = 0;
    ResetBuffer();
    State.ProxyStep = 1;
    SendProxyRequest();
    Transport::StartTask(Transport::LinkWatchTask);
}

void SendProxyRequest()
{
    ResetBuffer();
    switch (State.ProxyStep) {
    case 1:
        Winsock1().SendData(GreetingRequest());
        State.ProxyStep = 2;
        break;
    case 3:
        Winsock1().SendData(AuthenticationRequest());
        State.ProxyStep = 4;
        break;
    case 5: {
        const QByteArray request = ConnectRequest();
        if (request.isEmpty()) {
            Fail(QStringLiteral("通过代理连接主站失败！"));
            return;
        }
        Winsock1().SendData(request);
        State.ProxyStep = 6;
        break;
    }
    default:
        break;
    }
}

void HandleProxyReply()
{
    // Replies may come in pieces; judge each only once its first two bytes are in.
    if (Buffered() < 2)
        return;
    const uint8_t b0 = BufferedByte(0);
    const uint8_t b1 = BufferedByte(1);
    switch (State.ProxyStep) {
    case 2:
        if (b0 == 5 && (b1 == 0 || b1 == 2)) {
            State.ProxyStep = b1 == 2 ? 3 : 5;
            SendProxyRequest();
        } else {
            Fail(QStringLiteral("请求代理失败！"));
        }
        break;
    case 4:
        if (b0 == 1 && b1 == 0) {
            State.ProxyStep = 5;
            SendProxyRequest();
        } else {
            Fail(QStringLiteral("代理服务器用户验证失败！"));
        }
        break;
    case 6: {
        if (b0 != 5 || b1 != 0) {
            Fail(QStringLiteral("通过代理连接主站失败！"));
            break;
        }
        // The bound address that ends the reply must not reach the packet transport, so
        // the hand-over waits until all of it is in.
        if (ConnectReplyLength() == 0)
            return;
        State.ProxyStep = 7;
        Transport::State.ProxyHandshakeDone = true;
        HallLink::PostToHall(HallMessage::LoggedIn);
        SysmsgClear(0);
        SysmsgAdd(0, QStringLiteral("连接代理服务器成功！"));
        Connection::SendEntryRequest();
        Transport::EnableTimerBong(true);
        break;
    }
    default:
        break;
    }
}

void Reset()
{
    State = ProxyRecord{};
}

}  // namespace Mod_Proxy
