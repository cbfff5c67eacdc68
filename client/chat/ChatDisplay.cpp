#include "chat/ChatDisplay.h"

#include <QListWidget>

#include "chat/FiltChat.h"
#include "chat/Talk.h"
#include "session/TableWindow.h"
#include "session/Transport.h"
#include "sound/Mod_Sound.h"
#include "table/TableState.h"
#include "wire/Fields.h"
#include "wire/Gbk.h"

namespace Chat {

namespace {

bool IsDirectionControl(char16_t u)
{
    return u == 0x061C || u == 0x200E || u == 0x200F || (u >= 0x202A && u <= 0x202E)
           || (u >= 0x2066 && u <= 0x2069);
}

// The sender asked for one of its recorded phrases. Names come from the wire: one that would
// leave the voice folder names nothing and touches no sound; a phrase without a file stops the
// current sound and plays nothing, as any sound that cannot be played.
void PlaySenderPhrase(int position, const Packet& packet)
{
    const QString path = Mod_Sound::VoicePhraseFile(TableState.Players[static_cast<size_t>(position)],
                                                    static_cast<char>(packet[Field::Chat::VoiceCode]),
                                                    packet[Field::Chat::VoiceNumber]);
    if (!path.isEmpty())
        Mod_Sound::PlayVoicePhrase(path);
}

}  // namespace

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

QString DisplaySafe(const QString& text)
{
    QString safe;
    safe.reserve(text.size());
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (IsDirectionControl(u))
            continue;
        const bool control = u < 0x20 || (u >= 0x7F && u < 0xA0) || u == 0x2028 || u == 0x2029;
        safe += control ? QChar(QLatin1Char(' ')) : c;
    }
    return safe;
}

QString ComposeChatLine(const Packet& packet)
{
    const QString text = DecodeChatText(packet);
    const int senderBit = packet[Field::Seat] & 15;
    if (senderBit == 0)
        return DisplaySafe(text);
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
    return DisplaySafe(line);
}

void ShowChatPacket(const Packet& packet)
{
    QString line = ComposeChatLine(packet);
    const bool fromSeat = (packet[Field::Seat] & 15) != 0;
    const int sender = fromSeat ? PositionOfSeat(packet[Field::Seat]) : -1;
    const bool own = sender == 0;
    if (fromSeat) {
        if (packet[Field::Chat::Voice] == 1 && !own)
            PlaySenderPhrase(sender, packet);
        line = FiltChat::FilterChat(line);
    }
    TalkWindow::AddHistory(line);
    PostSystemLine(line.left(MessageAreaCharacters));
    if (fromSeat && !own)
        StartBlink();
}

QStringList WrapLines(const QString& text, int width)
{
    // Characters as whole code points, each with its display width.
    struct Character {
        QString text;
        int width;
    };
    std::vector<Character> chars;
    for (qsizetype k = 0; k < text.size(); ++k) {
        const QChar c = text[k];
        if (c.unicode() == 0)
            break;
        if (c.isHighSurrogate() && k + 1 < text.size() && text[k + 1].isLowSurrogate()) {
            chars.push_back({text.mid(k, 2), 2});
            ++k;
            continue;
        }
        chars.push_back({QString(c), c.unicode() < 256 ? 1 : 2});
    }
    const auto n = static_cast<qsizetype>(chars.size());
    QStringList lines;
    // 1-based: characters c..i of the walk, as the line rule is stated.
    const auto join = [&chars](qsizetype from, qsizetype to) {
        QString s;
        for (qsizetype k = from; k <= to; ++k)
            s += chars[static_cast<size_t>(k - 1)].text;
        return s;
    };
    int w = 0;
    qsizetype c = 1;
    for (qsizetype i = 1; i <= n; ++i) {
        if (i == n || w >= width) {
            if (c < 2) {
                lines << join(c, i);
                c = i + 1;
            } else if (i == n) {
                lines << QStringLiteral(" ") + join(c, n);
            } else {
                lines << QStringLiteral(" ") + join(c, i - 1);
                c = i;
            }
            w = 0;
        }
        w += chars[static_cast<size_t>(i - 1)].width;
    }
    return lines;
}

void WrapIntoList(QListWidget* list, const QString& text, int width)
{
    if (list == nullptr)
        return;
    for (const QString& line : WrapLines(text, width))
        list->addItem(line);
}

void StartBlink()
{
    TableState.Clock.BlinkCount = 8;
    Transport::StartTask(Transport::BlinkTask);
}

}  // namespace Chat
