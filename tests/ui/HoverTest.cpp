// Pictures under the mouse: toolbar, play and phrase buttons, and the frame buttons.
#include <gtest/gtest.h>

#include <QCursor>

#include "table/TableState.h"
#include "ui/ExitWindows.h"
#include "ui/InfoWindows.h"
#include "ui/UiFixture.h"
#include "video/VideoBars.h"

namespace {

using namespace UiTest;

class HoverTest : public TableFixture {
protected:
    void SetUp() override
    {
        TableFixture::SetUp();
        Load({1280, 1024});
        for (PictureBox* b : form->Operation)
            b->show();
    }
};

}  // namespace

TEST_F(HoverTest, ToolbarButtonLoadsItsPicturesOnlyOnTheFirstMove)
{
    MainForm& f = *form;
    const int before = f.AnNiu[3]->pictureLoads();
    MoveOver(f.AnNiu[3]);
    EXPECT_EQ(f.AnNiu[3]->pictureId(), 159);
    MoveOver(f.AnNiu[3]);
    MoveOver(f.AnNiu[3]);
    EXPECT_EQ(f.AnNiu[3]->pictureLoads(), before + 1);  // moving within the button loads nothing

    MoveOver(f.Pic1);
    EXPECT_EQ(f.AnNiu[3]->pictureId(), 158);
    MoveOver(f.Pic1);
    MoveOver(f.imgDilan);
    EXPECT_EQ(f.AnNiu[3]->pictureLoads(), before + 2);

    // The same for a play button and a phrase button.
    const int playBefore = f.Operation[2]->pictureLoads();
    const int wordBefore = f.imgword2->pictureLoads();
    for (int i = 0; i < 3; ++i) {
        MoveOver(f.Operation[2]);
        MoveOver(f.imgword2);
    }
    EXPECT_EQ(f.Operation[2]->pictureLoads(), playBefore + 1);
    EXPECT_EQ(f.imgword2->pictureLoads(), wordBefore + 1);
}

TEST_F(HoverTest, ButtonsStayHighlightedUntilTheTableOrTheBottomBar)
{
    MainForm& f = *form;
    // Straight from one button onto the next: both stay highlighted.
    MoveOver(f.AnNiu[3]);
    MoveOver(f.AnNiu[4]);
    MoveOver(f.Operation[1]);
    EXPECT_EQ(f.AnNiu[3]->pictureId(), 159);
    EXPECT_EQ(f.AnNiu[4]->pictureId(), 161);
    EXPECT_EQ(f.Operation[1]->pictureId(), 182);
    // Over controls that are neither table nor bar nothing changes.
    MoveOver(f.Bird);
    MoveOver(f.Tou[0]);
    MoveOver(f.imgLocation);
    EXPECT_EQ(f.AnNiu[4]->pictureId(), 161);
    MoveOver(f.imgDilan);
    EXPECT_EQ(f.AnNiu[3]->pictureId(), 158);
    EXPECT_EQ(f.AnNiu[4]->pictureId(), 160);
    EXPECT_EQ(f.Operation[1]->pictureId(), 181);
}

TEST_F(HoverTest, PlayButtonPictures)
{
    MainForm& f = *form;
    const int normal[7] = {178, 181, 184, 434, 187, 189, 191};
    const int highlighted[7] = {179, 182, 185, 435, 188, 190, 192};
    for (int k = 0; k < 7; ++k) {
        MoveOver(f.Operation[k]);
        EXPECT_EQ(f.Operation[k]->pictureId(), highlighted[k]) << k;
        MoveOver(f.Pic1);
        EXPECT_EQ(f.Operation[k]->pictureId(), normal[k]) << k;
    }
    // A disabled button takes no mouse, so it keeps its picture.
    f.Operation[0]->setEnabled(false);
    MoveOver(f.Operation[0]);
    EXPECT_EQ(f.Operation[0]->pictureId(), 178);
}

