#pragma once
// The zoom windows of the video chat: the own camera (frm_Local) and the positions
// (frm_Remote1..3) enlarged in a movable window of three sizes.
#include <array>
#include <QByteArray>
#include <QPoint>
#include <QWidget>

class PictureBox;

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
    // Closed by the table (minimised): unloaded like its close button does.
    void closeEvent(QCloseEvent* event) override;
};

namespace ZoomWindows {

frmZoom* Zoom(int zoom);  // nullptr while not loaded
bool ZoomShowing(int zoom);
void ToggleZoom(int zoom);
// Button 0 closes, 1 enlarges, 2 shrinks.
void ZoomButton(int zoom, int button);
void HideZoom(int zoom);
void UnloadZoom(int zoom);
void ShowOnZoom(int zoom, const QByteArray& frame);
// The first frame drawn shortly after a window opens or changes size.
void TimerZoomTick();
bool TimerZoomPending();
void Reset();

}  // namespace ZoomWindows
