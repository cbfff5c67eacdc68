#pragma once
// The picture set of the table, embedded in the program by numeric id (":/pictures/<id>.png")
// and, for the pictures that no id table names, by a short key (":/pictures/<key>.png").
// The id tables are filled once at start-up, after the screen scale is known; several of them
// differ between the large and the small layout.
#include <array>
#include <vector>
#include <QImage>
#include <QPixmap>
#include <QString>
#include <QStringList>

#include "session/Screen.h"

namespace Pictures {

// The id tables, filled once at start-up by BuildPictureTables and only read afterwards.
struct IdTables {
    // Resource id per picture code (suit index * 16 + rank); 0 for codes that name no card.
    std::array<int, 64> CardPictureIds{};
    // Toolbar `AnNiu`: pairs (normal, highlighted) for send, chat, start, continue, settings,
    // hide, record, history, rules, exit.
    std::array<int, 20> ToolbarButtonPictures{};
    // OK normal/highlighted, Cancel normal/highlighted, close, open, blue and green plates.
    std::array<int, 8> DialogButtonPictures{};
    // `Operation`: play, hint, pass, give up (normal, highlighted, disabled each), then sort,
    // last trick, restore (normal, highlighted each).
    std::array<int, 18> PlayButtonPictures{};
    // Card-back fans of the three other positions; entry i shows i + 1 cards.
    std::array<std::array<int, 15>, 3> FanPictures{};
    // Portraits: ten men, then ten women.
    std::array<int, 20> PortraitPictures{};
    // Ready marks by coin class (the fourth entry repeats the first).
    std::array<int, 4> ReadyMarkPictures{};
    // Place badges: first, second, third.
    std::array<int, 3> PlaceMarkPictures{};
    // Video command bar icons; the last entry names a picture that does not exist.
    std::array<int, 13> VideoCommandPictures{};
    // Zoom window pictures: small, medium, large, then the same for the small layout.
    std::array<int, 6> VideoWindowPictures{};
};

// Pass bubbles beside a position's played cards: the tail points left beside the left and top
// players and the user, right beside the right-hand player.
inline constexpr int PassBubbleLeft = 235;
inline constexpr int PassBubbleRight = 238;
constexpr int PassBubbleFor(int position)
{
    return position == 3 ? PassBubbleRight : PassBubbleLeft;
}

// The tables as built last; all zeros before the first build.
const IdTables& Tables();
// Fills every table for the given screen scale (small layout below 1.0).
void BuildPictureTables(const LayoutScaleFactors& scale);
// Every table back to zeros, as before start-up built them.
void ResetPictureTables();

// Keys of the pictures that carry no id.
namespace Key {
inline constexpr char Background[] = "background";    // green table felt, 1024 x 768
inline constexpr char Pic3[] = "pic3";                // alternative felt
inline constexpr char Pic4[] = "pic4";                // alternative felt
inline constexpr char Skin[] = "skin";                // window frame pieces, 46 x 220
inline constexpr char TopBar[] = "imgDinglan";        // 1024 x 96
inline constexpr char BottomBar[] = "imgDilan";       // 1024 x 117
inline constexpr char Clock[] = "Time_Img";           // 81 x 38, number at (48, 5)
inline constexpr char LocationPlate[] = "imgLocation";  // 394 x 39
inline constexpr char FirstPlayer[] = "Image1";       // first-player marker
inline constexpr char WebPlace[] = "Bird";            // 82 x 80
inline constexpr char ExitWindow[] = "frmExit";       // exit confirmation background
inline constexpr char NoticeWindow[] = "frmOtherExit";  // notice window background
inline constexpr char CloseNormal[] = "ImgClose1";    // frame close button: normal,
inline constexpr char CloseHover[] = "ImgClose2";     // under the mouse,
inline constexpr char ClosePressed[] = "ImgClose3";   // pressed
inline constexpr char MinNormal[] = "ImgMin1";
inline constexpr char MinHover[] = "ImgMin2";
inline constexpr char MinPressed[] = "ImgMin3";
}  // namespace Key

// The picture with this id, or a null pixmap when the set has none. `ratio` is the device
// pixel ratio of the screen it is shown on: above 1 the picture comes from the 2x drawing
// (with that device pixel ratio, so it covers the same logical size), at 1 from the 1x set.
QPixmap PictureById(int id, qreal ratio = 1);
// The picture with this key, or a null pixmap when the set has none or the key is malformed.
QPixmap PictureByKey(const QString& key, qreal ratio = 1);
// The 2x drawing of a picture (an id's number or a key) as it was drawn; null when none.
QImage SharpPicture(const QString& name);

// Everything embedded, for the contact sheet and the tests: ids ascending, keys sorted.
std::vector<int> EmbeddedPictureIds();
QStringList EmbeddedPictureKeys();

}  // namespace Pictures
