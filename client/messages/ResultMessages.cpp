#include "messages/ResultMessages.h"

#include <algorithm>

#include "play/CardDisplay.h"
#include "play/Clocks.h"
#include "rules/Cards.h"
#include "rules/Levels.h"
#include "session/HallLink.h"
#include "session/IniFile.h"
#include "session/Platform.h"
#include "session/TableWindow.h"
#include "sound/Mod_Sound.h"
#include "table/TableState.h"
#include "ui/InfoWindows.h"
#include "ui/Layout.h"
#include "ui/MainForm.h"
#include "wire/Fields.h"
#include "wire/Text.h"

namespace ResultMessages {

namespace {

uint32_t RoomFigure(const Packet& p)
{
    uint32_t figure = 0;
    for (int i = 0; i < 4; ++i)
        figure = figure * 256 + p[static_cast<size_t>(Field::Result::RoomFigure + i)];
    return figure;
}

// A result the table cannot be shown with: a room figure beyond a signed 32-bit number, or more
// remaining cards than a hand holds.
bool Unshowable(const ResultRecord& results)
{
    const auto& last = results.ResultPackets[3];
    if (last[Field::Result::RoomFigure] >= 128)
        return true;
    for (const auto& stored : results.ResultPackets) {
        const int pos = PositionOfSeat(stored[Field::Seat] & 15);
        if (pos != 0 && stored[Field::Result::Remaining] > 14)
            return true;
    }
    return false;
}

void ShowRemainingCards(MainForm& form, const Packet& p, int pos)
{
    using namespace Field::Result;
    SeatRecord& seat = TableState.Seats[static_cast<size_t>(pos)];
    const int n = std::min<int>(p[Remaining], 14);
    seat.CardCount = static_cast<int16_t>(n);
    auto& pictures = CardDisplay::CardPictures(form, pos);
    const double h = TableState.Display.LayoutScale.h;
    const int width = pictures[0]->width();
    for (int j = 0; j < n; ++j) {
        const int e = seat.hand[static_cast<size_t>(j)].ImageIndex;
        if (e < 0 || e > 13)
            continue;
        PictureBox* card = pictures[static_cast<size_t>(e)];
        card->hide();
        const int suitBit = p[static_cast<size_t>(RemainingCards + 4 * j)] & 15;
        const int rank = p[static_cast<size_t>(RemainingCards + 1 + 4 * j)];
        CardDisplay::ShowCardPicture(card, Rules::MakeCard(rank, suitBit));
        const double left = seat.playLeft - (n * 0.11 + 0.39) * 90 * h + j * 0.22 * width
                            + (pos >= 2 ? 100 * h : 0);
        card->move(qRound(left), seat.playTop);
        card->raise();
        card->show();
    }
}

// The score lines of one player and what the result changes on the table.
void ScoreLines(MainForm& form, const Packet& p, int pos, double& ownFinal)
{
    using namespace Field::Result;
    const auto i = static_cast<size_t>(pos);
    Score& score = InfoWindows::TheScore();
    Hero& hero = InfoWindows::TheHero();
    QListWidget* details = score.State[i];
    QListWidget* finals = score.State[i + 4];
    const int bombs = TableState.Round.BombsThisRound;
    const uint8_t outcome = p[Outcome];
    const bool win = outcome == 1;
    const double total = Wire::Amount64(p, Total);
    const double final = Wire::Amount64(p, Final);

    details->addItem(QString());
    details->addItem(QStringLiteral("第 ") + QString::number(p[Place]) + QStringLiteral(" 名"));
    details->addItem(QString());
    details->addItem(win ? QStringLiteral("升 ") + QString::number(p[LevelsGained]) + QStringLiteral(" 级") : QString());
    details->addItem(QStringLiteral("炸弹数量：") + QString::number(bombs));
    details->addItem(bombs == 0 ? QStringLiteral("翻  数： X 1") : QStringLiteral("翻  数： X ") + QString::number(2 * bombs));
    details->addItem(QString());
    details->addItem(QString());
    details->addItem(QStringLiteral("==================="));
    if (win)
        details->addItem(QStringLiteral("总分：") + WholeNumber(total) + QStringLiteral("金币"));
    else if (total == 0)
        details->addItem(QStringLiteral("总分： ") + WholeNumber(total) + QStringLiteral("金币"));
    else
        details->addItem(QStringLiteral("总分：- ") + WholeNumber(total) + QStringLiteral("金币"));

    double& running = TableState.Table.RunningScore[i];
    QPalette name = score.ID[i]->palette();
    PlayerRecord& player = TableState.Players[i];
    switch (outcome) {
    case 1:
        name.setColor(QPalette::WindowText, QColor(255, 0, 0));
        details->addItem(QString());
        if (p[SecondLine] == 0) {
            details->addItem(QString());
            details->addItem(QString());
            details->addItem(QStringLiteral("总分：") + WholeNumber(final) + QStringLiteral("金币"));
        }
        finals->addItem(QStringLiteral("最终分：") + WholeNumber(final) + QStringLiteral("金币"));
        hero.Grade[i]->addItem(WholeNumber(final));
        running += final;
        break;
    case 2:
        name.setColor(QPalette::WindowText, QColor(255, 255, 128));
        for (int k = 0; k < 3; ++k)
            details->addItem(QString());
        if (final != 0) {
            details->addItem(QStringLiteral("总分：- ") + WholeNumber(final) + QStringLiteral("金币"));
            finals->addItem(QStringLiteral("最终分：- ") + WholeNumber(final) + QStringLiteral("金币"));
            hero.Grade[i]->addItem(QStringLiteral("-") + WholeNumber(final));
        } else {
            details->addItem(QStringLiteral("总分： ") + WholeNumber(final) + QStringLiteral("金币"));
            finals->addItem(QStringLiteral("最终分： ") + WholeNumber(final) + QStringLiteral("金币"));
            hero.Grade[i]->addItem(WholeNumber(final));
        }
        running -= final;
        break;
    case 0:
        name.setColor(QPalette::WindowText, QColor(255, 255, 128));
        details->addItem(QString());
        details->addItem(QStringLiteral("平局"));
        details->addItem(QString());
        hero.Grade[i]->addItem(QStringLiteral("平局"));
        running -= final;
        break;
    default:
        break;
    }
    score.ID[i]->setPalette(name);
    if (outcome <= 2)
        hero.sunScore[i]->setText(WholeNumber(running));

    if (win) {
        ++player.wins;
        player.coins += final;
    } else if (outcome == 2) {
        ++player.losses;
        player.coins -= final;
    }
    player.coins = std::max(0.0, player.coins);
    if (pos == 0)
        ownFinal = win ? final : -final;

    if (p[PlayerLevel] >= 1 && p[PlayerLevel] <= Rules::MaxPlayerLevel) {
        form.Level[i]->setText(LevelName(p[PlayerLevel]));
        form.Level[i]->raise();
    }
    form.Cash[i]->setText(WholeNumber(player.coins) + (p[Currency] == 1 ? QStringLiteral("金币") : QStringLiteral("金条")));
}

void WriteHistory()
{
    classIniFile history;
    history.setINIFileName(Platform::UserDir() + QStringLiteral("/info.hm"));
    const QString section = QStringLiteral("juNum:") + QString::number(TableState.Table.RoundCount);
    // A section left by an earlier table must not lend this round its extra rows.
    history.DelIniSec(section);
    Score& score = InfoWindows::TheScore();
    for (int i = 0; i < 8; ++i) {
        QListWidget* list = score.State[static_cast<size_t>(i)];
        const QString key = QStringLiteral("count( %1 )").arg(i);
        history.WriteIniKey(section, key, QString::number(list->count()));
        for (int j = 0; j < list->count(); ++j)
            history.WriteIniKey(section, key + QStringLiteral("( %1 )").arg(j), list->item(j)->text());
    }
}

// Keeps the result of one seat; true once the round's four are in (and the count starts over).
bool RecordResult(const Packet& packet)
{
    ResultRecord& results = TableState.Result;
    const int stored = std::clamp<int>(results.ResultCount, 0, 3);
    std::copy(packet.begin(), packet.end(), results.ResultPackets[static_cast<size_t>(stored)].begin());
    results.ResultCount = static_cast<int16_t>(stored + 1);
    if (results.ResultCount < 4)
        return false;
    results.ResultCount = 0;
    return true;
}

// The four results on the table and on the score board: the others' remaining cards, the
// room figure and every player's score lines, and one more round in the history. Gives the
// user's final score.
double ShowResults(MainForm& form)
{
    const ResultRecord& results = TableState.Result;
    for (PictureBox* fan : form.shanImage)
        fan->hide();
    for (PictureBox* badge : form.first)
        badge->hide();
    Packet last{};
    std::copy(results.ResultPackets[3].begin(), results.ResultPackets[3].end(), last.begin());
    const QString room = QStringLiteral("房间条数：") + QString::number(RoomFigure(last)) + QStringLiteral("金币");
    Score& score = InfoWindows::TheScore();
    for (int i = 0; i < 4; ++i)
        score.State[static_cast<size_t>(i)]->addItem(room);

    std::array<Packet, 4> messages{};
    for (size_t k = 0; k < 4; ++k)
        std::copy(results.ResultPackets[k].begin(), results.ResultPackets[k].end(), messages[k].begin());
    for (const Packet& p : messages) {
        const int pos = PositionOfSeat(p[Field::Seat] & 15);
        if (pos != 0)
            ShowRemainingCards(form, p, pos);
    }
    double ownFinal = 0;
    for (const Packet& p : messages)
        ScoreLines(form, p, PositionOfSeat(p[Field::Seat] & 15), ownFinal);

    TableRecord& table = TableState.Table;
    ++table.RoundCount;
    InfoWindows::TheHero().Num->addItem(QString::number(table.RoundCount).rightJustified(12, QLatin1Char(' ')));
    InfoWindows::ShowScore();
    return ownFinal;
}

// The round is over: the continue prompt, a free start button and, for a player, the ready
// clock.
void OpenNextRound(MainForm& form)
{
    SysmsgClear(0);
    SysmsgAdd(0, QStringLiteral("请点击【继续】按钮继续游戏！"));
    // After a game the free button is the continue button the line speaks of.
    form.ShowStartButton(true);
    form.AnNiuLatched[2] = false;
    TableState.Round.RoundRunning = false;
    TableRecord& table = TableState.Table;
    table.GameStarted = false;
    SysmsgClear(1);
    SysmsgAdd(1, QStringLiteral("游戏将在15秒内开始"));

    if (!table.Spectator) {
        Clocks::StartReadyClock(15);
        Clocks::PlaceClock(form, {Layout::ScaledX(750), Layout::ScaledY(600)});
        Clocks::ShowStartingClock(form);
    }
}

}  // namespace

QString LevelName(int level)
{
    return QString::fromStdString(Rules::LevelName(level));
}

void OnResult(const Packet& packet)
{
    MainForm* form = TheMainForm();
    if (form == nullptr)
        return;
    Clocks::HideClock(*form);
    Clocks::StopTurnClock();
    for (QListWidget* list : InfoWindows::TheScore().State)
        list->clear();

    if (!RecordResult(packet))
        return;
    if (Unshowable(TableState.Result)) {
        HallLink::ReturnToHall();
        Platform::EndProgram(1);
        return;
    }
    const double ownFinal = ShowResults(*form);
    OpenNextRound(*form);
    Mod_Sound::PlayCue(ownFinal > 0 ? Mod_Sound::File::RoundWon : Mod_Sound::File::RoundLost);
    WriteHistory();
}

}  // namespace ResultMessages
