// The score board, the history and the player card: loading past rounds from the history
// file, keeping the history's rows side by side, placing the windows, the card's values.
#include <gtest/gtest.h>

#include <QListWidget>
#include <QScrollBar>
#include <QTemporaryDir>

#include "resources/Pictures.h"
#include "session/IniFile.h"
#include "session/Platform.h"
#include "table/TableState.h"
#include "ui/InfoWindows.h"
#include "ui/PictureLoad.h"
#include "ui/Popups.h"
#include "ui/UiFixture.h"

namespace {

using namespace UiTest;

class InfoWindowsTest : public TableInTempDirFixture {
protected:
    void SetUp() override
    {
        TableInTempDirFixture::SetUp();
        history.setINIFileName(dir.filePath(QStringLiteral("info.hm")));
    }

    // Start-up connects the windows to the table; the client's reset unloads them.
    MainForm& LoadTable(QSize screen = {1280, 1024}) { return Load(screen); }

    // Stores one list of a round the way the result handling writes it.
    void StoreList(int round, int list, const QString& count, const QStringList& rows)
    {
        const QString section = QStringLiteral("juNum:%1").arg(round);
        const QString key = QStringLiteral("count( %1 )").arg(list);
        history.WriteIniKey(section, key, count);
        for (int j = 0; j < rows.size(); ++j)
            history.WriteIniKey(section, key + QStringLiteral("( %1 )").arg(j), rows[j]);
    }

    classIniFile history;
};

void Fill(QListWidget* list, int rows, const QString& prefix = QStringLiteral("old"))
{
    list->clear();
    for (int j = 0; j < rows; ++j)
        list->addItem(prefix + QString::number(j));
}

int TopRow(const QListWidget* list)
{
    return list->indexAt(QPoint(1, 1)).row();
}

QPoint RowCentre(QListWidget* list, int row)
{
    return list->visualItemRect(list->item(row)).center();
}

// A click on a row, as the mouse makes it: press and release, and for a double click a
// second press that arrives as a double click.
void ClickRow(QListWidget* list, int row, bool twice = false)
{
    QWidget* viewport = list->viewport();
    const QPoint at = RowCentre(list, row);
    Send(viewport, QEvent::MouseButtonPress, Qt::LeftButton, at);
    Send(viewport, QEvent::MouseButtonRelease, Qt::LeftButton, at);
    if (twice) {
        Send(viewport, QEvent::MouseButtonDblClick, Qt::LeftButton, at);
        Send(viewport, QEvent::MouseButtonRelease, Qt::LeftButton, at);
    }
}

// Where a window centred over the table picture stands on the screen.
QPoint CentredOverTable(const MainForm& f, const QWidget* window)
{
    const QSize room = f.Pic1->size() - window->size();
    return f.frameGeometry().topLeft() + f.Pic1->pos() + QPoint(room.width() / 2, room.height() / 2);
}

}  // namespace

TEST_F(InfoWindowsTest, DoubleClickOnAHistoryRowShowsThatRoundInTheScoreBoard)
{
    LoadTable();
    StoreList(2, 1, QStringLiteral("1"), {QStringLiteral("第 2 名")});
    StoreList(3, 1, QStringLiteral("2"), {QStringLiteral("第 1 名"), QStringLiteral("升 2 级")});
    StoreList(3, 5, QStringLiteral("1"), {QStringLiteral("最终分：200金币")});

    Hero& hero = InfoWindows::TheHero();
    Fill(hero.Num, 4);
    for (QListWidget* grade : hero.Grade)
        Fill(grade, 4);
    Popups::Toggle(Popup::Hero);
    ASSERT_TRUE(hero.isVisible());

    struct Case {
        QListWidget* list;
        int row;
        QStringList details;
    };
    const Case cases[] = {
        {hero.Num, 2, {QStringLiteral("第 1 名"), QStringLiteral("升 2 级")}},
        {hero.Grade[3], 1, {QStringLiteral("第 2 名")}},
    };
    for (const Case& c : cases) {
        InfoWindows::TheScore().hide();
        ClickRow(c.list, c.row, true);
        Score& score = InfoWindows::TheScore();
        EXPECT_TRUE(score.isVisible()) << c.row;
        EXPECT_EQ(ListRows(score.State[1]), c.details) << c.row;
    }
    EXPECT_EQ(ListRows(InfoWindows::TheScore().State[5]), QStringList{QStringLiteral("最终分：200金币")});
}

