// The player block of a seat message and the text of a chat message, decoded from any 272
// bytes (shorter inputs are padded with zeros), with the text decoders they rest on. Whatever
// the bytes, no text is longer than the bytes it came from, the chat line is one a list can
// show, and the GBK codec gives back through the encoder what its decoder gave.
#include <algorithm>
#include <initializer_list>

#include "FuzzTarget.h"
#include "chat/ChatDisplay.h"
#include "messages/SeatMessages.h"
#include "wire/Fields.h"
#include "wire/Gbk.h"
#include "wire/Text.h"

namespace {

using FuzzSupport::FuzzCheck;

struct DecodedText {
    QString text;
    int bytes;  // what it was decoded from
};

void CheckLengths(std::initializer_list<DecodedText> texts)
{
    for (const DecodedText& t : texts)
        FuzzCheck(t.text.size() <= t.bytes, "a decoded text is no longer than its bytes");
}

// Every character the decoder gives is one GBK holds, which the encoder turns back into bytes
// that decode to it again, except the replacement of a byte sequence GBK does not define,
// which GBK cannot hold: the encoder writes it as '?'.
void CheckRoundTrip(const QString& decoded)
{
    QString expected = decoded;
    expected.replace(QChar(0xFFFD), QLatin1Char('?'));
    FuzzCheck(Gbk::Decode(Gbk::Encode(decoded)) == expected, "GBK decode, encode, decode gives the text again");
}

// A line a one-line list shows as it is: no control characters, no line or paragraph breaks,
// no characters that embed, override or isolate a writing direction.
bool OneLine(const QString& line)
{
    for (QChar c : line) {
        const QChar::Category category = c.category();
        if (category == QChar::Other_Control || category == QChar::Separator_Line
            || category == QChar::Separator_Paragraph)
            return false;
        switch (c.direction()) {
        case QChar::DirLRE: case QChar::DirLRO: case QChar::DirRLE: case QChar::DirRLO:
        case QChar::DirPDF: case QChar::DirLRI: case QChar::DirRLI: case QChar::DirFSI:
        case QChar::DirPDI:
            return false;
        default: break;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzSupport::EnsureApplication();
    Packet packet{};
    std::copy_n(data, std::min<size_t>(size, PacketSize), packet.begin());

    using namespace Field::SeatInfo;
    const PlayerRecord player = SeatMessages::DecodePlayerBlock(packet);
    FuzzCheck(!player.face.isEmpty(), "a player always has a face code");
    CheckLengths({{player.userKey, KeyWidth}, {player.nickname, NicknameWidth}, {player.face, FaceWidth},
                  {player.area, AreaWidth}, {player.levelName, LevelNameWidth}, {player.title, TitleWidth},
                  {player.voiceSet, VoiceSetWidth}, {player.voiceId, VoiceIdWidth}});
    const int portrait = SeatMessages::PortraitIndex(Wire::SingleByteText(packet, Face, FaceWidth));
    FuzzCheck(portrait >= 0 && portrait <= 19, "a portrait number is 0 to 19");

    const int chatBytes = Field::Chat::TextLast - Field::Chat::Text + 1;
    const QString chat = Chat::DecodeChatText(packet);
    CheckLengths({{chat, chatBytes},
                  {Wire::MixedText(packet, Field::Chat::Text, chatBytes, true), chatBytes},
                  {Wire::DoubleByteText(packet, Field::TableClosed::Notice, Field::TableClosed::NoticeWidth),
                   Field::TableClosed::NoticeWidth}});
    FuzzCheck(OneLine(Chat::ComposeChatLine(packet)), "a chat line is one line, in the reading order of its text");

    const QString decoded = Gbk::Decode(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    CheckLengths({{decoded, static_cast<int>(std::min<size_t>(size, INT32_MAX))}});
    CheckRoundTrip(decoded);
    CheckRoundTrip(chat);
    return 0;
}
