#include "ui/Layout.h"

#include <QFont>
#include <QWidget>

#include "resources/Pictures.h"
#include "ui/MainForm.h"
#include "ui/PictureLoad.h"

namespace Layout {

namespace {

std::function<void()> g_startCamera;

bool SmallLayout(const LayoutScaleFactors& scale)
{
    return scale.h < 1.0;
}

// Type sizes: the small layout takes a size or two less so captions keep inside their places.
void SetPointSize(QWidget* control, int large, int small, const LayoutScaleFactors& scale)
{
    QFont f = control->font();
    f.setPointSize(SmallLayout(scale) ? small : large);
    control->setFont(f);
}

DesignRect Offset(const DesignRect& base, double dx, double dy, double width, double height)
{
    return {base.left + dx, base.top + dy, width, height};
}

}  // namespace

QRectF Scaled(const DesignRect& d, const LayoutScaleFactors& scale)
{
    return {d.left * scale.h, d.top * scale.v, d.width * scale.h, d.height * scale.v};
}

QRect ScaledPixels(const DesignRect& d, const LayoutScaleFactors& scale)
{
    const QRectF r = Scaled(d, scale);
    return {qRound(r.left()), qRound(r.top()), qRound(r.width()), qRound(r.height())};
}

void Place(QWidget* control, const DesignRect& design, const LayoutScaleFactors& scale)
{
    if (control != nullptr)
        control->setGeometry(ScaledPixels(design, scale));
}

int AnNiuEntry(int index, bool highlighted, bool startButtonContinues)
{
    const int shift = highlighted ? 1 : 0;
    if (index == 0 || index == 1)
        return 2 * index + shift;
    if (index == 2)
        return (startButtonContinues ? 6 : 4) + shift;
    if (index >= 3 && index <= 8)
        return 2 * index + 2 + shift;
    return -1;
}

int OperationEntry(int index, bool highlighted)
{
    const int shift = highlighted ? 1 : 0;
    if (index >= 0 && index <= 3)
        return 3 * index + shift;
    if (index >= 4 && index <= 6)
        return 2 * index + 4 + shift;
    return -1;
}

int ScaledX(double design)
{
    return qRound(design * TableState.Display.LayoutScale.h);
}

int ScaledY(double design)
{
    return qRound(design * TableState.Display.LayoutScale.v);
}

DesignRect HandCard(int k)
{
    return {Design::HandLeft + k * Design::HandStep, Design::BaseTop, Design::CardWidth, Design::CardHeight};
}

DesignRect PlayedCard(int position, int k)
{
    const int p = position < 0 || position > 3 ? 0 : position;
    // Laid out as a play of all fourteen cards, centred on the position's anchor.
    const PlayAnchor& anchor = PlayAnchors[static_cast<size_t>(p)];
    const double start = anchor.left - (14 * 0.11 + 0.39) * 90;
    return {start + k * 0.22 * Design::PlayedWidth, static_cast<double>(anchor.top), Design::PlayedWidth,
            Design::PlayedHeight};
}

DesignRect VideoPanel(int position)
{
    if (position <= 0 || position > 3)
        return Design::Tou[0];
    return Offset(Design::Tou[position], Design::VideoOffset, 8 - Design::Tou[position].top, 80, 60);
}

DesignRect VideoFrame(int position)
{
    const DesignRect panel = VideoPanel(position);
    return {panel.left - 2, panel.top - 2, panel.width + 4, panel.height + 4};
}

DesignRect VideoBar(int position)
{
    if (position <= 0 || position > 3)
        return Design::PicLocalOwn;
    const DesignRect panel = VideoPanel(position);
    return {panel.left, panel.top + panel.height + 5, 4 * Design::ImCmdStep, Design::ImCmdStep};
}

DesignRect VideoReopen(int position)
{
    if (position <= 0 || position > 3)
        return {Design::Tou[0].left, Design::Tou[0].top, Design::ImCmdWidth, Design::ImCmdHeight};
    const DesignRect bar = VideoBar(position);
    return {bar.left + bar.width + 2, bar.top + 1, Design::ImCmdWidth, Design::ImCmdHeight};
}

void PrepareBackground(MainForm& form)
{
    const LayoutScaleFactors& scale = TableState.Display.LayoutScale;
    // Pic1 shows the background at its own size, stretched when the table is smaller.
    form.Pic1->copyPicture(*form.Pic2);

    double barWidth = form.imgDilan->pixmap().deviceIndependentSize().width();
    double bottomHeight = form.imgDilan->pixmap().deviceIndependentSize().height();
    double topHeight = form.imgDinglan->pixmap().deviceIndependentSize().height();
    if (SmallLayout(scale)) {
        for (QListWidget* list : form.Sysmsg) {
            QFont f = list->font();
            f.setPointSize(8);
            list->setFont(f);
        }
        barWidth = Design::SmallBarWidth;
        bottomHeight = Design::BottomBarHeight * scale.v;
        topHeight = Design::TopBarHeight * scale.v;
    }
    const int w = qRound(barWidth);
    const int bottom = qRound(bottomHeight);
    const int top = qRound(topHeight);
    form.imgDilan->setGeometry(0, form.Pic1->height() - bottom, w, bottom);
    form.imgDinglan->setGeometry(0, 0, w, top);
}

void FirstLayoutPass(MainForm& form)
{
    const LayoutScaleFactors& s = TableState.Display.LayoutScale;
    using namespace Design;

    for (int p = 0; p < 4; ++p) {
        Place(form.Tou[p], Tou[p], s);
        Place(form.Nid[p], Nid[p], s);
        Place(form.Cash[p], Cash[p], s);
        Place(form.Level[p], Level[p], s);
        for (QLabel* label : {form.Nid[p], form.Cash[p], form.Level[p]})
            SetPointSize(label, 9, 8, s);

        Place(form.OK[p], OK[p], s);
        LoadPictureById(form.OK[p], Pictures::Tables().ReadyMarkPictures[0]);
        Place(form.first[p], first[p], s);
        LoadPictureById(form.first[p], Pictures::Tables().PlaceMarkPictures[0]);
        Place(form.Speak[p], Speak[p], s);
        LoadPictureById(form.Speak[p], Pictures::PassBubbleFor(p));
        Place(form.btnJiaofen[p], btnJiaofen[p], s);
    }

    for (int i = 0; i < int(form.AnNiu.size()); ++i) {
        Place(form.AnNiu[i], AnNiu[i], s);
        const int entry = AnNiuEntry(i, false, form.StartButtonContinues);
        LoadPictureById(form.AnNiu[i], Pictures::Tables().ToolbarButtonPictures[entry]);
    }
    form.AnNiuHighlighted.fill(false);
    form.AnNiuLatched[2] = true;

    Place(form.imgLocation, imgLocation, s);
    Place(form.Location, Location, s);
    Place(form.imgword1, imgword1, s);
    Place(form.imgword2, imgword2, s);
    LoadPictureById(form.imgword1, 516);
    LoadPictureById(form.imgword2, 517);
    form.WordHighlighted.fill(false);

    // Video frames: own capture over the own portrait, a little higher and shorter.
    const DesignRect own = Tou[0];
    Place(form.vcap1, {own.left, own.top - 2, own.width, own.height - 7}, s);
    for (int p = 0; p < 4; ++p) {
        Place(form.vshow1[p], VideoPanel(p), s);
        Place(form.ImgKuang[p], VideoFrame(p), s);
        Place(form.PicLocal[p], VideoBar(p), s);
        Place(form.ImgShow[p], VideoReopen(p), s);
        for (int b = 0; b < 4; ++b) {
            // The own bar stands upright beside the portrait; the others lie under their video.
            const double along = b * ImCmdStep;
            const DesignRect button = p == 0 ? DesignRect{0, along, ImCmdWidth, ImCmdHeight}
                                             : DesignRect{along, 1, ImCmdWidth, ImCmdHeight};
            Place(form.ImCmd[4 * p + b], button, s);
        }
    }
    // Normal pictures of the bar buttons: album, zoom, photo, music box on the own bar; close,
    // zoom, photo and the fourth button on the others.
    const int ownIcons[4] = {10, 1, 2, 3};
    const int remoteIcons[4] = {0, 1, 2, 8};
    for (int p = 0; p < 4; ++p)
        for (int b = 0; b < 4; ++b)
            LoadPictureById(form.ImCmd[4 * p + b],
                                      Pictures::Tables().VideoCommandPictures[p == 0 ? ownIcons[b] : remoteIcons[b]]);
    Place(form.Tiplbl, Tiplbl, s);
    SetPointSize(form.Tiplbl, 8, 7, s);
}

void SecondLayoutPass(MainForm& form)
{
    const LayoutScaleFactors& s = TableState.Display.LayoutScale;
    using namespace Design;

    for (int i = 0; i < 2; ++i)
        Place(form.Sysmsg[i], Sysmsg[i], s);

    for (int i = 0; i < int(form.Operation.size()); ++i) {
        Place(form.Operation[i], Operation[i], s);
        LoadPictureById(form.Operation[i], Pictures::Tables().PlayButtonPictures[OperationEntry(i, false)]);
    }
    form.OperationHighlighted.fill(false);

    for (int k = 0; k < 14; ++k) {
        Place(form.cardImage0[k], HandCard(k), s);
        Place(form.cardImage1[k], PlayedCard(1, k), s);
        Place(form.cardImage2[k], PlayedCard(2, k), s);
        Place(form.cardImage3[k], PlayedCard(3, k), s);
    }
    // Fans keep their pictures' own size on the large table and are stretched on the small one.
    for (int i = 0; i < 3; ++i) {
        form.shanImage[i]->setStretch(SmallLayout(s));
        Place(form.shanImage[i], shanImage[i], s);
    }

    Place(form.Lbchat, Lbchat, s);
    Place(form.Chat, Chat, s);
    SetPointSize(form.Lbchat, 9, 8, s);
    SetPointSize(form.Chat, 9, 8, s);

    Place(form.Time_Img, Time_Img, s);
    Place(form.Number, Number, s);
    SetPointSize(form.Number, 14, 11, s);

    Place(form.Bird, Bird, s);
    if (form.WebBrowser1) {
        const QRect bird = form.Bird->geometry();
        const int inset = qRound(WebInset);
        form.WebBrowser1->SetGeometry(bird.adjusted(inset, inset, -inset, -inset));
    }

    Place(form.Image1, Image1, s);
    Place(form.Label2, Label2, s);
    Place(form.lblJiValue, lblJiValue, s);
    Place(form.Label4, Label4, s);
    Place(form.Label3, Label3, s);
    for (QLabel* label : {form.Label2, form.Label3, form.Label4})
        SetPointSize(label, 10, 8, s);
    SetPointSize(form.lblJiValue, 18, 14, s);

    if (const std::function<void()> start = g_startCamera)
        start();
}

void SetStartCamera(std::function<void()> startCamera)
{
    g_startCamera = std::move(startCamera);
}

}  // namespace Layout
