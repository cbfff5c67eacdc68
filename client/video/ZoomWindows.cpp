#include "video/ZoomWindows.h"

#include <QCloseEvent>
#include <QPointer>
#include <QScreen>
#include <QTimer>

#include <algorithm>
#include <memory>

#include "resources/Pictures.h"
#include "session/Screen.h"
#include "table/TableState.h"
#include "ui/MainForm.h"
#include "ui/PictureBox.h"
#include "ui/PictureLoad.h"
#include "ui/PlayArea.h"
#include "ui/WindowDrag.h"
#include "video/VideoDisplay.h"
#include "video/VideoLinks.h"

using VideoLinks::Video;

namespace {

constexpr double Twip = 1.0 / 15.0;  // the sizes below are in twips

struct ZoomSize {
    QSizeF window, display;
    QPointF displayAt;
};
constexpr ZoomSize ZoomSizes[3] = {
    {{2625, 2070}, {2400, 1800}, {110, 230}},
    {{4140, 3225}, {3840, 2880}, {150, 240}},
    {{6510, 5115}, {6000, 4500}, {240, 480}},
};

// Owned by the table window as well: a window that goes with it leaves a null here.
std::array<QPointer<frmZoom>, 4> g_zoom{};
int g_zoomTarget = 0;
std::unique_ptr<QTimer> g_timerZoom;

const LayoutScaleFactors& Scale()
{
    return TableState.Display.LayoutScale;
}

bool SmallLayout()
{
    return Screen::IsSmallLayout(Scale());
}

QTimer& TimerZoom()
{
    if (!g_timerZoom) {
        g_timerZoom = std::make_unique<QTimer>();
        g_timerZoom->setSingleShot(true);
        g_timerZoom->setInterval(100);
        QObject::connect(g_timerZoom.get(), &QTimer::timeout, [] { ZoomWindows::TimerZoomTick(); });
    }
    return *g_timerZoom;
}

QRect TableFrame()
{
    MainForm* form = TheMainForm();
    return form != nullptr ? form->frameGeometry() : QRect(0, 0, 1024, 768);
}

void Centre(QWidget& window)
{
    const QRect table = TableFrame();
    window.move(table.left() + (table.width() - window.width()) / 2, table.top() + (table.height() - window.height()) / 2);
}

void MoveBy(QWidget& window, double right, double down)
{
    const QRect table = TableFrame();
    window.move(window.x() + qRound(right * table.width()), window.y() + qRound(down * table.height()));
}

}  // namespace

frmZoom::frmZoom(int zoomNumber, QWidget* parent) : QWidget(parent), zoom(zoomNumber)
{
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    setObjectName(zoomNumber == 0 ? QStringLiteral("frm_Local") : QStringLiteral("frm_Remote%1").arg(zoomNumber));
    Back = new PictureBox(this);
    Back->setStretch(true);
    vshow1 = new PictureBox(this);
    vshow1->setStretch(true);
    vshow1->setStyleSheet(QStringLiteral("background: black;"));
    for (int i = 0; i < 3; ++i) {
        ImgCmd[static_cast<size_t>(i)] = new PictureBox(this);
        ImgCmd[static_cast<size_t>(i)]->setCursor(Qt::PointingHandCursor);
        QObject::connect(ImgCmd[static_cast<size_t>(i)], &PictureBox::clicked, this,
                         [this, i](Qt::MouseButton) { ZoomWindows::ZoomButton(zoom, i); });
    }
    // The pictures cover the whole window and would take every press themselves.
    new WindowDrag(this, {Back, vshow1});
    Apply(Size::Medium);
}

frmZoom::Size frmZoom::CurrentSize() const
{
    const double w = width() / Scale().h / Twip;
    if (w < (2625 + 4140) / 2.0)
        return Size::Small;
    return w < (4140 + 6510) / 2.0 ? Size::Medium : Size::Large;
}

void frmZoom::Apply(Size size)
{
    const ZoomSize& z = ZoomSizes[static_cast<int>(size)];
    const double h = Scale().h * Twip, v = Scale().v * Twip;
    resize(qRound(z.window.width() * h), qRound(z.window.height() * v));
    Back->setGeometry(rect());
    LoadPictureById(Back, Pictures::Tables().VideoWindowPictures[static_cast<size_t>((SmallLayout() ? 3 : 0) + static_cast<int>(size))]);
    vshow1->setGeometry(qRound(z.displayAt.x() * h), qRound(z.displayAt.y() * v), qRound(z.display.width() * h),
                        qRound(z.display.height() * v));
    const int bw = qRound(225 * h), bh = qRound(240 * v);
    for (int i = 0; i < 3; ++i)
        ImgCmd[static_cast<size_t>(i)]->setGeometry(
            width() - vshow1->x() - (i + 1) * bw - i * bw / 2, 0, bw, bh);
    vshow1->raise();
    for (PictureBox* b : ImgCmd)
        b->raise();
}

