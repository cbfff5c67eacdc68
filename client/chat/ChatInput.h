#pragma once
// The chat box: a line typed and sent with Enter (at most one line per 800 ms) or with the send
// button, private remarks started by a click on another player's portrait, and the keys the
// box handles itself. A line is never shown when it is sent; it comes back from the server.
#include <cstdint>
#include <QString>

class MainForm;

struct ChatInputRecord {
    bool ChatAllowed = true;       // false during the 800 ms after a send by Enter
    QString WhisperPrefix;         // "你对" + nickname + "说 ：" while a remark is addressed
    uint8_t WhisperSeatBit = 0;    // wire seat bit of the addressed player
    QString TextBeforeBackspace;
    bool PrefixErasePending = false;
};

inline ChatInputRecord ChatInputState;

namespace ChatInput {

inline const QString TooFast = QStringLiteral("（发送消息太快！）");

// The box's keys and text changes, the portraits, the send button and TimerChat get their
// actions.
void Connect(MainForm& form);

// A key pressed in the chat box (Qt key code); true when the box must not take it as well.
bool KeyPress(int key);
// The box's text changed: a pending Backspace in the prefix takes the whole prefix away.
void TextChanged();
// A portrait clicked: a private remark to the player at that position (1..3).
void PortraitClick(int position);
// The send button AnNiu(0).
void SendButton();
// TimerChat's tick: the lock is over.
void TimerChatTick();

// Sends a message as the user's chat line: to the addressed player when addressed (the message
// as it stands), otherwise to everyone, opened by the user's nickname and "说道： ".
void SendMessage(const QString& message, bool addressed);

// Whether the chat box holds the prefix of an addressed remark.
bool Addressed(const QString& boxText);

// Back to the start: nothing addressed, the lock open.
void Reset();

}  // namespace ChatInput
