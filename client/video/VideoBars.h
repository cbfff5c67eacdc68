#pragma once
// The command bars of the video chat: the own bar (album, zoom, photo, music box) and the bars
// of positions 1..3 (close, zoom, photo), the reopen button of a closed video, the pictures
// and tips under the pointer, and the player card over a position's display.

class MainForm;

namespace VideoBars {

// Button k of ImCmd (bar k / 4, button k % 4), a reopen button ImgShow(p), the pointer over a
// button and leaving it.
void CommandClick(int k);
void ReopenClick(int position);
void CommandHover(int k);
void CommandLeft(int k);
// The pointer over the display of a position: the player card.
void DisplayHover(int position);

// Hooks the table's video controls.
void ConnectWindow(MainForm& form);
void Reset();

}  // namespace VideoBars
