// The table on screens of a device pixel ratio above 1. This program always shows it on three
// offscreen screens side by side, of ratios 2, 1.5 and 1 (a scale factor of 2 over screen
// factors 1, 0.75 and 0.5), whoever starts it: Qt reads the factors when the application
// starts, so they are set before main() runs.
#include <QGuiApplication>
#include <QScreen>
#include <QWindow>

#include "play/PlayFixture.h"
#include "resources/Pictures.h"
#include "ui/MainForm.h"

using namespace PlayTest;

namespace {

[[maybe_unused]] const bool kScreensSet = [] {
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" QUELLOR_HIDPI_SCREENS);
    qputenv("QT_SCALE_FACTOR", "2");
    qputenv("QT_SCREEN_SCALE_FACTORS", "sharp=1;between=0.75;plain=0.5");
    return true;
}();

QScreen* ScreenNamed(const char* name)
{
    for (QScreen* screen : QGuiApplication::screens())
        if (screen->name() == QLatin1String(name))
            return screen;
    return nullptr;
}

QString PictureName(const PictureBox* control)
{
    return control->pictureKey().isEmpty() ? QString::number(control->pictureId()) : control->pictureKey();
}

class HiDpiTest : public PlayFixture {
protected:
    // Seated at a large table, dealt, and the user's turn to lead: the play buttons are up.
    MainForm& AtTheUsersTurn()
    {
        MainForm& f = Seat();
        Deliver(DealPacket(SampleHand(), 14, 15, 2, 8));
        Deliver(PlayPacket(8, 1, 9));
        return f;
    }

    // The rightmost card of the hand: nothing covers it.
    PictureBox* TopCard() const
    {
        PictureBox* top = nullptr;
        for (PictureBox* card : form->cardImage0)
            if (!card->isHidden() && (top == nullptr || card->x() > top->x()))
                top = card;
        return top;
    }

    // The table as the screen shows it, at the window's own ratio.
    QImage Shown() const
    {
        return form->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    }

    // Compares an area of a control (logical, inside the control) in the table as shown with
    // `expected`, the control's picture in the screen's pixels; only where that picture is
    // opaque, since elsewhere the table shows through. Returns how many pixels differ, and how
    // many were compared in `compared`.
    int Differing(const QImage& shown, const PictureBox* control, const QRect& area, const QImage& expected,
                  int* compared) const
    {
        const qreal ratio = form->devicePixelRatioF();
        const QPoint origin = control->mapTo(form.get(), QPoint(0, 0)) * ratio;
        const QImage want = expected.convertToFormat(QImage::Format_ARGB32);
        const QRect pixels(area.topLeft() * ratio, area.size() * ratio);
        int differ = 0;
        *compared = 0;
        for (int y = pixels.top(); y <= pixels.bottom(); ++y)
            for (int x = pixels.left(); x <= pixels.right(); ++x) {
                const QRgb w = want.pixel(x, y);
                if (qAlpha(w) != 255)
                    continue;
                ++*compared;
                differ += shown.pixel(origin + QPoint(x, y)) != w;
            }
        return differ;
    }

    // The area shows the 2x drawing pixel for pixel (a control of another size than its picture,
    // as the hand's cards are, shows it scaled smoothly to its pixels), and is not the 1x
    // picture enlarged.
    void ExpectDrawnAt2x(const QImage& shown, const PictureBox* control, const QRect& area, const char* what) const
    {
        const QSize pixels = control->size() * 2;
        QImage drawn = Pictures::SharpPicture(PictureName(control));
        ASSERT_FALSE(drawn.isNull()) << what;
        if (drawn.size() != pixels) {
            ASSERT_TRUE(control->stretch()) << what;
            drawn = drawn.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        }
        int compared = 0;
        EXPECT_EQ(Differing(shown, control, area, drawn, &compared), 0) << what;
        // Enough of the area is opaque picture to judge by (the clock face is round).
        EXPECT_GT(compared * 3, area.width() * area.height() * 4) << what;

        const QImage one = control->pictureKey().isEmpty() ? Pictures::PictureById(control->pictureId()).toImage()
                                                           : Pictures::PictureByKey(control->pictureKey()).toImage();
        for (const Qt::TransformationMode mode : {Qt::FastTransformation, Qt::SmoothTransformation}) {
            const QImage enlarged = one.scaled(pixels, Qt::IgnoreAspectRatio, mode);
            EXPECT_GT(Differing(shown, control, area, enlarged, &compared), compared / 4) << what << " mode " << mode;
        }
    }
};

}  // namespace