TEST_F(InfoWindowsTest, ScoreColumnsScrollTogetherOrNotAtAll)
{
    LoadTable();
    Score& score = InfoWindows::TheScore();
    InfoWindows::ShowScore();
    // A round from an edited history: one column longer than a round writes.
    StoreList(1, 2, QStringLiteral("40"), {});
    for (int i : {0, 1, 3})
        StoreList(1, i, QStringLiteral("4"), {});
    // What a bar takes from a column's rows.
    const auto taken = [](const QListWidget* list) { return list->width() - list->viewport()->width(); };
    const auto expectEven = [&](bool bars) {
        for (size_t i = 0; i < 4; ++i) {
            EXPECT_EQ(score.State[i]->verticalScrollBar()->isVisible(), bars) << i;
            EXPECT_EQ(taken(score.State[i]), taken(score.State[0])) << i;
        }
    };
    InfoWindows::ShowRoundFromHistory(1);
    expectEven(true);
    // The long column still scrolls to its end.
    QListWidget* longest = score.State[2];
    longest->scrollToBottom();
    EXPECT_TRUE(longest->viewport()->rect().contains(longest->visualItemRect(longest->item(39))));

    StoreList(2, 2, QStringLiteral("4"), {});
    InfoWindows::ShowRoundFromHistory(2);
    expectEven(false);
}

TEST_F(InfoWindowsTest, StoredCountsSetTheRowsOfAList)
{
    LoadTable();
    QListWidget* list = InfoWindows::TheScore().State[6];
    const QStringList spaces1000(1000, QStringLiteral(" "));
    struct Case {
        const char* count;  // nullptr: the round stores no count for the list
        int rowsBefore;
        QStringList stored;
        QStringList shown;
    };
    const Case cases[] = {
        // Fewer rows than the list has: rows go from its end; an empty entry and a missing
        // one show as a space.
        {"3", 5, {QStringLiteral("炸弹数量：1"), QString()}, {QStringLiteral("炸弹数量：1"), " ", " "}},
        {"2", 1, {QStringLiteral("a"), QStringLiteral("b")}, {"a", "b"}},
        {nullptr, 3, {}, {"old0", "old1", "old2"}},
        // Edited by hand: nothing that is not a plain count may break the client.
        {"abc", 3, {}, {}},
        {"-4", 3, {}, {}},
        {"2x", 3, {}, {}},
        {"99999999999999999999", 0, {}, spaces1000},
        {"1e300", 2, {}, spaces1000},
    };
    int round = 0;
    for (const Case& c : cases) {
        ++round;
        if (c.count != nullptr)
            StoreList(round, 6, QString::fromLatin1(c.count), c.stored);
        else
            StoreList(round, 0, QStringLiteral("1"), {});
        Fill(list, c.rowsBefore);
        InfoWindows::ShowRoundFromHistory(round);
        EXPECT_EQ(ListRows(list), c.shown) << (c.count ? c.count : "no count");
    }

    // Round numbers from 1 only.
    StoreList(0, 6, QStringLiteral("1"), {QStringLiteral("x")});
    Fill(list, 2);
    InfoWindows::ShowRoundFromHistory(0);
    InfoWindows::ShowRoundFromHistory(-1);
    EXPECT_EQ(ListRows(list), (QStringList{"old0", "old1"}));
}

TEST_F(InfoWindowsTest, HistoryRowsStayAlignedAfterAClick)
{
    LoadTable();
    Hero& hero = InfoWindows::TheHero();
    constexpr int Rounds = 30;
    for (int r = 1; r <= Rounds; ++r)
        hero.Num->addItem(QString::number(r).rightJustified(12, QLatin1Char(' ')));
    // Figures in some rows, Chinese text in others, beginning differently in each list.
    for (size_t k = 0; k < 4; ++k)
        for (int r = 0; r < Rounds; ++r)
            hero.Grade[k]->addItem((r + int(k)) % 3 == 0 ? QStringLiteral("平局") : QStringLiteral("-200"));
    InfoWindows::ToggleHero();
    ASSERT_TRUE(hero.isVisible());

    // Opened at the latest rounds.
    for (QListWidget* grade : hero.Grade) {
        EXPECT_EQ(grade->verticalScrollBar()->value(), grade->verticalScrollBar()->maximum());
        EXPECT_GT(grade->verticalScrollBar()->maximum(), 10);
        EXPECT_TRUE(grade->viewport()->rect().contains(RowCentre(grade, Rounds - 1)));
    }

    // Num scrolled on its own, then a click: the grades take its row and its top row.
    hero.Num->verticalScrollBar()->setValue(10);
    ASSERT_EQ(TopRow(hero.Num), 10);
    ClickRow(hero.Num, 12);
    const auto level = [&hero](QListWidget* list, int row) {
        return list->viewport()->mapTo(&hero, list->visualItemRect(list->item(row)).topLeft()).y();
    };
    for (QListWidget* grade : hero.Grade) {
        EXPECT_EQ(grade->currentRow(), 12) << grade->objectName().toStdString();
        EXPECT_EQ(TopRow(grade), 10) << grade->objectName().toStdString();
        // Side by side on the screen, not just by number.
        EXPECT_EQ(level(grade, 12), level(hero.Num, 12)) << grade->objectName().toStdString();
        EXPECT_EQ(level(grade, 20), level(hero.Num, 20)) << grade->objectName().toStdString();
    }

    // One grade scrolled, then a click on it: Num and the other grades follow it.
    hero.Grade[2]->verticalScrollBar()->setValue(4);
    ClickRow(hero.Grade[2], 6);
    for (QListWidget* list : {hero.Num, hero.Grade[0], hero.Grade[1], hero.Grade[2], hero.Grade[3]}) {
        EXPECT_EQ(list->currentRow(), 6) << list->objectName().toStdString();
        EXPECT_EQ(TopRow(list), 4) << list->objectName().toStdString();
    }
}

