#include "chat/ChatDisplay.h"

#include "protocol/TableState.h"
#include "session/TableWindow.h"
#include "wire/Fields.h"
#include "wire/Gbk.h"

namespace Chat {

QString DecodeChatText(const Packet& packet)
{
    QByteArray bytes;
    for (int i = Field::Chat::Text; i <= Field::Chat::TextLast; ++i) {
        const uint8_t b = packet[static_cast<size_t>(i)];
        if (b == 0)
            break;
        bytes.append(static_cast<char>(b));
        if (b >= 128 && i < Field::Chat::TextLast) {
            // The trail byte belongs to the character even when it is the last text byte.
            bytes.append(static_cast<char>(packet[static_cast<size_t>(++i)]));
        }
    }
    return Gbk::Decode(bytes);
}

QString ComposeChatLine(const Packet& packet)
{
    const QString text = DecodeChatText(packet);
    const int senderBit = packet[Field::Seat] & 15;
    if (senderBit == 0)
        return text;
    const int e = PositionOfSeat(senderBit);
    const QString& ownName = TableState.Players[0].nickname;
    QString line;
    if (packet[Field::Chat::Whisper] != 0) {
        const int o = PositionOfSeat(packet[Field::Chat::Whisper]);
        line = TableState.Players[static_cast<size_t>(e)].nickname + QStringLiteral("对")
               + TableState.Players[static_cast<size_t>(o)].nickname + QStringLiteral("说道： ") + text;
        if ((e == 0 || o == 0) && !ownName.isEmpty())
            line.replace(ownName, QStringLiteral("你"));
    } else {
        line = text;
        if (e == 0 && !ownName.isEmpty())
            line.replace(ownName, QStringLiteral("你"));
    }
    return line;
}

void ShowChatPacket(const Packet& packet)
{
    PostSystemLine(ComposeChatLine(packet).left(45));
}

void PostSystemLine(const QString& text)
{
    if (SysmsgText(1).isEmpty()) {
        if (SysmsgText(0).isEmpty()) {
            SysmsgClear(0);
            SysmsgAdd(0, text);
        } else {
            SysmsgClear(1);
            SysmsgAdd(1, text);
        }
        return;
    }
    const QString lower = SysmsgFirstLine(1);
    SysmsgClear(0);
    SysmsgAdd(0, lower);
    SysmsgClear(1);
    SysmsgAdd(1, text);
}

}  // namespace Chat
