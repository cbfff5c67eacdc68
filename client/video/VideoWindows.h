#pragma once
// What the user sees of the video chat: the own camera over the own portrait, the displays
// and command bars of the other positions, the zoom windows in three sizes, photos and the
// album. Frame routing is VideoLinks'.
#include <array>
#include <functional>
#include <QByteArray>
#include <QDateTime>
#include <QPixmap>
#include <QString>
#include <QWidget>

class MainForm;
class PictureBox;
class QLabel;

// A zoom window: zoom number 0 the own camera (frm_Local), 1..3 the positions (frm_Remote1..3).
class frmZoom : public QWidget {
public:
    frmZoom(int zoom, QWidget* parent);

    enum class Size { Small, Medium, Large };
    int zoom = 0;
    PictureBox* Back = nullptr;
    PictureBox* vshow1 = nullptr;
    std::array<PictureBox*, 3> ImgCmd{};  // close, enlarge, shrink

    // The size read from the window's width, as the buttons do.
    Size CurrentSize() const;
    void Apply(Size size);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    // Closed by the table (minimised): unloaded like its close button does.
    void closeEvent(QCloseEvent* event) override;

private:
    QPoint m_dragFrom;
    bool m_dragging = false;
};

namespace VideoWindows {

// Opens the camera over the own portrait; without one the portrait stays and a line says so.
void StartCamera();

// Largest frame drawn or saved: a BMP of a 1280 × 1024 picture, 32 bits a pixel.
constexpr qsizetype MaxFrameBytes = 1280 * 1024 * 4 + 1024;
// A frame is drawn on a display only when it is a BMP within the limits; else nothing changes.
void ShowFrame(QLabel* display, const QByteArray& frame);

// The frame drawn around a shown video (ImgKuang), and showing it around a position's video.
QPixmap FramePicture(QSize size);
void ShowVideoFrame(MainForm& form, int position);

// Zoom windows.
frmZoom* Zoom(int zoom);  // nullptr while not loaded
bool ZoomShowing(int zoom);
void ToggleZoom(int zoom);
void ZoomButton(int zoom, int button);
void HideZoom(int zoom);
void UnloadZoom(int zoom);
void ShowOnZoom(int zoom, const QByteArray& frame);
void TimerZoomTick();
bool TimerZoomPending();

// The command bars: button k of ImCmd, a reopen button ImgShow(p), the pointer over a button
// or over a bar.
void CommandClick(int k);
void ReopenClick(int position);
void CommandHover(int k);
void BarHover();
// The pointer over the display of a position: the player card.
void DisplayHover(int position);

// Photos: the album folder beside the program, a file named by the moment.
QString AlbumFolder();
QString PhotoFileName(const QDateTime& at);
// The moment a photo is taken at; tests set it (nothing: the real clock).
void SetPhotoClock(std::function<QDateTime()> clock);
// Saves the latest frame of k (0 own, 1..3 positions); false when there was no well-formed
// frame or the file could not be written (the message line says which).
bool TakePhoto(int k);
void OpenAlbum();

// Hooks the table's video controls.
void ConnectWindow(MainForm& form);
void Reset();

}  // namespace VideoWindows
