#pragma once
// What the user does on the table with the mouse and the keys: raising cards, playing with the
// right button, the play buttons under the hand (Operation), the toolbar (AnNiu), and the keys
// Esc, F1 and Alt-C.
#include <functional>

class MainForm;

namespace PlayerActions {

// The controls' clicks and the table's keys get their actions.
void ConnectPlayerActions(MainForm& form);

// A card picture of the hand clicked: the left button raises or lowers it, the right button
// plays the raised cards in the user's turn.
void CardClicked(int imageIndex, bool rightButton);
// The table picture clicked.
void TableClicked(bool rightButton);
// Operation(0..6) and AnNiu(0..8).
void OperationClick(int index);
void AnNiuClick(int index);
// Table keys (Qt key codes). Pic2 only holds the background picture and never shows, so keys
// and clicks reach the table through Pic1 alone.
void KeyDown(int key);

// Where F1 was pressed: on the table picture or in the chat box.
enum class F1From { Table, ChatBox };

// The F1 state: the window goes down, the hall comes back, and every turn plays itself after a
// second until the table is restored. Pop-ups close: from the chat box every one is only
// hidden, from the table none is.
void F1Action(F1From from = F1From::Table);

// A new login (the hall's message 22): the start button is free and shows its start
// picture, and no clock shows.
void FreeStartButton(MainForm& form);

// What the start button does when the table has told the user to go: the table is emptied
// and the hall comes back. Set by leaving the table; nothing until then.
void SetLeaveTable(std::function<void()> leave);

// The ready request for the next game.
void SendReadyRequest();

}  // namespace PlayerActions
