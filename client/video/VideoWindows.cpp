#include "video/VideoWindows.h"

#include <QCloseEvent>
#include <QDir>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QSaveFile>
#include <QTimer>

#include <memory>

#include "resources/Pictures.h"
#include "session/Platform.h"
#include "session/Screen.h"
#include "session/TableWindow.h"
#include "sound/Mod_Sound.h"
#include "table/TableState.h"
#include "ui/InfoWindows.h"
#include "ui/MainForm.h"
#include "ui/PictureBox.h"
#include "ui/PictureLoad.h"
#include "video/VCap.h"
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
std::array<bool, 16> g_highlighted{};
std::function<QDateTime()> g_photoClock;

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
        QObject::connect(g_timerZoom.get(), &QTimer::timeout, [] { VideoWindows::TimerZoomTick(); });
    }
    return *g_timerZoom;
}

// Normal and pointer-over pictures of the bar buttons (entries of VideoCommandPictures).
int ButtonPicture(int k, bool over)
{
    static constexpr int Own[4][2] = {{10, 11}, {1, 5}, {2, 6}, {3, 7}};
    static constexpr int Remote[4][2] = {{0, 4}, {1, 5}, {2, 6}, {8, 9}};
    const int b = k % 4;
    const int entry = k < 4 ? Own[b][over ? 1 : 0] : Remote[b][over ? 1 : 0];
    return Pictures::Tables().VideoCommandPictures[static_cast<size_t>(entry)];
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

bool ValidFrame(const QByteArray& frame, QPixmap* picture = nullptr)
{
    if (frame.size() < 54 || frame.size() > VideoWindows::MaxFrameBytes || !frame.startsWith("BM"))
        return false;
    QPixmap decoded;
    if (!decoded.loadFromData(frame, "BMP") || decoded.width() > 1280 || decoded.height() > 1024)
        return false;
    if (picture != nullptr)
        *picture = decoded;
    return true;
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
                         [this, i](Qt::MouseButton) { VideoWindows::ZoomButton(zoom, i); });
    }
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

void frmZoom::mousePressEvent(QMouseEvent* event)
{
    // A press anywhere moves the window, as its caption would.
    if (event->button() == Qt::LeftButton) {
        m_dragging = true;
        m_dragFrom = event->globalPosition().toPoint() - frameGeometry().topLeft();
    }
}

void frmZoom::mouseMoveEvent(QMouseEvent* event)
{
    if (m_dragging && (event->buttons() & Qt::LeftButton))
        move(event->globalPosition().toPoint() - m_dragFrom);
    else
        m_dragging = false;
}

void frmZoom::closeEvent(QCloseEvent* event)
{
    QWidget::closeEvent(event);
    VideoWindows::UnloadZoom(zoom);
}

namespace VideoWindows {

void StartCamera()
{
    MainForm* form = TheMainForm();
    VCap& camera = VCap1();
    camera.OpenDevice();
    camera.CaptureMode = 2;
    if (form != nullptr) {
        form->vcap1->hide();
        camera.SetView(form->vcap1);
    }
    if (camera.StartCapture() == 0) {
        Video.CameraOn = true;
        if (form != nullptr) {
            form->PicLocal[0]->show();
            form->PicLocal[0]->raise();
            form->vcap1->show();
            form->vcap1->raise();
        }
        return;
    }
    Video.CameraOn = false;
    PostSystemLine(QStringLiteral("您没有视频设备或您的视频源正在使用。"));
}

void ShowFrame(QLabel* display, const QByteArray& frame)
{
    QPixmap picture;
    if (display == nullptr || !ValidFrame(frame, &picture))
        return;
    display->setScaledContents(true);
    display->setPixmap(picture);
}

void ShowVideoFrame(MainForm& form, int position)
{
    PictureBox* frame = form.ImgKuang[static_cast<size_t>(position)];
    // Drawn at the size the layout gave, which the scale decides.
    if (frame->pixmap().size() != frame->size())
        frame->setPicture(0, FramePicture(frame->size()));
    frame->show();
}

QPixmap FramePicture(QSize size)
{
    QPixmap pixmap(size.expandedTo({4, 4}));
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0xe0, 0xb0, 0x40), 2));
    p.drawRoundedRect(QRectF(1, 1, pixmap.width() - 2, pixmap.height() - 2), 3, 3);
    return pixmap;
}

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
    window->Apply(next);
    const QRect table = TableFrame();
    if (next == frmZoom::Size::Large) {
        // Near an edge of the table: the own window at the lower left, the others along the top.
        const int top = zoom == 0 ? qRound(table.height() - window->height() - 0.07 * table.height())
                                  : table.top() + qRound(0.07 * table.height());
        int left = table.left() + qRound(0.05 * table.width());
        if (zoom == 2)
            left = table.left() + (table.width() - window->width()) / 2;
        if (zoom == 3)
            left = table.right() - window->width() - qRound(0.05 * table.width());
        window->move(left, top);
    } else {
        Centre(*window);
        if (zoom == 0)
            MoveBy(*window, -0.2, 0.2);
        else
            MoveBy(*window, zoom == 2 ? 0.2 : -0.2, -0.2);
    }
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
    ShowFrame(window->vshow1, frame);
    window->vshow1->show();
    window->vshow1->raise();
}

