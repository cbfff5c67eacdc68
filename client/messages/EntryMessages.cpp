#include "messages/EntryMessages.h"

#include <QLoggingCategory>

#include "leaving/Shutdown.h"
#include "play/Clocks.h"
#include "session/Connection.h"
#include "session/HallLink.h"
#include "session/Platform.h"
#include "session/Reconnect.h"
#include "session/SiteConfig.h"
#include "session/TableWindow.h"
#include "table/TableState.h"
#include "ui/MainForm.h"
#include "wire/Fields.h"
#include "wire/Text.h"

namespace {
Q_LOGGING_CATEGORY(EntryLog, "quellor.entry")
}  // namespace

namespace EntryMessages {

void HandleEntryResult(const Packet& packet)
{
    Clocks::StartKeepAlive();
    Connection::Link.AwaitingEntryReply = false;

    const uint8_t outcome = packet[Field::EntryResult::Outcome];
    if (outcome == 1) {
        Connection::Link.EntryOk = true;
        HallLink::PostToHall(HallMessage::LoggedIn);
        TableState.Clock.TimeoutLimit = packet[Field::EntryResult::TimeoutLimit];
        SysmsgClear(0);
        SysmsgClear(1);
        SysmsgAdd(0, QStringLiteral("连接服务器成功！"));
        SysmsgAdd(1, QStringLiteral("欢迎进入") + SiteConfig::SiteName);
        TableState.Clock.TurnSeconds = TableState.Clock.ShortClock ? int16_t{1} : TableState.Clock.ClockSeconds;
        TableState.Clock.ClockValue = TableState.Clock.TurnSeconds;

        const QString address =
            Wire::SingleByteText(packet, Field::EntryResult::WebAddress, Field::EntryResult::WebAddressWidth);
        TableState.Table.WebPageAddress = address;
        if (!address.isEmpty())
            ShowTableWebPage(address);
        return;
    }

    HallLink::PostToHall(HallMessage::Connect);
    SysmsgClear(0);
    const QString refusal = outcome == 2 ? QStringLiteral("启动游戏失败，请重新在大厅就座后进入游戏！")
                                         : QStringLiteral("验证错误，请重新在大厅就座后进入游戏！");
    SysmsgAdd(0, refusal);
    // The program ends at once, before anyone could read the table; whoever started it still
    // learns why (a wrong password, most often).
    qCInfo(EntryLog).noquote() << "quellor: the server refused the entry:" << refusal;
    HallLink::ReturnToHall();
    Platform::EndProgram(1);
}

void HandleReconnectResult(const Packet& packet)
{
    // Only the answer to a reconnect request of this connection counts, and only once: a
    // result out of the blue, or a repeated one, changes nothing.
    if (!Reconnect::TakeResult())
        return;
    Connection::Link.AwaitingEntryReply = false;
    if (packet[Field::ReconnectResult::Outcome] == 1) {
        Connection::Link.EntryOk = true;
        Connection::Link.Reconnected = true;
        SysmsgClear(0);
        SysmsgClear(1);
        SysmsgAdd(0, QStringLiteral("正在重连服务器，请等待...！"));
        return;
    }
    // A refusal ends the reconnecting at once: no new connection and no packet while the box
    // waits for its OK.
    Shutdown::StopLink();
    Platform::ShowMessageBox(QStringLiteral("重连服务器失败，退出后请重新入座！"), SiteConfig::ProgramTitle);
    HallLink::ReturnToHall();
    Platform::EndProgram(1);
}

}  // namespace EntryMessages
