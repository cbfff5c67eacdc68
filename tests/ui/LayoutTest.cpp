// Both layouts of the table window, as start-up builds them.
#include <gtest/gtest.h>

#include <functional>

#include "resources/Pictures.h"
#include "session/Screen.h"
#include "ui/Frame.h"
#include "ui/Layout.h"
#include "ui/UiFixture.h"

namespace {

constexpr LayoutScaleFactors Large{1.0, 1.0};
constexpr LayoutScaleFactors Small{0.78125, 0.78125};

using UiTest::TableFixture;
class LayoutTest : public TableFixture {};

QRect At(double left, double top, double width, double height, const LayoutScaleFactors& s)
{
    return Layout::ScaledPixels({left, top, width, height}, s);
}

// Where the pixels of a stretched picture that pass the test land in its parent.
QRectF PaintedPart(const PictureBox* box, const std::function<bool(const QColor&)>& wanted)
{
    const QImage picture = box->pixmap().toImage();
    QRect part;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (wanted(picture.pixelColor(x, y)))
                part |= QRect(x, y, 1, 1);
    const double sx = box->width() / double(picture.width()), sy = box->height() / double(picture.height());
    return {box->x() + part.x() * sx, box->y() + part.y() * sy, part.width() * sx, part.height() * sy};
}

}  // namespace

TEST(LayoutValues, DesignValuesAreScaledFirstAndRoundedOnce)
{
    const Layout::DesignRect tou0{10, 668, 85, 90};
    EXPECT_EQ(Layout::Scaled(tou0, Small), QRectF(7.8125, 521.875, 66.40625, 70.3125));
    EXPECT_EQ(Layout::ScaledPixels(tou0, Small), QRect(8, 522, 66, 70));
    EXPECT_EQ(Layout::ScaledPixels(tou0, Large), QRect(10, 668, 85, 90));
    // Each of the four values is rounded, not the edges: Operation(1) is 368.75 + 51.5625
    // wide, which edge rounding would make 51 pixels.
    const Layout::DesignRect hint{472, 470, 66, 38};
    EXPECT_EQ(Layout::ScaledPixels(hint, Small), QRect(369, 367, 52, 30));
}

TEST(LayoutValues, ButtonPictureEntries)
{
    // Toolbar: send, chat, start or continue, then pairs for settings to exit.
    EXPECT_EQ(Layout::AnNiuEntry(0, false, false), 0);
    EXPECT_EQ(Layout::AnNiuEntry(1, true, false), 3);
    EXPECT_EQ(Layout::AnNiuEntry(2, false, false), 4);
    EXPECT_EQ(Layout::AnNiuEntry(2, true, true), 7);
    EXPECT_EQ(Layout::AnNiuEntry(3, false, true), 8);
    EXPECT_EQ(Layout::AnNiuEntry(8, true, false), 19);
    EXPECT_EQ(Layout::AnNiuEntry(9, false, false), -1);
    EXPECT_EQ(Layout::AnNiuEntry(-1, false, false), -1);
    // Play buttons: three pictures each for 0..3, two each for 4..6.
    EXPECT_EQ(Layout::OperationEntry(0, true), 1);
    EXPECT_EQ(Layout::OperationEntry(3, false), 9);
    EXPECT_EQ(Layout::OperationEntry(4, false), 12);
    EXPECT_EQ(Layout::OperationEntry(6, true), 17);
    EXPECT_EQ(Layout::OperationEntry(7, false), -1);
}

