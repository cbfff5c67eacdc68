#include "video/VideoBars.h"

#include <QLabel>

#include <array>

#include "resources/Pictures.h"
#include "session/Screen.h"
#include "sound/Mod_Sound.h"
#include "table/TableState.h"
#include "ui/InfoWindows.h"
#include "ui/MainForm.h"
#include "ui/PictureBox.h"
#include "ui/PictureLoad.h"
#include "video/Photos.h"
#include "video/VideoDisplay.h"
#include "video/VideoLinks.h"
#include "video/ZoomWindows.h"

namespace VideoBars {

using VideoLinks::Video;

namespace {

std::array<bool, 16> g_highlighted{};

// Normal and pointer-over pictures of the bar buttons (entries of VideoCommandPictures).
int ButtonPicture(int k, bool over)
{
    static constexpr int Own[4][2] = {{10, 11}, {1, 5}, {2, 6}, {3, 7}};
    static constexpr int Remote[4][2] = {{0, 4}, {1, 5}, {2, 6}, {8, 9}};
    const int b = k % 4;
    const int entry = k < 4 ? Own[b][over ? 1 : 0] : Remote[b][over ? 1 : 0];
    return Pictures::Tables().VideoCommandPictures[static_cast<size_t>(entry)];
}

}  // namespace

void CommandClick(int k)
{
    MainForm* form = TheMainForm();
    if (form == nullptr || k < 0 || k > 15)
        return;
    const int p = k / 4;
    const int b = k % 4;
    if (p == 0) {
        switch (b) {
        case 0: Photos::OpenAlbum(); break;
        case 1: ZoomWindows::ToggleZoom(0); break;
        case 2: Photos::TakePhoto(0); break;
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
        if (ZoomWindows::ZoomShowing(p))
            ZoomWindows::HideZoom(p);
        LoadPictureById(form->ImgShow[i], Pictures::Tables().VideoCommandPictures[1]);
        form->ImgShow[i]->show();
        form->ImgShow[i]->raise();
        break;
    case 1:
        ZoomWindows::ToggleZoom(p);
        break;
    case 2:
        Photos::TakePhoto(p);
        break;
    default:
        break;  // the fourth button of a remote bar has no duty, and is not shown
    }
}

void ReopenClick(int position)
{
    MainForm* form = TheMainForm();
    if (form == nullptr || position < 1 || position > 3)
        return;
    const auto i = static_cast<size_t>(position);
    Video.VideoClosed[i] = false;
    VideoDisplay::ShowVideoFrame(*form, position);
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
    const LayoutScaleFactors& scale = TableState.Display.LayoutScale;
    QLabel* tip = form->Tiplbl;
    const QWidget* bar = form->PicLocal[0];
    tip->setText(Tips[k]);
    // Beside its own button: the own bar stands upright, one button above the other.
    tip->resize(qRound((k == 3 ? 54 : 28) * scale.h), tip->height());
    tip->move(bar->x() + button->x() + button->width(),
              bar->y() + button->y() + (button->height() - tip->height()) / 2);
    tip->show();
    tip->raise();
}

void CommandLeft(int k)
{
    MainForm* form = TheMainForm();
    if (form == nullptr || k < 0 || k > 15)
        return;
    if (k < 4)
        form->Tiplbl->hide();
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
        const int top = Screen::IsSmallLayout(TableState.Display.LayoutScale)
                            ? qRound(0.3 * table.height())
                            : pic.y() + table.top() + qRound(0.42 * table.height());
        card->move(pic.x() + table.left(), top);
    } else {
        card->move(pic.x() + table.left() + ((position - 1) * table.width()) / 3,
                   pic.y() + table.top() + qRound(0.14 * table.height()));
    }
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
        QObject::connect(button, &PictureBox::left, &form, [k] { CommandLeft(k); });
    }
    for (int p = 1; p <= 3; ++p) {
        QObject::connect(form.ImgShow[static_cast<size_t>(p)], &PictureBox::clicked, &form, [p](Qt::MouseButton b) {
            if (b == Qt::LeftButton)
                ReopenClick(p);
        });
        QObject::connect(form.vshow1[static_cast<size_t>(p)], &PictureBox::hovered, &form, [p] { DisplayHover(p); });
        QObject::connect(form.vshow1[static_cast<size_t>(p)], &PictureBox::left, &form, [] { InfoWindows::PointerLeftPlayer(); });
    }
}

void Reset()
{
    g_highlighted.fill(false);
}

}  // namespace VideoBars
