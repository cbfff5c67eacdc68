// Round results (command 9): the score board, the history of rounds and the table's figures.
#include <gtest/gtest.h>

#include <QScrollBar>
#include <QTemporaryDir>
#include <cmath>
#include <map>
#include <random>

#include "messages/ResultMessages.h"
#include "play/PlayFixture.h"
#include "resources/Pictures.h"
#include "session/Platform.h"
#include "session/TableWindow.h"
#include "session/Transport.h"
#include "table/TableState.h"
#include "ui/InfoWindows.h"
#include "ui/Layout.h"
#include "ui/Popups.h"
#include "ui/UiFixture.h"
#include "wire/Commands.h"
#include "wire/Fields.h"

namespace {

struct Result {
    uint8_t seatBit;
    uint8_t outcome;  // 1 win, 2 loss, 0 draw
    uint64_t total;
    uint64_t final;
    uint8_t place = 1;
    uint8_t levels = 0;
    uint8_t level = 3;
    uint8_t secondLine = 1;
    std::vector<std::pair<int, int>> remaining = {};  // suit bit, rank
};

Packet ResultPacket(const Result& r, uint32_t room = 100)
{
    using namespace Field::Result;
    Packet p = Wire::NewPacket(Command::RoundResult);
    p[Field::Seat] = r.seatBit;
    for (int i = 0; i < 4; ++i)
        p[static_cast<size_t>(RoomFigure + i)] = static_cast<uint8_t>(room >> (8 * (3 - i)));
    p[SecondLine] = r.secondLine;
    p[Currency] = 1;
    p[LevelsGained] = r.levels;
    p[Remaining] = static_cast<uint8_t>(r.remaining.size());
    for (size_t j = 0; j < r.remaining.size(); ++j) {
        p[RemainingCards + 4 * j] = static_cast<uint8_t>(r.remaining[j].first);
        p[RemainingCards + 1 + 4 * j] = static_cast<uint8_t>(r.remaining[j].second);
    }
    p[Place] = r.place;
    p[Outcome] = r.outcome;
    for (int i = 0; i < 8; ++i) {
        p[static_cast<size_t>(Total + i)] = static_cast<uint8_t>(r.total >> (8 * i));
        p[static_cast<size_t>(Final + i)] = static_cast<uint8_t>(r.final >> (8 * i));
    }
    p[PlayerLevel] = r.level;
    return p;
}

class ResultMessagesTest : public UiTest::TableInTempDirFixture {
protected:
    MainForm& Table()
    {
        MainForm& f = Load({1280, 1024});
        const uint8_t bits[4] = {1, 2, 4, 8};
        for (size_t pos = 0; pos < 4; ++pos) {
            TableState.Seats[pos].seatBit = bits[pos];
            TableState.Players[pos].coins = 1000;
            for (size_t m = 0; m < 14; ++m)
                TableState.Seats[pos].hand[m].ImageIndex = static_cast<int16_t>(m);
        }
        DisplayReset();
        TableState.Round.RoundRunning = true;
        return f;
    }

    static void Deliver(const Packet& p) { Transport::DeliverPacket(p); }

    // A round of two winners (one with the second score line, the longest a win writes) and
    // two losers: the board comes up with it.
    Score& PlayRound()
    {
        Table();
        // The names, as the seat messages put them on the board.
        const char* const names[4] = {"player1", "李桂兰", "刘晓燕", "张国栋"};
        for (size_t pos = 0; pos < 4; ++pos)
            InfoWindows::TheScore().ID[pos]->setText(QString::fromUtf8(names[pos]));
        Deliver(ResultPacket({1, 1, 300, 200, 1, 2, 5, 0}));
        Deliver(ResultPacket({2, 2, 300, 200, 2}));
        Deliver(ResultPacket({4, 1, 300, 200, 3, 2, 4}));
        Deliver(ResultPacket({8, 2, 300, 200, 4}));
        Score& score = InfoWindows::TheScore();
        EXPECT_TRUE(score.isVisible());
        return score;
    }
};

// Relative luminance and contrast ratio as the web accessibility guidelines define them.
double Luminance(const QColor& c)
{
    const auto linear = [](int v) {
        const double s = v / 255.0;
        return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(c.red()) + 0.7152 * linear(c.green()) + 0.0722 * linear(c.blue());
}

double Contrast(const QColor& a, const QColor& b)
{
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The colour most pixels of an area have: behind a line of text, its background.
QColor CommonColour(const QImage& image, const QRect& area)
{
    std::map<QRgb, int> counts;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            ++counts[image.pixel(x, y) | 0xff000000u];
    return QColor::fromRgb(std::max_element(counts.begin(), counts.end(), [](const auto& a, const auto& b) {
                               return a.second < b.second;
                           })->first);
}

bool HasPixelNear(const QImage& image, const QRect& area, const QColor& colour)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor p = image.pixelColor(x, y);
            if (std::abs(p.red() - colour.red()) + std::abs(p.green() - colour.green())
                    + std::abs(p.blue() - colour.blue()) < 40)
                return true;
        }
    return false;
}

}  // namespace

