#pragma once
// What the player must reach during a round — the hand (with the room its raised cards take)
// and the play buttons — and the placing of other windows clear of it.
#include <QPoint>
#include <QRect>
#include <vector>

class MainForm;

namespace PlayArea {

// The hand and the play buttons, in screen coordinates.
std::vector<QRect> Rects(const MainForm& form);

// Where a window at this place (screen coordinates, its size kept) covers none of them: the
// place itself when it already does, else the nearest such place inside the table window. When
// the table has no such place the window stays where it is.
QPoint PlaceClear(const MainForm& form, const QRect& window);

}  // namespace PlayArea
