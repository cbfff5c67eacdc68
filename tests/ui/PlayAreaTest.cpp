// Windows the table opens keep off the hand and the play buttons, at both table sizes; zoom
// windows move by their pictures and change size where the player has them.
#include <gtest/gtest.h>

#include "chat/Talk.h"
#include "play/PlayerActions.h"
#include "ui/PlayArea.h"
#include "ui/UiFixture.h"
#include "video/ZoomWindows.h"

namespace {

class PlayAreaTest : public UiTest::TableFixture {
protected:
    MainForm& Shown(QSize screen)
    {
        MainForm& f = Load(screen);
        f.show();
        return f;
    }

    // What covers the hand or a play button, as text for the failure message.
    static std::string Covered(const MainForm& f, const QWidget& window)
    {
        std::string covered;
        for (const QRect& r : PlayArea::Rects(f))
            if (window.frameGeometry().intersects(r))
                covered += " [" + std::to_string(r.x()) + "," + std::to_string(r.y()) + " " + std::to_string(r.width())
                           + "x" + std::to_string(r.height()) + "]";
        return covered;
    }
};

}  // namespace

TEST_F(PlayAreaTest, TheChatHistoryAndTheZoomWindowsOpenBesideTheHandAtBothSizes)
{
    for (QSize screen : {QSize(1280, 1024), QSize(800, 600)}) {
        MainForm& f = Shown(screen);
        const std::string size = std::to_string(screen.width());
        PlayerActions::AnNiuClick(1);  // 聊天
        QWidget* talk = TalkWindow::Loaded();
        ASSERT_TRUE(talk != nullptr && talk->isVisible()) << size;
        EXPECT_EQ(Covered(f, *talk), "") << size << " chat history";
        EXPECT_TRUE(f.frameGeometry().contains(talk->frameGeometry())) << size;
        for (int zoom = 0; zoom <= 3; ++zoom) {
            ZoomWindows::ToggleZoom(zoom);
            const frmZoom* window = ZoomWindows::Zoom(zoom);
            ASSERT_NE(window, nullptr);
            EXPECT_EQ(Covered(f, *window), "") << size << " zoom window " << zoom;
            ZoomWindows::UnloadZoom(zoom);
        }
        TalkWindow::Hide();
    }
}

TEST_F(PlayAreaTest, AWindowAlreadyClearStaysAndOneOverTheHandMovesTheLeast)
{
    MainForm& f = Shown({1280, 1024});
    const QRect top(f.frameGeometry().topLeft() + QPoint(300, 200), QSize(200, 150));
    EXPECT_EQ(PlayArea::PlaceClear(f, top), top.topLeft());

    // Over the middle of the hand: lifted straight up just clear of it and of the buttons
    // above it, not sent across the table.
    const QRect hand = PlayArea::Rects(f)[0];
    const QRect over(QPoint(hand.center().x() - 100, hand.top() + 10), QSize(200, 150));
    const QPoint moved = PlayArea::PlaceClear(f, over);
    EXPECT_EQ(moved.x(), over.x());
    EXPECT_LT(moved.y(), over.y());
    const auto clear = [&f](const QRect& r) {
        for (const QRect& area : PlayArea::Rects(f))
            if (r.intersects(area))
                return false;
        return true;
    };
    EXPECT_TRUE(clear(QRect(moved, over.size())));
    EXPECT_FALSE(clear(QRect(moved + QPoint(0, 10), over.size())));  // snug
}

TEST_F(PlayAreaTest, AZoomWindowMovesByItsPictureAndChangesSizeWhereItIs)
{
    Shown({1280, 1024});
    ZoomWindows::ToggleZoom(1);
    frmZoom* window = ZoomWindows::Zoom(1);
    ASSERT_NE(window, nullptr);
    const QPoint from = window->pos();
    // A press on the picture, which covers the window, and a move with the button held.
    for (QWidget* handle : {static_cast<QWidget*>(window->Back), static_cast<QWidget*>(window->vshow1)}) {
        const QPoint start = window->pos();
        const QPoint at = handle->rect().center();
        UiTest::Send(handle, QEvent::MouseButtonPress, Qt::LeftButton, at);
        UiTest::Send(handle, QEvent::MouseMove, Qt::LeftButton, at + QPoint(30, 20));
        UiTest::Release(handle, at + QPoint(30, 20));
        EXPECT_EQ(window->pos(), start + QPoint(30, 20)) << handle->metaObject()->className();
    }
    EXPECT_NE(window->pos(), from);

    // Shrinking and enlarging keep the top right corner, where the buttons are.
    const QPoint corner = window->frameGeometry().topRight();
    ZoomWindows::ZoomButton(1, 2);
    EXPECT_EQ(window->CurrentSize(), frmZoom::Size::Small);
    EXPECT_EQ(window->frameGeometry().topRight(), corner);
    ZoomWindows::ZoomButton(1, 1);
    ZoomWindows::ZoomButton(1, 1);
    EXPECT_EQ(window->CurrentSize(), frmZoom::Size::Large);
    EXPECT_EQ(window->frameGeometry().topRight(), corner);
}
