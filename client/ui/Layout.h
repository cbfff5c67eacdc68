#pragma once
// The table's layout: design values in pixels of a 1024 x 768 table, multiplied by the screen
// scale and rounded once when a control gets its geometry. Positions are relative to the table
// picture Pic1; position 0 is the user at the bottom, 1 left, 2 top, 3 right.
#include <functional>
#include <QRect>
#include <QRectF>

#include "table/TableState.h"

class MainForm;
class QWidget;

namespace Layout {

// A place in design pixels.
struct DesignRect {
    double left = 0, top = 0, width = 0, height = 0;
};

// The design rectangle times the factor of each axis, before any rounding.
QRectF Scaled(const DesignRect& design, const LayoutScaleFactors& scale);
// The same, each of left, top, width and height rounded to the nearest pixel.
QRect ScaledPixels(const DesignRect& design, const LayoutScaleFactors& scale);
// Gives a control its scaled place.
void Place(QWidget* control, const DesignRect& design, const LayoutScaleFactors& scale);
// A design length along each axis at the table's current scale, rounded to a pixel.
int ScaledX(double design);
int ScaledY(double design);

// Picture table entries of the buttons (ToolbarButtonPictures and PlayButtonPictures of
// Pictures::Tables()); -1 for an index without a button.
// AnNiu(2) shows the start pair until the first game has been started, the continue pair after.
int AnNiuEntry(int index, bool highlighted, bool startButtonContinues);
int OperationEntry(int index, bool highlighted);

// The design values. Telling ones first; the rest follow them.
namespace Design {
inline constexpr double TableWidth = 1024, TableHeight = 768;
inline constexpr double TopBarHeight = 96, BottomBarHeight = 117;
inline constexpr double SmallBarWidth = 800;

inline constexpr DesignRect Tou[4] = {
    {10, 668, 85, 90}, {7, 15, 70, 62}, {350, 15, 70, 62}, {693, 15, 70, 62}};
inline constexpr DesignRect Nid[4] = {
    {181, 700, 140, 22}, {165, 15, 160, 22}, {509, 15, 160, 22}, {852, 15, 160, 22}};
inline constexpr DesignRect Cash[4] = {
    {181, 724, 140, 19}, {165, 40, 160, 22}, {509, 40, 160, 22}, {852, 40, 160, 22}};
inline constexpr DesignRect Level[4] = {
    {181, 744, 140, 20}, {165, 64, 160, 22}, {509, 64, 160, 22}, {852, 64, 160, 22}};
inline constexpr DesignRect OK[4] = {
    {460, 630, 70, 29}, {60, 280, 70, 29}, {460, 108, 70, 29}, {900, 280, 70, 29}};

// Toolbar: send beside the chat box; the others in two rows left of the web page's place.
inline constexpr DesignRect AnNiu[9] = {
    {573, 730, 48, 30},  // send
    {648, 699, 48, 30},  // chat history
    {705, 699, 55, 31},  // start / continue
    {762, 699, 55, 31},  // sound settings
    {819, 699, 55, 31},  // hide
    {876, 699, 55, 31},  // score board
    {762, 731, 55, 31},  // history
    {819, 731, 55, 31},  // rules
    {876, 731, 55, 31},  // exit
};
// Play buttons above the hand; sort, last trick and restore left of it.
inline constexpr DesignRect Operation[7] = {
    {400, 470, 66, 38}, {472, 470, 66, 38}, {544, 470, 66, 38}, {616, 470, 66, 38},
    {274, 554, 62, 25}, {274, 582, 62, 25}, {274, 610, 62, 25}};

inline constexpr DesignRect imgLocation = {632, 654, 394, 39};
inline constexpr DesignRect imgword1 = {640, 659, 57, 13};
inline constexpr DesignRect imgword2 = {640, 675, 57, 13};
inline constexpr DesignRect Location = {704, 660, 226, 26};
inline constexpr DesignRect Bird = {936, 680, 82, 80};
// The web page sits inside the Bird picture, 2 pixels in from its left and top.
inline constexpr double WebInset = 2;
inline constexpr DesignRect Time_Img = {920, 610, 81, 38};
// The clock number sits 48 right of and 5 below the clock picture's corner.
inline constexpr DesignRect Number = {968, 615, 30, 28};

// The user's hand: 14 cards from HandLeft, 0.22 card widths apart, on the base line.
inline constexpr double HandLeft = 346, BaseTop = HandBaseTop, CardWidth = 90, CardHeight = 120;
inline constexpr double HandStep = 0.22 * CardWidth;
// Cards played by the others: 80 x 108 around each position's play anchor (PlayAnchors).
inline constexpr double PlayedWidth = 80, PlayedHeight = 108;

// Fans of card backs of positions 1, 2, 3, at the size of a 13-card fan; they never share
// the table with the ready marks (those show between rounds only).
inline constexpr DesignRect shanImage[3] = {
    {8, 425, 204, 141}, {138, 102, 204, 141}, {812, 425, 204, 141}};
// Place badges: a player who has played out has no fan any more, so the badge takes its place.
inline constexpr DesignRect first[4] = {
    {540, 630, 70, 29}, {75, 481, 70, 29}, {205, 157, 70, 29}, {879, 481, 70, 29}};
// Pass bubbles where the position's played cards would be.
inline constexpr DesignRect Speak[4] = {
    {464, 420, 72, 44}, {172, 330, 72, 44}, {464, 208, 72, 44}, {782, 330, 72, 44}};
inline constexpr DesignRect btnJiaofen[4] = {
    {690, 477, 60, 24}, {172, 378, 60, 24}, {464, 256, 60, 24}, {782, 378, 60, 24}};

inline constexpr DesignRect Image1 = {144, 624, 30, 30};
inline constexpr DesignRect Label2 = {832, 110, 136, 22};
inline constexpr DesignRect lblJiValue = {968, 100, 48, 36};
inline constexpr DesignRect Label4 = {832, 136, 184, 22};
inline constexpr DesignRect Label3 = {832, 158, 184, 22};

// Message area, chat line and its caption, below the cards of a full hand.
inline constexpr DesignRect Sysmsg[2] = {{326, 686, 300, 21}, {326, 708, 300, 21}};
inline constexpr DesignRect Lbchat = {326, 736, 40, 24};
inline constexpr DesignRect Chat = {368, 736, 200, 24};

// Video: the own command bar stands beside the own portrait; each other position has its
// video panel between portrait and labels, its command bar and reopen button below it.
inline constexpr double VideoOffset = 76;  // from a portrait's left to its video panel's left
inline constexpr DesignRect PicLocalOwn = {99, 670, 16, 64};
inline constexpr double ImCmdWidth = 16, ImCmdHeight = 14, ImCmdStep = 16;
inline constexpr DesignRect Tiplbl = {0, 0, 28, 16};
}  // namespace Design

// Design places of the card pictures.
DesignRect HandCard(int k);
DesignRect PlayedCard(int position, int k);
// Design places of the video controls of position 1..3 (0 gives the own portrait's place).
DesignRect VideoPanel(int position);
DesignRect VideoFrame(int position);
DesignRect VideoBar(int position);
DesignRect VideoReopen(int position);

// Step 4 of start-up: at the small scale the background is stretched into Pic1, the message
// lists get 8-point type and the bars are shrunk; at both scales the bars are aligned to the
// top and bottom of Pic1.
void PrepareBackground(MainForm& form);
// The portraits, name, coin and level labels, toolbar buttons, per-position marks,
// quick-phrase buttons and video frames. Latches the start button.
void FirstLayoutPass(MainForm& form);
// The message lists, play buttons, card pictures, chat box, clock, web page and remaining
// marks; then the camera is started.
void SecondLayoutPass(MainForm& form);

// What the second pass runs last to start the camera; nothing until the video part sets it.
void SetStartCamera(std::function<void()> startCamera);

}  // namespace Layout