TEST_F(InfoWindowsTest, HistoryOpensAtTheLatestRoundBesideItsNumbersAndKeepsThePlayersPlace)
{
    MainForm& f = LoadTable();
    Hero& hero = InfoWindows::TheHero();
    const auto addRound = [&hero] {
        hero.Num->addItem(QString::number(hero.Num->count() + 1).rightJustified(12, QLatin1Char(' ')));
        for (QListWidget* grade : hero.Grade)
            grade->addItem(QStringLiteral("-200"));
    };
    for (int r = 0; r < 30; ++r)
        addRound();
    // Where a row stands in the window: rows of one round side by side have one height.
    const auto level = [&hero](QListWidget* list, int row) {
        return list->viewport()->mapTo(&hero, list->visualItemRect(list->item(row)).topLeft()).y();
    };
    const auto expectSideBySide = [&](int row, int top, const char* when) {
        for (QListWidget* grade : hero.Grade) {
            EXPECT_EQ(TopRow(grade), top) << when << " " << grade->objectName().toStdString();
            EXPECT_EQ(level(grade, row), level(hero.Num, row)) << when << " " << grade->objectName().toStdString();
        }
        EXPECT_EQ(TopRow(hero.Num), top) << when;
    };

    Press(f.AnNiu[6]);
    ASSERT_TRUE(hero.isVisible());
    const int latestTop = TopRow(hero.Num);
    EXPECT_GT(latestTop, 10);
    EXPECT_TRUE(hero.Num->viewport()->rect().contains(RowCentre(hero.Num, 29)));
    expectSideBySide(29, latestTop, "opened");

    // The player goes back to an early round and closes the history: it opens there again.
    hero.Num->verticalScrollBar()->setValue(3);
    ClickRow(hero.Num, 5);
    Press(f.AnNiu[6]);
    ASSERT_FALSE(hero.isVisible());
    Press(f.AnNiu[6]);
    expectSideBySide(5, 3, "opened again");

    // A round played meanwhile: it opens at that round.
    Press(f.AnNiu[6]);
    addRound();
    Press(f.AnNiu[6]);
    EXPECT_TRUE(hero.Num->viewport()->rect().contains(RowCentre(hero.Num, 30)));
    expectSideBySide(30, latestTop + 1, "after a round");
}

TEST_F(InfoWindowsTest, HistoryButtonClosesTheHistoryOnly)
{
    MainForm& f = LoadTable();
    Score& score = InfoWindows::TheScore();
    Hero& hero = InfoWindows::TheHero();
    StoreList(1, 0, QStringLiteral("1"), {QStringLiteral("第 1 名")});
    Fill(hero.Num, 1);

    // Opening the history puts the score board away.
    Press(f.AnNiu[5]);
    Press(f.AnNiu[6]);
    EXPECT_TRUE(hero.isVisible());
    EXPECT_FALSE(score.isVisible());

    // A round brought back from the history, then the history closed by its button: the
    // round stays up.
    ClickRow(hero.Num, 0, true);
    ASSERT_TRUE(score.isVisible());
    Press(f.AnNiu[6]);
    EXPECT_FALSE(hero.isVisible());
    EXPECT_TRUE(score.isVisible());
}

