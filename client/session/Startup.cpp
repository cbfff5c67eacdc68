#include "session/Startup.h"

#include <QFont>
#include <QHostAddress>

#include "protocol/TableState.h"
#include "session/ConnectionWatch.h"
#include "session/Gbk.h"
#include "session/HallLink.h"
#include "session/Pictures.h"
#include "session/Proxy.h"
#include "sound/Mod_Sound.h"
#include "session/Platform.h"
#include "session/Transport.h"
#include "session/Winsock1.h"
#include "ui/Layout.h"
#include "ui/MainForm.h"

namespace Startup {

namespace {

constexpr int Twips = 15;  // twips per pixel

// A 16-bit signed number: optional blanks and sign around decimal digits.
bool ToInt16(const QString& field, int16_t& out)
{
    const QString t = field.trimmed();
    if (t.isEmpty())
        return false;
    bool ok = false;
    const int value = t.toInt(&ok, 10);
    if (!ok || value < -32768 || value > 32767)
        return false;
    out = static_cast<int16_t>(value);
    return true;
}

// A TCP port. Ports above 32767 are as real as any other, so the field is unsigned.
bool ToPort(const QString& field, uint16_t& out)
{
    const QString t = field.trimmed();
    bool ok = false;
    const int value = t.toInt(&ok, 10);
    if (t.isEmpty() || !ok || value < 0 || value > 65535)
        return false;
    out = static_cast<uint16_t>(value);
    return true;
}

bool ToNumber(const QString& field, double& out)
{
    bool ok = false;
    out = field.trimmed().toDouble(&ok);
    return ok && !field.trimmed().isEmpty();
}

// Every character must be one byte of the code page; the wire carries them byte by byte.
bool SingleByteText(const QString& text)
{
    for (QChar c : text)
        if (Gbk::SingleByte(c) < 0)
            return false;
    return true;
}

}  // namespace

QString JoinArguments(const QStringList& arguments)
{
    return arguments.mid(1).join(QLatin1Char(' '));
}

ParseOutcome ParseCommandLine(const QString& rawLine, CommandLine& out)
{
    const QString line = rawLine.trimmed();
    if (line.isEmpty())
        return ParseOutcome::Empty;

    CommandLine parsed;
    parsed.spectator = !line.endsWith(QLatin1Char('$'));

    QStringList fields;
    qsizetype from = 0;
    for (int i = 0; i < 13; ++i) {
        const qsizetype dollar = line.indexOf(QLatin1Char('$'), from);
        if (dollar < 0)
            return ParseOutcome::Invalid;  // fewer than thirteen fields
        fields << line.mid(from, dollar - from);
        from = dollar + 1;
    }
    const QString rest = line.mid(from);
    if (parsed.spectator) {
        if (!ToNumber(rest, parsed.spectatorSeatValue))
            return ParseOutcome::Invalid;
    }

    parsed.userKey = fields[0];
    parsed.password = fields[1];
    parsed.serverHost = fields[2];
    parsed.location = fields[4];
    parsed.proxyHost = fields[6];
    parsed.proxyUser = fields[8];
    parsed.proxyPassword = fields[9];
    parsed.hallCaption = fields[11];
    parsed.ownCaption = fields[12];

    double captionSwitch = 0;
    if (!ToPort(fields[3], parsed.serverPort) || !ToInt16(fields[5], parsed.proxyType)
        || !ToPort(fields[7], parsed.proxyPort) || !ToNumber(fields[10], captionSwitch))
        return ParseOutcome::Invalid;
    parsed.customCaption = captionSwitch == 1;

    for (const QString* text : {&parsed.userKey, &parsed.password, &parsed.proxyUser, &parsed.proxyPassword})
        if (!SingleByteText(*text))
            return ParseOutcome::Invalid;
    // The name has 16 bytes before the password starts, and the password must end before
    // the session code; longer texts would corrupt the request.
    if (parsed.userKey.size() > 16 || parsed.password.size() > 228)
        return ParseOutcome::Invalid;
    // The proxy request carries the lengths in one byte each.
    if (parsed.proxyUser.size() > 255 || parsed.proxyPassword.size() > 255)
        return ParseOutcome::Invalid;
    // Through a proxy the server is named by its IPv4 address in the connect request.
    if (parsed.proxyType == 5 && QHostAddress(parsed.serverHost).protocol() != QAbstractSocket::IPv4Protocol)
        return ParseOutcome::Invalid;
    parsed.proxyUserLength = static_cast<uint8_t>(parsed.proxyUser.size());
    parsed.proxyPasswordLength = static_cast<uint8_t>(parsed.proxyPassword.size());

    out = parsed;
    Wipe(parsed.password);
    Wipe(parsed.proxyPassword);
    return ParseOutcome::Ok;
}

LayoutScaleFactors ChooseScale(QSize screen)
{
    if (screen.height() < 768 || screen.width() < 1024)
        return {0.78125, 0.78125};
    return {1.0, 1.0};
}

namespace {

// One axis of the window. A small screen gets the whole length for the window and for Pic1;
// a large one gets the fixed design length, with Pic1 inside the drawn frame.
struct AxisPlacement {
    int windowLength = 0;
    int picStart = 0;
    int picLength = 0;
    bool framed = false;
};

AxisPlacement PlaceAxis(int screenLength, int fullScreenBelow, int windowTwips, int picStartTwips,
                        int frameTwips)
{
    if (screenLength < fullScreenBelow)
        return {screenLength, 0, screenLength, false};
    return {windowTwips / Twips, picStartTwips / Twips, (windowTwips - frameTwips) / Twips, true};
}

}  // namespace

WindowPlacement PlaceWindow(QSize screen)
{
    const AxisPlacement v = PlaceAxis(screen.height(), 769, 11940, 300, 420);
    const AxisPlacement h = PlaceAxis(screen.width(), 1025, 15600, 120, 240);
    WindowPlacement p;
    p.window = QRect(0, 0, h.windowLength, v.windowLength);
    p.pic1 = QRect(h.picStart, v.picStart, h.picLength, v.picLength);
    p.framed = h.framed || v.framed;
    return p;
}

Packet BuildEntryRequest(const CommandLine& line)
{
    Packet p{};
    p[2] = 0;
    p[3] = 18;
    int at = 16;
    for (QChar c : line.userKey)
        p[static_cast<size_t>(at++)] = static_cast<uint8_t>(Gbk::SingleByte(c));
    at = 32;
    for (QChar c : line.password)
        p[static_cast<size_t>(at++)] = static_cast<uint8_t>(Gbk::SingleByte(c));
    return p;
}

void Wipe(QString& text)
{
    text.fill(QChar(u'\0'));
    text.clear();
    text.squeeze();
}

void OpenConnection()
{
    switch (Session.proxyType) {
    case 0:
        Winsock1().RemoteHost = Session.serverHost;
        Winsock1().RemotePort = Session.serverPort;
        Winsock1().Connect();
        Transport::EnableTimerBong(true);
        Transport::StartTask(Transport::LoginTask);
        break;
    case 5:
        Transport::StopTask(Transport::LoginTask);
        Mod_Proxy::StartProxyConnection();
        break;
    default:
        // Any other type opens no connection; the table waits with "正在连接服务器...".
        break;
    }
}

void ConnectAgain()
{
    Transport::ProxyHandshakeDone = true;
    if (Session.proxyType == 0) {
        Winsock1().RemoteHost = Session.serverHost;
        Winsock1().RemotePort = Session.serverPort;
        if (Winsock1().State() != SocketState::Closed)
            Winsock1().Close();
        Winsock1().Connect();
        Transport::EnableTimerBong(true);
        Transport::StartTask(Transport::LoginTask);
    } else if (Session.proxyType == 5) {
        Transport::StopTask(Transport::LoginTask);
        Mod_Proxy::StartProxyConnection();
    }
}

void LoginTaskStep()
{
    HallLink::PostToHall(HallMessage::Connect);
    const bool connected = Platform::PumpUntil(
        [] {
            const int s = Winsock1().State();
            return s == SocketState::Connected || s == SocketState::Closed || s == SocketState::Error;
        },
        ConnectWaitMs);
    if (!connected || Winsock1().State() != SocketState::Connected) {
        // Refused, failed, closed or no answer in time: the link is lost.
        Transport::StopTask(Transport::LoginTask);
        ConnectionWatch::ConnectionLost();
        return;
    }
    TableState.AwaitingEntryReply = true;
    HallLink::PostToHall(HallMessage::LoggedIn);
    Winsock1().SendData(QByteArray(reinterpret_cast<const char*>(EntryRequest.data()), PacketSize));
    Transport::StartTask(Transport::LinkWatchTask);
    Transport::StopTask(Transport::LoginTask);
}

bool LoadMainForm(MainForm& form, const QStringList& arguments, QSize screen)
{
    // 1. One table per user.
    if (Platform::AnotherInstanceRunning()) {
        Platform::ShowMessageBox(QStringLiteral("Quellor已经运行！"), QStringLiteral("警告"));
        HallLink::ReturnToHall();
        Platform::EndProgram(1);
        return false;
    }

    // 2. The packet log, when switched on.
    if (Transport::LogEnabled)
        Transport::OpenLog(Platform::ProgramDir() + QStringLiteral("/log.txt"));

    // 3 and 4. Window size and scale.
    const WindowPlacement placement = PlaceWindow(screen);
    form.setGeometry(placement.window);
    form.Pic1->setGeometry(placement.pic1);
    if (placement.framed)
        form.PaintFrame();
    TableState.LayoutScale = ChooseScale(screen);
    Layout::PrepareBackground(form);

    // 5. Initial state of the tick tasks and the sound.
    Transport::ClearAllTasks();
    Transport::TickTasks[Transport::LinkWatchTask].counter = 0;
    Transport::IdleReceiveRuns = 0;
    Mod_Sound::ResetSound();
    Mod_Sound::StartSound(&form);

    // 6. Picture tables for this scale.
    Pictures::BuildPictureTables(TableState.LayoutScale);
    Layout::FirstLayoutPass(form);

    // 7. The command line.
    CommandLine parsed;
    switch (ParseCommandLine(JoinArguments(arguments), parsed)) {
    case ParseOutcome::Empty:
        Platform::ShowMessageBox(QStringLiteral("本游戏需从游戏大厅中启动！"), QStringLiteral("警告"));
        Platform::EndProgram(1);
        return false;
    case ParseOutcome::Invalid:
        HallLink::ReturnToHall();
        Platform::EndProgram(1);
        return false;
    case ParseOutcome::Ok:
        break;
    }
    Session = parsed;
    Wipe(parsed.password);
    Wipe(parsed.proxyPassword);
    TableState.Seats[0].seatKey = Session.userKey;
    TableState.Spectator = Session.spectator;
    if (Session.spectator)
        TableState.Players[0].seatValue = Session.spectatorSeatValue;

    form.Location->setText(Session.location);
    QFont font = form.Location->font();
    int points = MainForm::LocationPointSize;
    if (TableState.LayoutScale.h < 1.0)
        points = 10;
    if (Session.location.size() > 10)
        points -= 2;
    font.setPointSize(points);
    form.Location->setFont(font);

    // 9. Tell the user what happens.
    SysmsgClear(0);
    SysmsgAdd(0, QStringLiteral("正在连接服务器..."));

    // 10.
    Transport::EnableTimerBong(false);
    Transport::ProxyHandshakeDone = true;

    // 11. Captions.
    if (Session.customCaption) {
        form.setWindowTitle(Session.ownCaption);
        HallLink::HallCaption = Session.hallCaption;
    } else {
        HallLink::HallCaption = QStringLiteral("Hallmere");
    }

    // 12. The entry request; the password is not needed after this.
    EntryRequest = BuildEntryRequest(Session);
    Wipe(Session.password);

    // 13. Connect.
    Transport::AttachSocket();
    OpenConnection();

    // 14. Show the table.
    form.show();
    Layout::SecondLayoutPass(form);

    // 15 and 16.
    TableState.Seats[0].seatBit = 0;
    HallLink::InstallHook();
    return true;
}

}  // namespace Startup
