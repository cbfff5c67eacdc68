#pragma once
// A play or pass the server announces, on the table: the bid controls cleared, a lost request
// of the user's settled, the trick cleared when a new one starts, the pass bubble, the user's
// turn opened when it is the user's, the cards shown, and the turn clock started for whoever
// is next.
class MainForm;
struct PlayMessage;

namespace TablePlay {

void ShowPlayMessage(MainForm& form, const PlayMessage& play);

}  // namespace TablePlay
