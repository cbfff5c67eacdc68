#pragma once
// The hint button: it raises cards of the hand that make a play, one proposal per click. When
// the user leads, groups of the lowest cards in turn; when the user follows, every play that
// beats the one on the table, lowest first, bombs last; with nothing to propose it passes.
namespace Prompt {

// The hint button's action: the hint cue, every raised card lowered, then the leading or the
// following hint.
void HintAction();
// The next click of each hint starts again from the first proposal.
void RestartHints();

void LeadHint();
void FollowHint();

// The pass the hint sends when nothing beats the play on the table: the play buttons go, and
// the pass leaves unless this turn's play or pass has gone already; sending it ends the
// user's part of the turn.
void AutomaticPass();

}  // namespace Prompt
