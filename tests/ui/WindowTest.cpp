// The window itself: drawn frame, title strip, minimise and restore, focus, pop-up look.
#include <gtest/gtest.h>

#include <QCloseEvent>
#include <functional>
#include <memory>
#include <utility>

#include "chat/QuickPhrases.h"
#include "chat/Talk.h"
#include "resources/Pictures.h"
#include "sound/VosSet.h"
#include "table/TableState.h"
#include "ui/ChuPai.h"
#include "ui/ExitWindows.h"
#include "ui/Frame.h"
#include "ui/InfoWindows.h"
#include "ui/PopupLook.h"
#include "ui/UiFixture.h"

namespace {

using namespace UiTest;
class WindowTest : public TableFixture {};

// A window that counts the close requests it receives.
class CloseCounter : public QWidget {
public:
    int closes = 0;

protected:
    void closeEvent(QCloseEvent* event) override
    {
        ++closes;
        QWidget::closeEvent(event);
    }
};

}  // namespace

TEST(FrameValues, EightPiecesInTwips)
{
    const auto pieces = Frame::Pieces(QSizeF(15600, 11940));
    const QRectF expected[8][2] = {
        {{0, 0, 120, 300}, {0, 0, 120, 300}},
        {{120, 0, 15360, 300}, {120, 0, 120, 300}},
        {{15480, 0, 120, 300}, {570, 0, 120, 300}},
        {{0, 300, 120, 11520}, {0, 300, 120, 2880}},
        {{15480, 300, 120, 11520}, {570, 300, 120, 2880}},
        {{0, 11820, 120, 120}, {0, 3180, 120, 120}},
        {{120, 11820, 15360, 120}, {120, 3180, 120, 120}},
        {{15480, 11820, 120, 120}, {570, 3180, 120, 120}},
    };
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(pieces[i].destination, expected[i][0]) << i;
        EXPECT_EQ(pieces[i].source, expected[i][1]) << i;
    }
    const QRectF close = Frame::ClosePlace(QSizeF(15600, 11940), QSizeF(270, 240));
    EXPECT_EQ(close, QRectF(15260, 25, 270, 240));
    EXPECT_EQ(Frame::MinimisePlace(close, QSizeF(270, 240)), QRectF(14960, 25, 270, 240));
}

TEST_F(WindowTest, LargeWindowPaintsItsFrameFromTheSkin)
{
    MainForm& f = Load({1280, 1024});
    EXPECT_EQ(f.geometry(), QRect(0, 0, 1040, 796));
    EXPECT_EQ(f.Pic1->geometry(), QRect(8, 20, 1024, 768));
    EXPECT_EQ(f.LbMove->geometry(), QRect(0, 0, 1040, 20));
    EXPECT_EQ(f.ImgClose[0]->geometry(), QRect(1017, 2, 18, 16));
    EXPECT_EQ(f.ImgMin[0]->geometry(), QRect(997, 2, 18, 16));
    EXPECT_TRUE(f.ImgClose[0]->isVisible());
    EXPECT_EQ(f.ImgIcon->geometry(), QRect(3, 3, 16, 16));
    EXPECT_TRUE(f.ImgIcon->isVisible());
    EXPECT_TRUE(f.LbMove->text().contains(QStringLiteral("奎乐棋牌")));

    // The frame's pixels are the skin's: the sides are the skin's side columns stretched
    // down, the corners the skin's corners. Only the skin's opaque pixels are compared; its
    // gold line differs from the window's own colour, so an unpainted frame fails.
    const QImage shot = f.grab().toImage();
    const QImage skin = Pictures::PictureByKey(QStringLiteral("skin")).toImage();
    ASSERT_EQ(skin.size(), QSize(46, 220));
    struct Probe {
        QPoint window, skin;
    };
    std::vector<Probe> probes;
    for (int x = 0; x < 8; ++x) {
        probes.push_back({{x, 400}, {x, 115}});              // left edge
        probes.push_back({{1032 + x, 400}, {38 + x, 115}});  // right edge
        probes.push_back({{x, 790}, {x, 214}});              // bottom-left corner
        probes.push_back({{500, 788 + x}, {12, 212 + x}});   // bottom edge
    }
    int distinct = 0;
    for (const Probe& p : probes) {
        const QRgb expected = skin.pixel(p.skin);
        if (qAlpha(expected) != 255)
            continue;
        EXPECT_EQ(shot.pixel(p.window), expected) << p.window.x() << "," << p.window.y();
        if (QColor(expected) != f.palette().color(QPalette::Window))
            ++distinct;
    }
    EXPECT_GE(distinct, 4);

    // The small window fills the screen and has no frame and no title strip.
    MainForm& small = Load({800, 600});
    EXPECT_EQ(small.geometry(), QRect(0, 0, 800, 600));
    EXPECT_FALSE(small.Framed);
    EXPECT_FALSE(small.LbMove->isVisible());
    EXPECT_FALSE(small.ImgClose[0]->isVisible());
}