TEST(LevelNames, FirstToFortieth)
{
    const std::pair<int, const char*> names[] = {{1, "第一级"},   {9, "第九级"},     {10, "第十级"},
                                                 {11, "第十一级"}, {20, "第二十级"},  {21, "第二十一级"},
                                                 {30, "第三十级"}, {39, "第三十九级"}, {40, "第四十级"}};
    for (const auto& [level, name] : names)
        EXPECT_EQ(ResultMessages::LevelName(level), QString::fromUtf8(name)) << level;
}

TEST_F(ResultMessagesTest, TheFourthResultFillsTheBoardTheTableAndTheHistory)
{
    MainForm& f = Table();
    TableState.Round.BombsThisRound = 2;
    Score& score = InfoWindows::TheScore();
    Hero& hero = InfoWindows::TheHero();
    score.State[0]->addItem("left from before");

    const Packet results[4] = {
        ResultPacket({1, 1, 300, 200, 1, 2, 5, 0}),
        ResultPacket({2, 2, 300, 1500, 2, 0, 41, 1, {{8, 14}, {1, 5}}}),
        ResultPacket({4, 1, 300, 200, 3, 2, 4}),
        ResultPacket({8, 2, 0, 0, 4, 0, 2, 1, {{4, 17}}}, 250),
    };
    for (int k = 0; k < 3; ++k) {
        Deliver(results[k]);
        for (QListWidget* list : score.State)
            EXPECT_EQ(list->count(), 0);
        EXPECT_TRUE(TableState.Round.RoundRunning);
        EXPECT_EQ(hero.Num->count(), 0);
    }
    Deliver(results[3]);

    // The winner at position 0, with its second score line.
    EXPECT_EQ(UiTest::ListRows(score.State[0]),
              (QStringList{"房间条数：250金币", "", "第 1 名", "", "升 2 级", "炸弹数量：2", "翻  数： X 4", "", "",
                           "===================", "总分：300金币", "", "", "", "总分：200金币"}));
    EXPECT_EQ(UiTest::ListRows(score.State[4]), (QStringList{"最终分：200金币"}));
    EXPECT_EQ(score.ID[0]->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    // A loser who loses more than the coins, and a loss of 0.
    EXPECT_EQ(UiTest::ListRows(score.State[1]).mid(10), (QStringList{"总分：- 300金币", "", "", "", "总分：- 1500金币"}));
    EXPECT_EQ(UiTest::ListRows(score.State[5]), (QStringList{"最终分：- 1500金币"}));
    EXPECT_EQ(UiTest::ListRows(score.State[3]).mid(10), (QStringList{"总分： 0金币", "", "", "", "总分： 0金币"}));
    EXPECT_EQ(UiTest::ListRows(score.State[7]), (QStringList{"最终分： 0金币"}));
    EXPECT_EQ(score.ID[3]->palette().color(QPalette::WindowText), QColor(255, 255, 128));
    // The second winner has no second score line.
    EXPECT_EQ(UiTest::ListRows(score.State[2]).size(), 12);

    EXPECT_EQ(UiTest::ListRows(hero.Num), (QStringList{"           1"}));
    EXPECT_EQ(UiTest::ListRows(hero.Grade[0]), (QStringList{"200"}));
    EXPECT_EQ(UiTest::ListRows(hero.Grade[1]), (QStringList{"-1500"}));
    EXPECT_EQ(UiTest::ListRows(hero.Grade[3]), (QStringList{"0"}));
    EXPECT_EQ(hero.sunScore[1]->text(), "-1500");

    EXPECT_EQ(TableState.Players[0].coins, 1200);
    EXPECT_EQ(TableState.Players[0].wins, 1);
    EXPECT_EQ(TableState.Players[1].coins, 0);  // never below 0
    EXPECT_EQ(TableState.Players[1].losses, 1);
    EXPECT_EQ(f.Cash[1]->text(), "0金币");
    EXPECT_EQ(f.Level[0]->text(), "第五级");
    EXPECT_TRUE(f.Level[1]->text().isEmpty());  // level 41 leaves the label

    // The others' cards left in their hands, face up.
    EXPECT_EQ(TableState.Seats[1].CardCount, 2);
    EXPECT_TRUE(f.cardImage1[0]->isVisible());
    EXPECT_EQ(f.cardImage1[0]->pictureId(), Pictures::Tables().CardPictureIds[3 * 16 + 14]);

    EXPECT_FALSE(TableState.Round.RoundRunning);
    EXPECT_FALSE(TableState.Table.GameStarted);
    EXPECT_FALSE(f.AnNiuLatched[2]);
    EXPECT_EQ(SysmsgText(0), "请点击【继续】按钮继续游戏！");
    EXPECT_EQ(SysmsgText(1), "游戏将在15秒内开始");
    EXPECT_TRUE(Transport::State.TickTasks[Transport::ReadyClockTask].flag);
    EXPECT_EQ(TableState.Clock.ClockValue, 15);
    EXPECT_EQ(f.Time_Img->pos(), QPoint(750, 600));
    EXPECT_TRUE(score.isVisible());
    EXPECT_EQ(soundDevice->calls.filter("sys121.wav").size(), 1);

    // The history holds the board: brought back into emptied lists it reads the same.
    const QStringList before = UiTest::ListRows(score.State[0]);
    for (QListWidget* list : score.State)
        list->clear();
    InfoWindows::ShowRoundFromHistory(1);
    EXPECT_EQ(UiTest::ListRows(score.State[0]).size(), before.size());
    EXPECT_EQ(UiTest::ListRows(score.State[0])[2], "第 1 名");
    EXPECT_EQ(UiTest::ListRows(score.State[7]), (QStringList{"最终分： 0金币"}));
}

TEST_F(ResultMessagesTest, DrawsAndUnknownOutcomesAddOnlyTheirLines)
{
    Table();
    Deliver(ResultPacket({1, 0, 0, 50}));
    Deliver(ResultPacket({2, 3, 10, 10}));
    Deliver(ResultPacket({4, 0, 0, 50}));
    Deliver(ResultPacket({8, 3, 10, 10}));
    Score& score = InfoWindows::TheScore();
    EXPECT_EQ(UiTest::ListRows(score.State[0]).mid(11), (QStringList{"", "平局", ""}));
    EXPECT_EQ(UiTest::ListRows(InfoWindows::TheHero().Grade[0]), (QStringList{"平局"}));
    EXPECT_EQ(TableState.Table.RunningScore[0], -50);
    EXPECT_EQ(UiTest::ListRows(score.State[1]).size(), 11);  // the common lines only
    EXPECT_TRUE(UiTest::ListRows(score.State[5]).isEmpty());
    EXPECT_TRUE(InfoWindows::TheHero().Grade[1]->count() == 0);
    EXPECT_EQ(TableState.Players[1].coins, 1000);
    EXPECT_EQ(soundDevice->calls.filter("sys150.wav").size(), 1);
}

TEST_F(ResultMessagesTest, AResultTheTableCannotShowEndsIt)
{
    struct Case {
        const char* name;
        Packet last;
    } cases[] = {
        {"room figure beyond 32 bits signed", ResultPacket({8, 2, 0, 0}, 0x80000000u)},
        {"fifteen cards left", ResultPacket({8, 2, 0, 0, 4, 0, 2, 1, std::vector<std::pair<int, int>>(15, {1, 5})})},
    };
    for (const Case& c : cases) {
        Startup::ResetClient();
        Table();
        hall->posted.clear();
        TestDoubles::Seen() = {};
        Deliver(ResultPacket({1, 1, 0, 0}));
        Deliver(ResultPacket({2, 2, 0, 0}));
        Deliver(ResultPacket({4, 1, 0, 0}));
        Deliver(c.last);
        EXPECT_EQ(TestDoubles::Seen().endCalls, 1) << c.name;
        EXPECT_EQ(hall->posted, (std::vector<uint32_t>{61728})) << c.name;
        EXPECT_EQ(TableState.Table.RoundCount, 0) << c.name;
    }
}

// Whatever results the server sends, the client stays inside the packet and what it writes
// to the history reads back.
TEST_F(ResultMessagesTest, RandomResultsAreHandledSafely)
{
    Table();
    std::mt19937 random(11);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int n = 0; n < 80; ++n) {
        Packet p{};
        for (uint8_t& b : p)
            b = static_cast<uint8_t>(byte(random));
        p[3] = Command::RoundResult;
        p[Field::Result::RoomFigure] &= 0x7F;
        p[Field::Result::Remaining] %= 15;
        Deliver(p);
    }
    EXPECT_EQ(TableState.Table.RoundCount, 20);
    Score& score = InfoWindows::TheScore();
    const QStringList last = UiTest::ListRows(score.State[2]);
    for (QListWidget* list : score.State)
        list->clear();
    InfoWindows::ShowRoundFromHistory(20);
    EXPECT_EQ(UiTest::ListRows(score.State[2]).size(), last.size());
}

