#pragma once
// Showing chat lines from the server: the text decoded, private remarks composed, the sender's
// voice phrase played, banned words removed, the line added to the history window and put in
// the message area.
#include <QString>
#include <QStringList>

#include "wire/Packet.h"

class QListWidget;

namespace Chat {

// Width of a history line in display units, and how much of a line the message area shows.
constexpr int HistoryWidth = 44;
constexpr int MessageAreaCharacters = 45;

// The text of a chat packet: bytes 16 to 215, ended by a zero byte, a byte of 128 or more
// leading a two-byte character.
QString DecodeChatText(const Packet& packet);

// The line a chat packet shows: private remarks are composed here, and the user's own
// nickname reads as "你". Control characters become blanks and direction overrides are
// dropped, so that no line can break a list or turn the text around.
QString ComposeChatLine(const Packet& packet);

// A text fit for a one-line list entry (see ComposeChatLine).
QString DisplaySafe(const QString& text);

void ShowChatPacket(const Packet& packet);

// The display lines a text is broken into: a character counts 1 when its code fits in one
// byte and 2 otherwise; a line is emitted once the count reaches width. The first line keeps
// the character that reached it; every later line starts with a blank. The text ends at the
// first character of code 0. A surrogate pair is one character and never split.
QStringList WrapLines(const QString& text, int width);
// Appends those lines to the list.
void WrapIntoList(QListWidget* list, const QString& text, int width);

// The chat button blinks: eight picture changes from the main tick.
void StartBlink();

}  // namespace Chat
