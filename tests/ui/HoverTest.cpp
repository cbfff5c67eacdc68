// Pictures under the mouse: toolbar, play and phrase buttons, and the frame buttons.
#include <gtest/gtest.h>

#include "ui/ExitWindows.h"
#include "ui/UiFixture.h"

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