// Between rounds the free button is the continue button; the next deal closes the windows
// about the finished round, which would otherwise lie over the play buttons.
TEST_F(ResultMessagesTest, TheContinueButtonBetweenRoundsAndTheNextDealClosesTheRoundsWindows)
{
    MainForm& f = Table();
    f.show();
    TableState.Players[1].nickname = "乙";
    ASSERT_FALSE(f.StartButtonContinues);  // the user never pressed start: the server made it ready
    Deliver(ResultPacket({1, 1, 300, 200, 1, 2, 5, 0}));
    Deliver(ResultPacket({2, 2, 300, 200, 2}));
    Deliver(ResultPacket({4, 1, 300, 200, 3}));
    Deliver(ResultPacket({8, 2, 300, 200, 4}));
    EXPECT_TRUE(f.StartButtonContinues);
    EXPECT_EQ(f.AnNiu[2]->pictureId(),
              Pictures::Tables().ToolbarButtonPictures[static_cast<size_t>(Layout::AnNiuEntry(2, false, true))]);
    EXPECT_FALSE(f.AnNiuLatched[2]);

    Popups::Open(Popup::Hero);
    InfoWindows::PortraitHover(f, 1);
    for (Popup popup : {Popup::Score, Popup::Hero, Popup::Information})
        ASSERT_TRUE(Popups::Showing(popup)) << static_cast<int>(popup);
    Deliver(PlayTest::DealPacket({}));
    EXPECT_TRUE(TableState.Round.RoundRunning);
    for (Popup popup : {Popup::Score, Popup::Hero, Popup::Information})
        EXPECT_FALSE(Popups::Showing(popup)) << static_cast<int>(popup);
    // Still there for the asking.
    EXPECT_EQ(InfoWindows::TheHero().Num->count(), 1);
}