void TimerZoomTick()
{
    TimerZoom().stop();
    if (frmZoom* window = Zoom(g_zoomTarget))
        ShowFrame(window->vshow1, Video.LastFrame[static_cast<size_t>(g_zoomTarget)]);
}

bool TimerZoomPending()
{
    return g_timerZoom && g_timerZoom->isActive();
}

void CommandClick(int k)
{
    MainForm* form = TheMainForm();
    if (form == nullptr || k < 0 || k > 15)
        return;
    const int p = k / 4;
    const int b = k % 4;
    if (p == 0) {
        switch (b) {
        case 0: OpenAlbum(); break;
        case 1: ToggleZoom(0); break;
        case 2: TakePhoto(0); break;
        default: Mod_Sound::StartMusicBox(); break;
        }
        return;
    }
    const auto i = static_cast<size_t>(p);
    switch (b) {
    case 0:
        if (Video.VideoClosed[i])
            return;
        Video.VideoClosed[i] = true;
        form->PicLocal[i]->hide();
        form->vshow1[i]->hide();
        form->ImgKuang[i]->hide();
        if (ZoomShowing(p))
            HideZoom(p);
        LoadPictureById(form->ImgShow[i], Pictures::Tables().VideoCommandPictures[1]);
        form->ImgShow[i]->show();
        form->ImgShow[i]->raise();
        break;
    case 1:
        ToggleZoom(p);
        break;
    case 2:
        TakePhoto(p);
        break;
    default:
        break;  // the fourth button of a remote bar does nothing
    }
}

void ReopenClick(int position)
{
    MainForm* form = TheMainForm();
    if (form == nullptr || position < 1 || position > 3)
        return;
    const auto i = static_cast<size_t>(position);
    Video.VideoClosed[i] = false;
    ShowVideoFrame(*form, position);
    form->PicLocal[i]->show();
    form->vshow1[i]->show();
    form->vshow1[i]->raise();
    VideoLinks::StartRepaint(position);
}

void CommandHover(int k)
{
    MainForm* form = TheMainForm();
    if (form == nullptr || k < 0 || k > 15)
        return;
    PictureBox* button = form->ImCmd[static_cast<size_t>(k)];
    if (!g_highlighted[static_cast<size_t>(k)]) {
        g_highlighted[static_cast<size_t>(k)] = true;
        LoadPictureById(button, ButtonPicture(k, true));
    }
    if (k >= 4)
        return;
    static const QString Tips[4] = {QStringLiteral("像册"), QStringLiteral("放大"), QStringLiteral("拍照"),
                                    QStringLiteral("月光宝盒")};
    QLabel* tip = form->Tiplbl;
    const QWidget* bar = form->PicLocal[0];
    tip->setText(Tips[k]);
    tip->move(bar->x() + button->x() + button->width(), bar->y() + qRound(10 * Scale().v));
    tip->resize(qRound((k == 3 ? 54 : 28) * Scale().h), tip->height());
    tip->show();
    tip->raise();
}

