#pragma once
// What the user's clicks on the table's controls do. For now the toolbar's settings button,
// and the start button freed for a new login.
class MainForm;

namespace PlayerActions {

// The controls' clicks get their actions.
void ConnectPlayerActions(MainForm& form);

// A new login (the hall's message 22): the start button is free and shows its start
// picture, and no clock shows.
void FreeStartButton(MainForm& form);

}  // namespace PlayerActions