TEST_F(LayoutTest, TellingPlacesAtBothScales)
{
    struct Case {
        QSize screen;
        LayoutScaleFactors scale;
    } cases[] = {{{1280, 1024}, Large}, {{1024, 768}, Large}, {{800, 600}, Small}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.screen.width() << "x" << c.screen.height());
        MainForm& f = Load(c.screen);
        const LayoutScaleFactors& s = c.scale;
        EXPECT_EQ(f.Tou[0]->geometry(), At(10, 668, 85, 90, s));
        const double touLeft[3] = {7, 350, 693};
        const double labelLeft[3] = {165, 509, 852};
        for (int p = 1; p < 4; ++p) {
            EXPECT_EQ(f.Tou[p]->geometry(), At(touLeft[p - 1], 15, 70, 62, s)) << p;
            EXPECT_EQ(f.Nid[p]->pos(), At(labelLeft[p - 1], 15, 0, 0, s).topLeft()) << p;
            EXPECT_EQ(f.Cash[p]->pos(), At(labelLeft[p - 1], 40, 0, 0, s).topLeft()) << p;
            EXPECT_EQ(f.Level[p]->pos(), At(labelLeft[p - 1], 64, 0, 0, s).topLeft()) << p;
        }
        EXPECT_EQ(f.Nid[0]->pos(), At(181, 700, 0, 0, s).topLeft());
        EXPECT_EQ(f.Cash[0]->pos(), At(181, 724, 0, 0, s).topLeft());
        EXPECT_EQ(f.Level[0]->pos(), At(181, 744, 0, 0, s).topLeft());
        EXPECT_EQ(f.AnNiu[0]->pos(), At(573, 730, 0, 0, s).topLeft());
        EXPECT_EQ(f.AnNiu[1]->pos(), At(648, 699, 0, 0, s).topLeft());
        EXPECT_EQ(f.imgword1->geometry(), At(640, 659, 57, 13, s));
        EXPECT_EQ(f.imgLocation->geometry(), At(632, 654, 394, 39, s));
        const QPoint ok[4] = {{460, 630}, {60, 280}, {460, 108}, {900, 280}};
        for (int p = 0; p < 4; ++p)
            EXPECT_EQ(f.OK[p]->pos(), At(ok[p].x(), ok[p].y(), 0, 0, s).topLeft()) << p;
        EXPECT_EQ(f.Operation[0]->pos(), At(400, 470, 0, 0, s).topLeft());
        EXPECT_EQ(f.Bird->geometry(), At(936, 680, 82, 80, s));
        const QRect clock = At(920, 0, 81, 38, s);
        EXPECT_EQ(f.Time_Img->x(), clock.x());
        EXPECT_EQ(f.Time_Img->size(), clock.size());

        // The bars: full size on the large table, 800 wide and shrunk on the small one, the
        // bottom one on the bottom edge of Pic1 and the top one on its top edge.
        const bool small = s.h < 1;
        EXPECT_EQ(f.imgDilan->geometry(), small ? QRect(0, 600 - 91, 800, 91) : QRect(0, 651, 1024, 117));
        EXPECT_EQ(f.imgDinglan->geometry(), small ? QRect(0, 0, 800, 75) : QRect(0, 0, 1024, 96));
        EXPECT_EQ(f.Sysmsg[0]->font().pointSize(), small ? 8 : 9);
        // The background fills Pic1 at either size.
        EXPECT_TRUE(f.Pic1->hasScaledContents());
        EXPECT_EQ(f.Pic1->pixmap().size(), QSize(1024, 768));
        EXPECT_EQ(f.Pic1->size(), small ? QSize(800, 600) : QSize(1024, 768));
    }
}

TEST_F(LayoutTest, ButtonsGetThePicturesOfTheirLayout)
{
    MainForm& large = Load({1280, 1024});
    EXPECT_EQ(large.AnNiu[0]->pictureId(), 150);
    EXPECT_EQ(large.AnNiu[1]->pictureId(), 152);
    EXPECT_EQ(large.AnNiu[2]->pictureId(), 154);
    EXPECT_EQ(large.AnNiu[8]->pictureId(), 168);
    EXPECT_EQ(large.Operation[0]->pictureId(), 178);
    EXPECT_EQ(large.Operation[3]->pictureId(), 434);
    EXPECT_EQ(large.Operation[6]->pictureId(), 191);
    EXPECT_EQ(large.imgword1->pictureId(), 516);
    EXPECT_EQ(large.imgword2->pictureId(), 517);

    MainForm& small = Load({800, 600});
    EXPECT_EQ(small.AnNiu[0]->pictureId(), 150);  // send has no small picture
    EXPECT_EQ(small.AnNiu[1]->pictureId(), 283);
    EXPECT_EQ(small.AnNiu[2]->pictureId(), 285);
    EXPECT_EQ(small.AnNiu[8]->pictureId(), 299);
    // Pictures fill their places: a small button is not drawn at its large size.
    EXPECT_EQ(small.AnNiu[3]->size(), QSize(43, 24));
    EXPECT_TRUE(small.AnNiu[0]->hasScaledContents());
    EXPECT_TRUE(small.AnNiuLatched[2]);
}