void BarHover()
{
    MainForm* form = TheMainForm();
    if (form == nullptr)
        return;
    form->Tiplbl->hide();
    for (int k = 0; k < 16; ++k)
        if (g_highlighted[static_cast<size_t>(k)]) {
            g_highlighted[static_cast<size_t>(k)] = false;
            LoadPictureById(form->ImCmd[static_cast<size_t>(k)], ButtonPicture(k, false));
        }
}

void DisplayHover(int position)
{
    MainForm* form = TheMainForm();
    if (form == nullptr || position < 0 || position > 3)
        return;
    const Information* before = InfoWindows::TheInformation();
    if (before != nullptr && before->isVisible())
        return;
    InfoWindows::PortraitHover(*form, position);
    Information* card = InfoWindows::TheInformation();
    if (card == nullptr || !card->isVisible())
        return;
    const QRect table = form->geometry();
    const QPoint pic = form->Pic1->pos();
    if (position == 0) {
        const int top = SmallLayout() ? qRound(0.3 * table.height())
                                      : pic.y() + table.top() + qRound(0.42 * table.height());
        card->move(pic.x() + table.left(), top);
    } else {
        card->move(pic.x() + table.left() + ((position - 1) * table.width()) / 3,
                   pic.y() + table.top() + qRound(0.14 * table.height()));
    }
}

QString AlbumFolder()
{
    return Platform::ProgramDir() + QStringLiteral("/photo");
}

QString PhotoFileName(const QDateTime& at)
{
    const QDate d = at.date();
    const QTime t = at.time();
    return AlbumFolder() + QLatin1Char('/') + QString::number(d.year()) + QString::number(d.month())
           + QString::number(d.day()) + QString::number(t.hour()) + QString::number(t.minute())
           + QString::number(t.second()) + QStringLiteral(".bmp");
}

bool TakePhoto(int k)
{
    if (k < 0 || k > 3)
        return false;
    const QByteArray& frame = Video.LastFrame[static_cast<size_t>(k)];
    // A frame comes from another player's machine: only a well-formed picture within the
    // limit is written, only into the album, and a failure is said as one.
    bool saved = ValidFrame(frame) && QDir().mkpath(AlbumFolder());
    if (saved) {
        QSaveFile file(PhotoFileName(g_photoClock ? g_photoClock() : QDateTime::currentDateTime()));
        saved = file.open(QIODevice::WriteOnly) && file.write(frame) == frame.size() && file.commit();
    }
    PostSystemLine(saved ? QStringLiteral("照相成功,照片保存在本机相册中。")
                               : QStringLiteral("照相失败，照片没有保存。"));
    return saved;
}

void SetPhotoClock(std::function<QDateTime()> clock)
{
    g_photoClock = std::move(clock);
}

void OpenAlbum()
{
    QDir().mkpath(AlbumFolder());
    Platform::ShellOpen(AlbumFolder());
}

void ConnectWindow(MainForm& form)
{
    for (int k = 0; k < 16; ++k) {
        PictureBox* button = form.ImCmd[static_cast<size_t>(k)];
        QObject::connect(button, &PictureBox::clicked, &form, [k](Qt::MouseButton b) {
            if (b == Qt::LeftButton)
                CommandClick(k);
        });
        QObject::connect(button, &PictureBox::hovered, &form, [k] { CommandHover(k); });
    }
    for (int p = 1; p <= 3; ++p) {
        QObject::connect(form.ImgShow[static_cast<size_t>(p)], &PictureBox::clicked, &form, [p](Qt::MouseButton b) {
            if (b == Qt::LeftButton)
                ReopenClick(p);
        });
        QObject::connect(form.vshow1[static_cast<size_t>(p)], &PictureBox::hovered, &form, [p] { DisplayHover(p); });
    }
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
    g_highlighted.fill(false);
    g_zoomTarget = 0;
    g_photoClock = nullptr;
}

}  // namespace VideoWindows
