#pragma once
// The user's cards in hand: raising and lowering them, and playing the raised ones.
#include <vector>

#include "rules/CardTypes.h"

class MainForm;

namespace PlayCards {

// Whether the card of hand slot i is raised (its picture above the hand's base line).
bool IsRaised(const MainForm& form, int slot);
// Raises the card of hand slot i by a fifth of its height; lowers it back to the base line.
void Raise(MainForm& form, int slot);
void Lower(MainForm& form, int slot);
// Every raised card of the hand back to the base line.
void LowerRaisedCards();

// The raised cards, collected in hand order, are checked against the rules and the play to
// beat. A refused selection shows the illegal-play notice and stays raised. An accepted one
// closes the turn's buttons and clock and, while a play may still be sent in this turn, goes
// to the server and moves from the hand to the table. Nothing raised: nothing happens.
void PlaySelectedCards();

// The cards of the server's play message for the user's own seat (none for a pass), before it
// is shown. When they are not the play the user sent (the request was lost with a broken link,
// and the server played or passed for the user on time-out), the cards of the lost request
// come back into the hand, so that the hand is the server's again; the server's own choice
// then leaves the hand as it is shown.
void SettleSentPlay(MainForm& form, const std::vector<CardValue>& played);

// The pass of this turn, unless its play or pass has gone already (one of them per turn, so
// that the clock running out afterwards sends nothing more). True when it went.
bool SendPass();

}  // namespace PlayCards
