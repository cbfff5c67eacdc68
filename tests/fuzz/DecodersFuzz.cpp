// The player block of a seat message and the text of a chat message, decoded from any 272
// bytes (shorter inputs are padded with zeros), with the text decoders they rest on.
#include <algorithm>

#include "FuzzTarget.h"
#include "chat/ChatDisplay.h"
#include "messages/SeatMessages.h"
#include "wire/Fields.h"
#include "wire/Gbk.h"
#include "wire/Text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzSupport::EnsureApplication();
    Packet packet{};
    std::copy_n(data, std::min<size_t>(size, PacketSize), packet.begin());

    SeatMessages::DecodePlayerBlock(packet);
    SeatMessages::PortraitIndex(Wire::SingleByteText(packet, Field::SeatInfo::Face, Field::SeatInfo::FaceWidth));
    Chat::DecodeChatText(packet);
    Chat::ComposeChatLine(packet);
    Wire::MixedText(packet, Field::Chat::Text, Field::Chat::TextLast - Field::Chat::Text + 1, true);
    Wire::DoubleByteText(packet, Field::TableClosed::Notice, Field::TableClosed::NoticeWidth);
    Gbk::Decode(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    return 0;
}
