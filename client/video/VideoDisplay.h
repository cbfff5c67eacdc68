#pragma once
// Drawing video on the table: a frame on a display when it is a picture within the limits, and
// the frame drawn around a shown video of a position (ImgKuang).
#include <QByteArray>
#include <QPixmap>
#include <QSize>
#include <QtGlobal>

class MainForm;
class QLabel;

namespace VideoDisplay {

// Largest frame drawn or saved: a BMP of a 1280 × 1024 picture, 32 bits a pixel.
constexpr qsizetype MaxFrameBytes = 1280 * 1024 * 4 + 1024;

// A frame comes from another player's machine: it counts only as a BMP within the limits.
// The decoded picture goes to `picture` when one is asked for.
bool ValidFrame(const QByteArray& frame, QPixmap* picture = nullptr);

// A frame is drawn on a display only when it is valid; else nothing changes.
void ShowFrame(QLabel* display, const QByteArray& frame);

// The frame drawn around a shown video, and showing it around a position's video.
QPixmap FramePicture(QSize size);
void ShowVideoFrame(MainForm& form, int position);

}  // namespace VideoDisplay
