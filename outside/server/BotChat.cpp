#include "BotChat.h"

#include <QByteArray>
#include <QString>
#include <array>

#include "Messages.h"
#include "wire/Commands.h"
#include "wire/Fields.h"
#include "wire/Gbk.h"

namespace Server {

namespace {

// The character of the clients' recorded phrases (v<voice>a<number>.wav).
constexpr uint8_t PhraseSet = 'a';

}  // namespace

int SeatOfBit(int bit)
{
    switch (bit) {
    case 1: return 0;
    case 2: return 1;
    case 4: return 2;
    case 8: return 3;
    default: return -1;
    }
}

std::vector<int> ChatRecipients(int sender, uint8_t whisperBit)
{
    if (whisperBit == 0)
        return {0, 1, 2, 3};
    const int addressee = SeatOfBit(whisperBit);
    if (addressee < 0)
        return {};
    if (addressee == sender)
        return {sender};
    return {sender, addressee};
}

std::string ChatTextUtf8(const Packet& p)
{
    using namespace Field::Chat;
    const int n = Wire::FieldLength(p, Text, TextLast - Text + 1);
    const QByteArray bytes(reinterpret_cast<const char*>(p.data()) + Text, n);
    QString text = Gbk::Decode(bytes);
    // One log line per chat line, whatever the line holds.
    for (QChar& c : text)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            c = QLatin1Char(' ');
    return text.toStdString();
}

BotLine PickBotLine(ChatMoment moment, std::mt19937& rng)
{
    // The phrases 1..5 are the ones every voice has recorded.
    static const std::array<BotLine, 2> Greeting{{{"大家好！", 1}, {"合作愉快！", 4}}};
    static const std::array<BotLine, 2> PartnerBomb{{{"打得漂亮！", 3}, {"炸得好，搭档！", 0}}};
    static const std::array<BotLine, 2> OpponentBomb{{{"这么狠啊！", 0}, {"快一点吧！", 2}}};
    static const std::array<BotLine, 2> RoundWon{{{"合作愉快！", 4}, {"打得漂亮！", 3}}};
    static const std::array<BotLine, 2> RoundLost{{{"下一局一定赢回来！", 0}, {"运气不好，再来！", 0}}};
    const auto pick = [&rng](const auto& lines) {
        return lines[std::uniform_int_distribution<size_t>(0, lines.size() - 1)(rng)];
    };
    switch (moment) {
    case ChatMoment::Greeting: return pick(Greeting);
    case ChatMoment::PartnerBomb: return pick(PartnerBomb);
    case ChatMoment::OpponentBomb: return pick(OpponentBomb);
    case ChatMoment::RoundWon: return pick(RoundWon);
    case ChatMoment::RoundLost: return pick(RoundLost);
    }
    return Greeting[0];
}

Packet BotChatPacket(int seat, const PlayerProfile& bot, const BotLine& line)
{
    using namespace Field::Chat;
    Packet p = Wire::NewPacket(Command::Chat);
    p[Field::Seat] = SeatBit(seat);
    if (line.phrase > 0) {
        p[Voice] = 1;
        p[VoiceCode] = PhraseSet;
        p[VoiceNumber] = static_cast<uint8_t>(line.phrase);
    }
    Msg::WriteText(p, Text, TextLast - Text + 1, bot.nickname + ToGbk(std::string("说道： ") + line.text));
    return p;
}

}  // namespace Server
