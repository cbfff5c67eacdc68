#pragma once
// Showing chat lines from the server and the rule by which a line enters the message area.
#include <QString>

#include "wire/Packet.h"

namespace Chat {

// The text of a chat packet: bytes 16 to 215, ended by a zero byte, a byte of 128 or more
// leading a two-byte character.
QString DecodeChatText(const Packet& packet);

// The line a chat packet shows: private remarks are composed here, and the user's own
// nickname reads as "你".
QString ComposeChatLine(const Packet& packet);

void ShowChatPacket(const Packet& packet);

// The newest line always ends up as the lower of the two once both are in use.
void PostSystemLine(const QString& text);

}  // namespace Chat