void frmZoom::closeEvent(QCloseEvent* event)
{
    QWidget::closeEvent(event);
    ZoomWindows::UnloadZoom(zoom);
}

namespace ZoomWindows {

frmZoom* Zoom(int zoom)
{
    return zoom >= 0 && zoom <= 3 ? g_zoom[static_cast<size_t>(zoom)].data() : nullptr;
}

bool ZoomShowing(int zoom)
{
    const frmZoom* window = Zoom(zoom);
    return window != nullptr && window->isVisible();
}

void ToggleZoom(int zoom)
{
    if (zoom < 0 || zoom > 3)
        return;
    if (ZoomShowing(zoom)) {
        UnloadZoom(zoom);
        return;
    }
    QPointer<frmZoom>& window = g_zoom[static_cast<size_t>(zoom)];
    if (window.isNull()) {
        window = new frmZoom(zoom, TheMainForm());
        if (MainForm* form = TheMainForm())
            form->ZoomWindows[static_cast<size_t>(zoom)] = window;
    }
    window->show();
    window->raise();
    Centre(*window);
    switch (zoom) {
    case 0: MoveBy(*window, -0.2, 0.2); break;
    case 1: MoveBy(*window, -0.25, -0.2); break;
    case 2: MoveBy(*window, 0, -0.2); break;
    default: MoveBy(*window, 0.25, -0.2); break;
    }
    if (const MainForm* form = TheMainForm())
        window->move(PlayArea::PlaceClear(*form, window->frameGeometry()));
    // A viewer of a large window wants every frame of that player.
    if (zoom > 0)
        VideoLinks::WantEveryFrame(zoom, true);
    g_zoomTarget = zoom;
    TimerZoom().start();
}

void ZoomButton(int zoom, int button)
{
    frmZoom* window = Zoom(zoom);
    if (window == nullptr)
        return;
    if (button == 0) {
        UnloadZoom(zoom);
        return;
    }
    const frmZoom::Size now = window->CurrentSize();
    frmZoom::Size next = now;
    if (button == 1 && now != frmZoom::Size::Large)
        next = now == frmZoom::Size::Small ? frmZoom::Size::Medium : frmZoom::Size::Large;
    if (button == 2 && now != frmZoom::Size::Small)
        next = now == frmZoom::Size::Large ? frmZoom::Size::Medium : frmZoom::Size::Small;
    if (next == now)
        return;
    // The window changes size where the player has it: its top right corner, where the buttons
    // are, stays put, so the next press finds them under the pointer; it is kept on the screen.
    const QRect before = window->frameGeometry();
    window->Apply(next);
    QRect after(QPoint(before.right() + 1 - window->frameGeometry().width(), before.top()), window->frameGeometry().size());
    if (const QScreen* screen = window->screen()) {
        const QRect free = screen->availableGeometry();
        after.moveRight(std::min(after.right(), free.right()));
        after.moveLeft(std::max(after.left(), free.left()));
        after.moveBottom(std::min(after.bottom(), free.bottom()));
        after.moveTop(std::max(after.top(), free.top()));
    }
    window->move(after.topLeft());
    g_zoomTarget = zoom;
    TimerZoom().start();
}

void HideZoom(int zoom)
{
    if (frmZoom* window = Zoom(zoom))
        window->hide();
    if (zoom > 0)
        VideoLinks::WantEveryFrame(zoom, false);
}

void UnloadZoom(int zoom)
{
    frmZoom* window = Zoom(zoom);
    if (window == nullptr)
        return;
    g_zoom[static_cast<size_t>(zoom)] = nullptr;
    if (MainForm* form = TheMainForm())
        form->ZoomWindows[static_cast<size_t>(zoom)] = nullptr;
    window->hide();
    window->deleteLater();
    if (zoom > 0)
        VideoLinks::WantEveryFrame(zoom, false);
}

void ShowOnZoom(int zoom, const QByteArray& frame)
{
    if (!ZoomShowing(zoom))
        return;
    frmZoom* window = Zoom(zoom);
    VideoDisplay::ShowFrame(window->vshow1, frame);
    window->vshow1->show();
    window->vshow1->raise();
}

void TimerZoomTick()
{
    TimerZoom().stop();
    if (frmZoom* window = Zoom(g_zoomTarget))
        VideoDisplay::ShowFrame(window->vshow1, Video.LastFrame[static_cast<size_t>(g_zoomTarget)]);
}

bool TimerZoomPending()
{
    return g_timerZoom && g_timerZoom->isActive();
}

void Reset()
{
    for (int zoom = 0; zoom < 4; ++zoom)
        if (frmZoom* window = g_zoom[static_cast<size_t>(zoom)].data()) {
            g_zoom[static_cast<size_t>(zoom)] = nullptr;
            delete window;
        }
    if (g_timerZoom)
        g_timerZoom->stop();
    g_zoomTarget = 0;
}

}  // namespace ZoomWindows