TEST_F(WindowTest, RestoringLeavesTheF1StateAndPushesTheHallAside)
{
    struct Case {
        bool autoPlay;
        int16_t turnSecondsAfter;
    } cases[] = {{true, 1}, {false, 20}};
    MainForm& f = Load({1280, 1024});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.autoPlay);
        TableState.Clock.AutoPlay = c.autoPlay;
        TableState.Clock.ShortClock = true;
        TableState.Clock.Hidden = true;
        TableState.Clock.TurnSeconds = 20;
        TableState.Clock.TimeoutCount = 2;
        f.showMinimized();
        hall->posted.clear();
        // Minimised, nothing of this happens.
        EXPECT_EQ(TableState.Clock.TimeoutCount, 2);
        f.showNormal();
        EXPECT_EQ(hall->posted, (std::vector<uint32_t>{HallMessage::Minimize}));
        EXPECT_EQ(TableState.Clock.AutoPlay, false);
        EXPECT_EQ(TableState.Clock.ShortClock, !c.autoPlay);
        EXPECT_EQ(TableState.Clock.Hidden, !c.autoPlay);
        EXPECT_EQ(TableState.Clock.TurnSeconds, c.turnSecondsAfter);
        EXPECT_EQ(TableState.Clock.TimeoutCount, 0);
    }

    // With the hall gone, restoring the table ends the client.
    hall->present = false;
    f.showMinimized();
    f.showNormal();
    EXPECT_EQ(TestDoubles::Seen().endCalls, 1);
}

TEST_F(WindowTest, MinimisingClosesTheVideoZoomWindows)
{
    MainForm& f = Load({1280, 1024});
    CloseCounter own, remote;
    own.show();
    f.ZoomWindows[0] = &own;
    f.ZoomWindows[2] = &remote;  // loaded but not shown: left alone
    f.showMinimized();
    // Closed, not only hidden: a zoom window unloads itself when it is closed.
    EXPECT_FALSE(own.isVisible());
    EXPECT_EQ(own.closes, 1);
    EXPECT_EQ(remote.closes, 0);
    f.ZoomWindows = {};
}

TEST_F(WindowTest, ActivationGivesTheChatLineTheKeyboard)
{
    MainForm& f = Load({1280, 1024});
    QWidget other;
    other.show();
    QApplication::setActiveWindow(&other);
    QApplication::setActiveWindow(&f);
    EXPECT_TRUE(f.isActiveWindow());
    EXPECT_TRUE(f.Chat->hasFocus());
}

TEST_F(WindowTest, TitleStripDragsTheWindowAndHidesChatAndPhrases)
{
    MainForm& f = Load({1280, 1024});
    QWidget talk, phrases;
    talk.show();
    phrases.show();
    f.Talk = &talk;
    f.huifu = &phrases;
    const QPoint start = f.pos();
    Press(f.LbMove);
    EXPECT_FALSE(talk.isVisible());
    EXPECT_FALSE(phrases.isVisible());
    EXPECT_EQ(f.LbMove->cursor().shape(), Qt::SizeAllCursor);

    // No window manager moves the window here: the strip follows the pointer itself.
    const QPoint grab = f.LbMove->rect().center();
    QMouseEvent drag(QEvent::MouseMove, QPointF(grab + QPoint(30, 20)),
                     QPointF(f.LbMove->mapToGlobal(grab) + QPoint(30, 20)), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(f.LbMove, &drag);
    EXPECT_EQ(f.pos(), start + QPoint(30, 20));
    Release(f.LbMove, grab);
    MoveOver(f.LbMove);
    EXPECT_EQ(f.LbMove->cursor().shape(), Qt::ArrowCursor);
    f.Talk = nullptr;
    f.huifu = nullptr;
}

namespace {

// Every pop-up of the table, as its own code builds it (the sound settings are checked with
// the rest of their window in VosSetTest).
std::vector<std::pair<const char*, std::function<QWidget*()>>> TablePopups()
{
    return {
        {"score board", [] { return new Score; }},
        {"history", [] { return new Hero; }},
        {"player card", [] { return new Information; }},
        {"exit", [] { return new frmExit; }},
        {"notice", [] { return new frmOtherExit; }},
        {"illegal play", [] { return new ChuPai; }},
        {"chat history", [] { return new Talk; }},
        {"quick phrases", [] { return new huifu; }},
    };
}

}  // namespace

TEST(PopupLook, PopUpsAre200Of255Opaque)
{
    for (const auto& [name, make] : TablePopups()) {
        const std::unique_ptr<QWidget> popup(make());
        EXPECT_EQ(qRound(popup->windowOpacity() * 255), 200) << name;
    }
}

TEST(PopupLook, PopUpsStayOverTheTable)
{
    for (const auto& [name, make] : TablePopups()) {
        const std::unique_ptr<QWidget> popup(make());
        EXPECT_TRUE(popup->windowFlags() & Qt::WindowStaysOnTopHint) << name;
    }
}

TEST_F(WindowTest, HallAskingToConnectAgainFreesTheStartButtonAndStopsTheClock)
{
    for (const QSize screen : {QSize(1280, 1024), QSize(800, 600)}) {
        MainForm& f = Load(screen);
        const int startPicture = screen.width() > 1000 ? 154 : 285;
        EXPECT_TRUE(f.AnNiuLatched[2]);  // latched by the layout
        f.ShowStartButton(true);
        f.Time_Img->show();
        f.Number->show();
        HallLink::OnHallMessage(HallMessage::Connect);
        EXPECT_FALSE(f.AnNiuLatched[2]);
        EXPECT_EQ(f.AnNiu[2]->pictureId(), startPicture);
        EXPECT_FALSE(f.StartButtonContinues);
        EXPECT_FALSE(f.Time_Img->isVisible());
        EXPECT_FALSE(f.Number->isVisible());
    }
}

TEST_F(WindowTest, SettingsButtonOpensAndClosesTheSoundSettings)
{
    MainForm& f = Load({1280, 1024});
    Press(f.AnNiu[3]);
    ASSERT_NE(TheVosSet(), nullptr);
    EXPECT_TRUE(TheVosSet()->isVisible());
    Press(f.AnNiu[3]);
    EXPECT_FALSE(TheVosSet()->isVisible());
    UnloadVosSet();
}