// Controls that are on the table from the start never cover one another, at either scale,
// and everything the table shows lies on it.
TEST_F(LayoutTest, NothingOverlapsAndEverythingIsOnTheTable)
{
    for (const QSize screen : {QSize(1280, 1024), QSize(800, 600)}) {
        SCOPED_TRACE(testing::Message() << screen.width() << "x" << screen.height());
        MainForm& f = Load(screen);
        std::vector<QWidget*> always = {f.imgword1, f.imgword2, f.Location, f.Bird, f.Chat, f.Lbchat,
                                        f.Sysmsg[0], f.Sysmsg[1]};
        for (int p = 0; p < 4; ++p)
            for (QWidget* w : {static_cast<QWidget*>(f.Tou[p]), static_cast<QWidget*>(f.Nid[p]),
                               static_cast<QWidget*>(f.Cash[p]), static_cast<QWidget*>(f.Level[p])})
                always.push_back(w);
        for (PictureBox* b : f.AnNiu)
            always.push_back(b);
        for (int p = 1; p < 4; ++p)
            for (QWidget* w : {static_cast<QWidget*>(f.vshow1[p]), static_cast<QWidget*>(f.PicLocal[p]),
                               static_cast<QWidget*>(f.ImgShow[p])})
                always.push_back(w);
        always.push_back(f.PicLocal[0]);

        for (size_t i = 0; i < always.size(); ++i) {
            EXPECT_FALSE(always[i]->geometry().isEmpty()) << always[i]->objectName().toStdString();
            EXPECT_TRUE(f.Pic1->rect().contains(always[i]->geometry()))
                << always[i]->objectName().toStdString();
            for (size_t j = i + 1; j < always.size(); ++j)
                EXPECT_FALSE(always[i]->geometry().intersects(always[j]->geometry()))
                    << always[i]->objectName().toStdString() << " and " << always[j]->objectName().toStdString();
        }

        // During a round: the hand, the play buttons, the clock of each seat, the fans and
        // the first-player marks keep apart.
        std::vector<QWidget*> round = {f.Operation[0], f.Operation[1], f.Operation[2], f.Operation[3],
                                       f.Operation[6], f.Label2, f.lblJiValue, f.Label3, f.Label4};
        for (PictureBox* fan : f.shanImage)
            round.push_back(fan);
        for (size_t i = 0; i < round.size(); ++i)
            for (size_t j = i + 1; j < round.size(); ++j)
                EXPECT_FALSE(round[i]->geometry().intersects(round[j]->geometry()))
                    << round[i]->objectName().toStdString() << " and " << round[j]->objectName().toStdString();
        const QRect hand = f.cardImage0[0]->geometry().united(f.cardImage0[13]->geometry());
        for (PictureBox* b : f.Operation)
            EXPECT_FALSE(b->geometry().intersects(hand)) << b->objectName().toStdString();
    }
}