TEST_F(ResultMessagesTest, EveryNameReadsClearlyOnTheBoardAndTheWinnersInRed)
{
    Score& score = PlayRound();
    const QImage board = score.grab().toImage();
    for (size_t pos = 0; pos < 4; ++pos) {
        SCOPED_TRACE(pos);
        const QLabel* name = score.ID[pos];
        const QRect area(name->mapTo(&score, QPoint(0, 0)), name->size());
        const QColor text = name->palette().color(QPalette::WindowText);
        const QColor behind = CommonColour(board, area);
        EXPECT_TRUE(HasPixelNear(board, area, text)) << "the name is drawn in its colour";
        EXPECT_GE(Contrast(text, behind), 4.5) << text.name().toStdString() << " on " << behind.name().toStdString();
        if (pos == 0 || pos == 2) {
            EXPECT_TRUE(text.hue() <= 10 || text.hue() >= 350) << text.name().toStdString();
            EXPECT_GE(text.saturation(), 200);
        }
    }
}

TEST_F(ResultMessagesTest, TheBoardShowsEveryLineOfTheRoundWithoutScrolling)
{
    Score& score = PlayRound();
    for (size_t i = 0; i < 8; ++i) {
        SCOPED_TRACE(i);
        QListWidget* list = score.State[i];
        EXPECT_FALSE(list->verticalScrollBar()->isVisible());
        const QRect last = list->visualItemRect(list->item(list->count() - 1));
        EXPECT_TRUE(list->viewport()->rect().contains(last)) << list->count() << " rows";
    }
    EXPECT_EQ(score.State[0]->count(), 15);  // the longest a round writes
}