// The play button's caption and a card's index, as a player at a screen of ratio 2 sees them:
// the pixels the generator drew at 2x, not the 1x pictures enlarged.
TEST_F(HiDpiTest, AtRatioTwoCaptionsAndCardIndicesAreThe2xDrawings)
{
    MainForm& f = AtTheUsersTurn();
    ASSERT_EQ(f.devicePixelRatioF(), 2.0);
    ASSERT_FALSE(f.Operation[0]->isHidden());
    const QImage shown = Shown();
    ASSERT_EQ(shown.size(), f.size() * 2);

    ExpectDrawnAt2x(shown, f.Operation[0], f.Operation[0]->rect(), "play button");
    PictureBox* card = TopCard();
    ASSERT_NE(card, nullptr);
    ExpectDrawnAt2x(shown, card, QRect(0, 0, card->width() / 3, card->height() / 3), "card index");
    // The clock's face left of the seconds, which a label of its own writes over it.
    ExpectDrawnAt2x(shown, f.Time_Img, QRect(0, 0, 46, f.Time_Img->height()), "clock face");
}

// Moving the window to a screen of another ratio shows every picture drawn for that ratio,
// in the same logical places and sizes; moving it back brings the 2x drawings back.
TEST_F(HiDpiTest, MovingTheWindowToAnotherScreenSwitchesThePictures)
{
    MainForm& f = AtTheUsersTurn();
    f.show();
    ASSERT_NE(f.windowHandle(), nullptr);
    PictureBox* play = f.Operation[0];
    PictureBox* card = TopCard();
    const QRect playPlace = play->geometry(), cardPlace = card->geometry();
    const int playId = play->pictureId(), cardId = card->pictureId();

    struct Case { const char* screen; qreal ratio; };
    for (const Case& c : {Case{"plain", 1}, Case{"between", 1.5}, Case{"sharp", 2}}) {
        QScreen* screen = ScreenNamed(c.screen);
        ASSERT_NE(screen, nullptr) << c.screen;
        f.windowHandle()->setScreen(screen);
        QCoreApplication::processEvents();
        ASSERT_EQ(f.devicePixelRatioF(), c.ratio) << c.screen;
        const QImage shown = Shown();
        EXPECT_EQ(shown.size(), f.size() * c.ratio) << c.screen;

        for (PictureBox* control : {play, card}) {
            EXPECT_EQ(control->pixmap().devicePixelRatio(), c.ratio) << c.screen;
            EXPECT_EQ(control->pixmap().toImage(), Pictures::PictureById(control->pictureId(), c.ratio).toImage())
                << c.screen;
        }
        EXPECT_EQ(play->geometry(), playPlace) << c.screen;
        EXPECT_EQ(card->geometry(), cardPlace) << c.screen;
        EXPECT_EQ(play->pictureId(), playId);
        EXPECT_EQ(card->pictureId(), cardId);
        if (c.ratio == 1) {
            int compared = 0;
            EXPECT_EQ(Differing(shown, play, play->rect(), Pictures::PictureById(playId).toImage(), &compared), 0);
            EXPECT_GT(compared, play->width() * play->height() * 3 / 4);
        }
    }
    ExpectDrawnAt2x(Shown(), play, play->rect(), "play button back at ratio 2");

    // Hit testing is in logical coordinates: a click on the card raises it by a fifth, as at 1x.
    const int base = TableState.Display.BaseTop;
    UiTest::Press(card);
    UiTest::Release(card, card->rect().center());
    EXPECT_EQ(card->y(), base - card->height() / 5);
}