// The location plate keeps its design place, which reaches past the table's right edge: what
// it paints stays on the table, and its map pin clear of the web page's place below it.
TEST_F(LayoutTest, TheLocationPlateAndItsPinShowWhole)
{
    for (const QSize screen : {QSize(1280, 1024), QSize(800, 600)}) {
        SCOPED_TRACE(testing::Message() << screen.width() << "x" << screen.height());
        MainForm& f = Load(screen);
        const QRectF table = f.Pic1->rect();
        const QRectF plate = PaintedPart(f.imgLocation, [](const QColor& c) { return c.alpha() > 0; });
        EXPECT_LE(plate.right(), table.right());
        EXPECT_GE(plate.left(), table.left());

        const auto red = [](const QColor& c) { return c.alpha() > 200 && c.red() > 180 && c.green() < 110 && c.blue() < 100; };
        const QRectF pin = PaintedPart(f.imgLocation, red);
        ASSERT_FALSE(pin.isEmpty());
        EXPECT_TRUE(table.contains(pin));
        EXPECT_FALSE(pin.intersects(f.Bird->geometry())) << "under the web page's place";
        // And on the screen it is the pin that shows there.
        const QImage shot = f.Pic1->grab().toImage();
        EXPECT_TRUE(red(shot.pixelColor(pin.center().toPoint())));
    }
}

TEST_F(LayoutTest, LaterControlsStartHidden)
{
    MainForm& f = Load({1280, 1024});
    std::vector<QWidget*> hidden = {f.Time_Img, f.Number, f.Label2, f.Label3, f.Label4, f.lblJiValue,
                                    f.Image1, f.vcap1, f.Tiplbl, f.Pic2};
    for (int p = 0; p < 4; ++p)
        for (QWidget* w : {static_cast<QWidget*>(f.OK[p]), static_cast<QWidget*>(f.first[p]),
                           static_cast<QWidget*>(f.Speak[p]), static_cast<QWidget*>(f.btnJiaofen[p]),
                           static_cast<QWidget*>(f.vshow1[p]), static_cast<QWidget*>(f.ImgKuang[p]),
                           static_cast<QWidget*>(f.ImgShow[p]), f.PicLocal[p]})
            hidden.push_back(w);
    for (auto* cards : {&f.cardImage0, &f.cardImage1, &f.cardImage2, &f.cardImage3})
        for (PictureBox* c : *cards)
            hidden.push_back(c);
    for (PictureBox* b : f.Operation)
        hidden.push_back(b);
    for (PictureBox* fan : f.shanImage)
        hidden.push_back(fan);
    for (QWidget* w : hidden)
        EXPECT_FALSE(w->isVisible()) << w->objectName().toStdString();

    for (QWidget* w : {static_cast<QWidget*>(f.Pic1), static_cast<QWidget*>(f.Chat),
                       static_cast<QWidget*>(f.AnNiu[2]), static_cast<QWidget*>(f.Bird),
                       static_cast<QWidget*>(f.imgword2), static_cast<QWidget*>(f.Tou[3])})
        EXPECT_TRUE(w->isVisible()) << w->objectName().toStdString();
}

TEST(Screen, ScaleAndWindowPlacement)
{
    struct Case {
        QSize screen;
        double scale;
        QRect window;
        QRect pic1;
    } cases[] = {
        {{1024, 768}, 1.0, {0, 0, 1024, 768}, {0, 0, 1024, 768}},
        {{800, 600}, 0.78125, {0, 0, 800, 600}, {0, 0, 800, 600}},
        {{1280, 1024}, 1.0, {0, 0, 1040, 796}, {8, 20, 1024, 768}},
        {{1024, 600}, 0.78125, {0, 0, 1024, 600}, {0, 0, 1024, 600}},
    };
    for (const Case& c : cases) {
        const LayoutScaleFactors s = Screen::ChooseScale(c.screen);
        EXPECT_EQ(s.h, c.scale) << c.screen.width() << "x" << c.screen.height();
        EXPECT_EQ(s.v, c.scale);
        const Frame::WindowPlacement p = Frame::PlaceWindow(c.screen);
        EXPECT_EQ(p.window, c.window) << c.screen.width();
        EXPECT_EQ(p.pic1, c.pic1) << c.screen.width();
    }
}