TEST_F(InfoWindowsTest, PlayerCardOpensBesideThePortrait)
{
    struct Case {
        QSize screen;
        int position;
        double below;  // of the window height, below the table's top
        int across;    // thirds of the window width, from the table's left
    };
    const Case cases[] = {
        {{1280, 1024}, 0, 0.42, 0},
        {{800, 600}, 0, 0.30, 0},
        {{1280, 1024}, 1, 0.11, 0},
        {{1280, 1024}, 3, 0.11, 2},
        {{800, 600}, 2, 0.11, 1},
    };
    for (const Case& c : cases) {
        MainForm& f = LoadTable(c.screen);
        TableState.Players[static_cast<size_t>(c.position)].nickname = QStringLiteral("小明");
        MoveOver(f.Tou[static_cast<size_t>(c.position)]);
        Information* card = InfoWindows::TheInformation();
        ASSERT_NE(card, nullptr);
        EXPECT_TRUE(card->isVisible());
        const QRect window = f.frameGeometry();
        const QPoint table = window.topLeft() + f.Pic1->pos();
        EXPECT_EQ(card->pos(), table + QPoint(c.across * window.width() / 3, qRound(c.below * window.height())))
            << c.screen.width() << " " << c.position;
        TableState.Players[static_cast<size_t>(c.position)].nickname.clear();
    }
}

TEST_F(InfoWindowsTest, PlayerCardOnlyForTakenSeatsAndUntilTheTopBar)
{
    MainForm& f = LoadTable();
    // An empty seat shows nothing.
    MoveOver(f.Tou[2]);
    EXPECT_TRUE(InfoWindows::TheInformation() == nullptr || !InfoWindows::TheInformation()->isVisible());

    TableState.Players[1].nickname = QStringLiteral("东家");
    TableState.Players[3].nickname = QStringLiteral("西家");
    MoveOver(f.Tou[1]);
    Information* card = InfoWindows::TheInformation();
    ASSERT_NE(card, nullptr);
    const QPoint first = card->pos();
    // While it is up, another portrait does not take it over.
    MoveOver(f.Tou[3]);
    EXPECT_EQ(card->pos(), first);
    EXPECT_EQ(card->Inf[0]->text(), QStringLiteral("东家"));

    MoveOver(f.imgDinglan);
    EXPECT_FALSE(card->isVisible());
    MoveOver(f.Tou[3]);
    EXPECT_TRUE(card->isVisible());
    EXPECT_EQ(card->Inf[0]->text(), QStringLiteral("西家"));

    // Unloaded by the F1 action: the top bar no longer reaches it.
    Popups::Unload(Popup::Information);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(InfoWindows::TheInformation(), nullptr);
    EXPECT_EQ(f.Information, nullptr);
    MoveOver(f.imgDinglan);
}

TEST_F(InfoWindowsTest, PlayerCardValues)
{
    MainForm& f = LoadTable();
    PlayerRecord& player = TableState.Players[2];
    player.nickname = QStringLiteral("张三丰");
    player.sex = 1;
    player.area = QStringLiteral("湖北 武当");
    player.points = 12345678901.0;
    player.credit = 1000000.0;
    player.logins = 321;
    player.disconnects = 4;
    player.wins = 150;
    player.losses = 97;
    MoveOver(f.Tou[2]);
    Information* card = InfoWindows::TheInformation();
    ASSERT_NE(card, nullptr);
    const QStringList expected = {QStringLiteral("张三丰"), QStringLiteral("男"), QStringLiteral("湖北 武当"),
                                  "12345678901", "1000000", "321", "4", "150", "97"};
    const QStringList captions = {QStringLiteral("玩家昵称"), QStringLiteral("性    别"), QStringLiteral("所 在 地"),
                                  QStringLiteral("积    分"), QStringLiteral("信 用 度"), QStringLiteral("登录次数"),
                                  QStringLiteral("掉线次数"), QStringLiteral("胜场次数"), QStringLiteral("败场次数")};
    for (size_t i = 0; i < 9; ++i) {
        const QLabel* value = card->Inf[i];
        EXPECT_EQ(value->text(), expected[static_cast<qsizetype>(i)]) << i;
        EXPECT_EQ(card->Caption[i]->text(), captions[static_cast<qsizetype>(i)]) << i;
        EXPECT_EQ(value->font().pointSize(), 12) << i;
        EXPECT_FALSE(value->autoFillBackground()) << i;
        EXPECT_GE(value->width(), value->sizeHint().width()) << i;
        EXPECT_TRUE(card->rect().contains(value->geometry())) << i;
    }

    MoveOver(f.imgDinglan);
    player.sex = 0;
    MoveOver(f.Tou[2]);
    EXPECT_EQ(card->Inf[1]->text(), QStringLiteral("女"));
}