TEST_F(HoverTest, StartButtonShowsTheStartPairThenTheContinuePair)
{
    MainForm& f = *form;
    MoveOver(f.AnNiu[2]);
    EXPECT_EQ(f.AnNiu[2]->pictureId(), 155);
    MoveOver(f.Pic1);
    EXPECT_EQ(f.AnNiu[2]->pictureId(), 154);

    f.ShowStartButton(true);  // the first game was started
    EXPECT_EQ(f.AnNiu[2]->pictureId(), 156);
    MoveOver(f.AnNiu[2]);
    EXPECT_EQ(f.AnNiu[2]->pictureId(), 157);
    MoveOver(f.Pic1);
    EXPECT_EQ(f.AnNiu[2]->pictureId(), 156);

    // The small layout has its own pictures for both pairs.
    MainForm& small = Load({800, 600});
    MoveOver(small.AnNiu[2]);
    EXPECT_EQ(small.AnNiu[2]->pictureId(), 286);
    small.ShowStartButton(true);
    MoveOver(small.AnNiu[2]);
    EXPECT_EQ(small.AnNiu[2]->pictureId(), 288);
}

TEST_F(HoverTest, PhraseButtonsGoBackOverTheirPlateOnly)
{
    MainForm& f = *form;
    MoveOver(f.imgword1);
    MoveOver(f.imgword2);
    EXPECT_EQ(f.imgword1->pictureId(), 518);
    EXPECT_EQ(f.imgword2->pictureId(), 519);
    MoveOver(f.Pic1);
    EXPECT_EQ(f.imgword1->pictureId(), 518);
    MoveOver(f.imgLocation);
    EXPECT_EQ(f.imgword1->pictureId(), 516);
    EXPECT_EQ(f.imgword2->pictureId(), 517);
}

// A pointer that leaves fast, or jumps, sends no move over the background; the control's own
// leave puts its picture back all the same.
TEST_F(HoverTest, EveryHoverPictureGoesBackWhenThePointerLeavesItsControl)
{
    MainForm& f = *form;
    f.PicLocal[0]->show();
    f.PicLocal[2]->show();
    struct Case {
        const char* name;
        PictureBox* control;
    } cases[] = {{"toolbar", f.AnNiu[3]},      {"play button", f.Operation[1]}, {"phrase button", f.imgword2},
                 {"own video bar", f.ImCmd[1]}, {"other video bar", f.ImCmd[9]}};
    for (const Case& c : cases) {
        const int normal = c.control->pictureId();
        MoveOver(c.control);
        ASSERT_NE(c.control->pictureId(), normal) << c.name;
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(c.control, &leave);
        EXPECT_EQ(c.control->pictureId(), normal) << c.name;
    }
}

TEST_F(HoverTest, TheOwnBarsTipsSitBesideTheirButtonsAndGoWithThePointer)
{
    MainForm& f = *form;
    f.show();
    f.PicLocal[0]->show();
    const QStringList tips{"像册", "放大", "拍照", "月光宝盒"};
    for (int k = 0; k < 4; ++k) {
        MoveOver(f.ImCmd[k]);
        ASSERT_TRUE(f.Tiplbl->isVisible()) << k;
        EXPECT_EQ(f.Tiplbl->text(), tips[k]);
        // Level with its own button, just right of it.
        const QRect button(f.PicLocal[0]->pos() + f.ImCmd[k]->pos(), f.ImCmd[k]->size());
        EXPECT_TRUE(button.top() <= f.Tiplbl->geometry().center().y() && f.Tiplbl->geometry().center().y() <= button.bottom())
            << k;
        EXPECT_EQ(f.Tiplbl->x(), button.right() + 1) << k;
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(f.ImCmd[k], &leave);
        EXPECT_FALSE(f.Tiplbl->isVisible()) << k;
    }
    // The other players' bars offer their three buttons only: the fourth has no duty.
    for (int p = 1; p <= 3; ++p) {
        EXPECT_TRUE(f.ImCmd[4 * p + 2]->isVisibleTo(f.PicLocal[p])) << p;
        EXPECT_FALSE(f.ImCmd[4 * p + 3]->isVisibleTo(f.PicLocal[p])) << p;
    }
}

