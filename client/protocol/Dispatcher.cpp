#include "protocol/Dispatcher.h"

#include "chat/ChatDisplay.h"
#include "protocol/TableState.h"
#include "session/Gbk.h"
#include "session/HallLink.h"
#include "session/Platform.h"
#include "session/Transport.h"
#include "ui/MainForm.h"
#include "ui/SiteConfig.h"

namespace Dispatcher {

void Dispatch(const Packet& packet)
{
    const uint8_t command = packet[Wire::CommandByte];
    if (command != 29) {
        Transport::SessionCode[0] = packet[260];
        Transport::SessionCode[1] = packet[261];
    }
    if (Transport::LogEnabled)
        Transport::WriteLogLine(QStringLiteral("接收指令："), packet);

    switch (command) {
    case 18:
        HandleEntryResult(packet);
        break;
    case 19:
        Chat::ShowChatPacket(packet);
        break;
    case 29:
        HandleReconnectResult(packet);
        break;
    default:
        break;
    }
}

void HandleEntryResult(const Packet& packet)
{
    if (MainForm* form = TheMainForm())
        form->TimerKeepAlive->start();
    TableState.AwaitingEntryReply = false;

    const uint8_t outcome = packet[15];
    if (outcome == 1) {
        TableState.EntryOk = true;
        HallLink::PostToHall(HallMessage::LoggedIn);
        TableState.TimeoutLimit = packet[9];
        SysmsgClear(0);
        SysmsgClear(1);
        SysmsgAdd(0, QStringLiteral("连接服务器成功！"));
        SysmsgAdd(1, QStringLiteral("欢迎进入") + SiteConfig::SiteName);
        TableState.TurnSeconds = TableState.ShortClock ? int16_t{1} : TableState.ClockSeconds;
        TableState.ClockValue = TableState.TurnSeconds;

        const int length = Wire::FieldLength(packet, 16, 100);
        QString address;
        for (int i = 0; i < length; ++i)
            address += Gbk::DecodeCode(packet[static_cast<size_t>(16 + i)]);
        TableState.WebPageAddress = address;
        if (!address.isEmpty())
            ShowTableWebPage(address);
        return;
    }

    HallLink::PostToHall(HallMessage::Connect);
    SysmsgClear(0);
    SysmsgAdd(0, outcome == 2 ? QStringLiteral("启动游戏失败，请重新在大厅就座后进入游戏！")
                              : QStringLiteral("验证错误，请重新在大厅就座后进入游戏！"));
    HallLink::ReturnToHall();
    Platform::EndProgram(1);
}

void HandleReconnectResult(const Packet& packet)
{
    if (packet[15] == 1) {
        TableState.EntryOk = true;
        TableState.Reconnected = true;
        SysmsgClear(0);
        SysmsgClear(1);
        SysmsgAdd(0, QStringLiteral("正在重连服务器，请等待...！"));
        return;
    }
    Platform::ShowMessageBox(QStringLiteral("重连服务器失败，退出后请重新入座！"), SiteConfig::ProgramTitle);
    HallLink::ReturnToHall();
    Platform::EndProgram(1);
}

}  // namespace Dispatcher