TEST_F(InfoWindowsTest, ToolbarOpensScoreAndHeroOverTheTable)
{
    MainForm& f = LoadTable();
    Score& score = InfoWindows::TheScore();
    Hero& hero = InfoWindows::TheHero();

    Press(f.AnNiu[5]);
    EXPECT_TRUE(score.isVisible());
    EXPECT_EQ(score.pos(), CentredOverTable(f, &score));
    EXPECT_FALSE(score.isModal());
    Press(f.AnNiu[5]);
    EXPECT_FALSE(score.isVisible());

    Press(f.AnNiu[6]);
    EXPECT_TRUE(hero.isVisible());
    EXPECT_EQ(hero.pos(), CentredOverTable(f, &hero));
    EXPECT_TRUE(Popups::Showing(Popup::Hero));

    // The close pictures.
    Press(hero.Image1);
    EXPECT_FALSE(hero.isVisible());
    InfoWindows::ShowScore();
    Press(score.Image1);
    EXPECT_FALSE(score.isVisible());
}

TEST_F(InfoWindowsTest, LeftPressOnTheBodyDragsTheWindow)
{
    LoadTable();
    for (QWidget* window : {static_cast<QWidget*>(&InfoWindows::TheScore()), static_cast<QWidget*>(&InfoWindows::TheHero())}) {
        window->show();
        const QPoint start = window->pos();
        const QPoint grip = start + QPoint(4, window->height() - 4);  // the lower margin
        auto send = [window](QEvent::Type type, QPoint global, Qt::MouseButtons held) {
            QMouseEvent event(type, QPointF(window->mapFromGlobal(global)), QPointF(global), Qt::LeftButton, held,
                              Qt::NoModifier);
            QApplication::sendEvent(window, &event);
        };
        send(QEvent::MouseButtonPress, grip, Qt::LeftButton);
        send(QEvent::MouseMove, grip + QPoint(30, 20), Qt::LeftButton);
        send(QEvent::MouseButtonRelease, grip + QPoint(30, 20), Qt::NoButton);
        EXPECT_EQ(window->pos(), start + QPoint(30, 20)) << window->objectName().toStdString();
        // Moving without the button held no longer drags.
        send(QEvent::MouseMove, grip + QPoint(60, 60), Qt::NoButton);
        EXPECT_EQ(window->pos(), start + QPoint(30, 20)) << window->objectName().toStdString();
    }
}

TEST_F(InfoWindowsTest, ClearEmptiesAndHidesEverything)
{
    MainForm& f = LoadTable();
    Score& score = InfoWindows::TheScore();
    Hero& hero = InfoWindows::TheHero();
    for (QListWidget* list : score.State)
        Fill(list, 3);
    Fill(hero.Num, 3);
    for (size_t i = 0; i < 4; ++i) {
        Fill(hero.Grade[i], 3);
        score.ID[i]->setText(QStringLiteral("name"));
        hero.ID[i]->setText(QStringLiteral("name"));
        hero.sunScore[i]->setText(QStringLiteral("200"));
        LoadPictureById(score.Tou[i], Pictures::Tables().PortraitPictures[i]);
        LoadPictureById(hero.Tou[i], Pictures::Tables().PortraitPictures[i]);
    }
    TableState.Players[0].nickname = QStringLiteral("小明");
    MoveOver(f.Tou[0]);
    InfoWindows::ShowScore();
    InfoWindows::ToggleHero();

    InfoWindows::Clear();
    EXPECT_FALSE(score.isVisible());
    EXPECT_FALSE(hero.isVisible());
    EXPECT_FALSE(InfoWindows::TheInformation()->isVisible());
    for (QListWidget* list : score.State)
        EXPECT_EQ(list->count(), 0);
    EXPECT_EQ(hero.Num->count(), 0);
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(hero.Grade[i]->count(), 0);
        EXPECT_TRUE(score.ID[i]->text().isEmpty());
        EXPECT_TRUE(hero.ID[i]->text().isEmpty());
        EXPECT_TRUE(hero.sunScore[i]->text().isEmpty());
        EXPECT_EQ(score.Tou[i]->pictureId(), 0);
        EXPECT_TRUE(score.Tou[i]->pixmap().isNull());
        EXPECT_EQ(hero.Tou[i]->pictureId(), 0);
    }
    // The card opens again with fresh values (Toggle shows a filled card only).
    Popups::Toggle(Popup::Information);
    EXPECT_FALSE(InfoWindows::TheInformation()->isVisible());
}