TEST_F(HoverTest, ThePlayerCardGoesWhenThePointerLeavesThePortraitAndTheCard)
{
    MainForm& f = *form;
    f.show();
    TableState.Players[1].nickname = "乙";
    QCursor::setPos(f.mapToGlobal(QPoint(2, 2)));  // somewhere off the card
    for (QWidget* left : {static_cast<QWidget*>(f.Tou[1]), static_cast<QWidget*>(f.vshow1[1])}) {
        MoveOver(f.Tou[1]);
        Information* card = InfoWindows::TheInformation();
        ASSERT_TRUE(card != nullptr && card->isVisible());
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(left, &leave);
        EXPECT_FALSE(card->isVisible()) << left->objectName().toStdString();
    }
    // Left for the card itself, which came up under the pointer.
    MoveOver(f.Tou[1]);
    Information* card = InfoWindows::TheInformation();
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(card, &leave);
    EXPECT_FALSE(card->isVisible());
}

TEST_F(HoverTest, TopBarHidesThePlayerCard)
{
    MainForm& f = *form;
    QWidget card;
    card.show();
    f.Information = &card;
    MoveOver(f.imgDinglan);
    EXPECT_FALSE(card.isVisible());
    f.Information = nullptr;
    MoveOver(f.imgDinglan);  // no card loaded: nothing to do
}

TEST_F(HoverTest, FrameButtonsNormalHighlightedPressed)
{
    MainForm& f = *form;
    ASSERT_TRUE(f.ImgClose[0]->isVisible());
    EXPECT_EQ(f.ImgClose[0]->pictureKey(), "ImgClose1");
    EXPECT_EQ(f.ImgMin[0]->pictureKey(), "ImgMin1");
    EXPECT_TRUE(f.FrameButtonsNormal);

    MoveOver(f.ImgClose[0]);
    EXPECT_EQ(f.ImgClose[0]->pictureKey(), "ImgClose2");
    EXPECT_FALSE(f.FrameButtonsNormal);
    // Straight on to the other button: it stays normal until the background was crossed.
    MoveOver(f.ImgMin[0]);
    EXPECT_EQ(f.ImgMin[0]->pictureKey(), "ImgMin1");

    Press(f.ImgClose[0]);
    EXPECT_EQ(f.ImgClose[0]->pictureKey(), "ImgClose3");
    // Released off the button: highlighted again, no exit.
    Release(f.ImgClose[0], QPoint(-20, 5));
    EXPECT_EQ(f.ImgClose[0]->pictureKey(), "ImgClose2");
    EXPECT_EQ(TestDoubles::Seen().endCalls, 0);

    MoveOver(f.LbMove);
    EXPECT_EQ(f.ImgClose[0]->pictureKey(), "ImgClose1");
    EXPECT_TRUE(f.FrameButtonsNormal);
    MoveOver(f.ImgMin[0]);
    EXPECT_EQ(f.ImgMin[0]->pictureKey(), "ImgMin2");
    // The window background puts both back, like the title strip.
    Send(&f, QEvent::MouseMove, Qt::NoButton, QPoint(2, 400));
    EXPECT_EQ(f.ImgMin[0]->pictureKey(), "ImgMin1");
    EXPECT_TRUE(f.FrameButtonsNormal);
}

TEST_F(HoverTest, FrameButtonClicks)
{
    MainForm& f = *form;
    Press(f.ImgMin[0]);
    Release(f.ImgMin[0], f.ImgMin[0]->rect().center());
    EXPECT_TRUE(f.windowState() & Qt::WindowMinimized);
    f.showNormal();

    // Close asks first: the exit confirmation comes up, and a second click takes it away.
    hall->posted.clear();
    Press(f.ImgClose[0]);
    Release(f.ImgClose[0], f.ImgClose[0]->rect().center());
    EXPECT_TRUE(ExitWindows::ExitShowing());
    Press(f.ImgClose[0]);
    Release(f.ImgClose[0], f.ImgClose[0]->rect().center());
    EXPECT_FALSE(ExitWindows::ExitShowing());
    EXPECT_TRUE(hall->posted.empty());
    EXPECT_EQ(TestDoubles::Seen().endCalls, 0);
}
