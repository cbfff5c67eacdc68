#pragma once
// Cards on the table: the deal sliding into the user's hand with the fans of the others and
// the level captions, every other seat's play shown in front of it, and the card side of the
// display reset.
#include <array>
#include <vector>
#include <QPoint>
#include <QString>

#include "rules/CardTypes.h"
#include "table/ServerMessages.h"

class MainForm;
class PictureBox;

namespace CardDisplay {

// "3".."10", "J", "Q", "K", "A"; 15 and above (and anything below 0) give an empty text.
QString RankText(int rank);

// The card's picture in the control at the current scale; a corrupt card shows its back.
void ShowCardPicture(PictureBox* control, CardValue card);

// The card pictures of a screen position: cardImage0 for the user, cardImage1..3 for the
// others' plays.
std::array<PictureBox*, 14>& CardPictures(MainForm& form, int position);

// The fan of card backs of position 1..3 for so many cards; none for 0 cards.
void ShowFan(MainForm& form, int position, int count);

// Moves the picture from one point to the other in eleven steps 20 ms apart, the window
// handling its events in between; with the waits cut to nothing, in one step.
void SlideCard(PictureBox* card, QPoint from, QPoint to);

// The deal: the first-player marker, captions, level rank, turn time, card counts, the
// user's cards slid in and sorted, the fans.
void ShowDeal(MainForm& form, const DealMessage& deal);

// A play that carries cards: the play to beat (nothing once the play ends a trick), the play
// cue, and for another seat its cards in front of it, its fan or its place badge. For the
// user's own seat only cards still in the hand (a play the server made for the user) are
// taken from it.
void ShowPlay(MainForm& form, const PlayMessage& play);

// The badge of the next free place (first, second, third) for a position that has played out.
void ShowPlaceBadge(MainForm& form, int position);

// Played cards of the user (hand slots, in hand order) in front of the user, centred on the
// user's anchor, recorded as the user's row of TableCards.
void MoveOwnCardsToTable(MainForm& form, const std::vector<int>& handSlots);
// Those hand slots taken out of the hand; the later cards move up.
void RemoveFromHand(const std::vector<int>& handSlots);
// How far apart played cards stand, in card widths: wider on the small table.
double PlaySpacing();

// Hides the pictures of a position listed in a row of TableCards / PrevTableCards.
void HideListed(MainForm& form, int position, const std::array<int16_t, 28>& row);

// The card side of the display reset: hand and played pictures hidden, clock, badges, buttons
// and captions back to their rest, the table rows emptied.
void ResetCards(MainForm& form);

}  // namespace CardDisplay
