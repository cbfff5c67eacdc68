#include "play/CardDisplay.h"
#include "play/Clocks.h"

#include <algorithm>
#include <vector>

#include "resources/Pictures.h"
#include "rules/Cards.h"
#include "session/Platform.h"
#include "sound/Mod_Sound.h"
#include "table/TableState.h"
#include "ui/Layout.h"
#include "ui/MainForm.h"
#include "ui/PictureLoad.h"

namespace CardDisplay {

namespace {

// Sizes of the fans of 1..14 backs on the small table, before scaling.
constexpr std::array<QSize, 14> SmallFanSizes{{{78, 103}, {92, 107}, {108, 113}, {119, 116}, {132, 122},
                                               {142, 123}, {154, 128}, {166, 129}, {175, 132}, {185, 135},
                                               {193, 136}, {197, 137}, {204, 141}, {209, 140}}};

bool SmallLayout()
{
    return Screen::IsSmallLayout(TableState.Display.LayoutScale);
}

// A play of another seat into hand order, so that the comparison and the hints read card 0 as
// its highest card whatever order the server sent.
void SortIntoHandOrder(Rules::CurrentPlayRecord& play)
{
    const int n = std::clamp<int>(play.count, 0, Rules::CurrentPlaySlots);
    std::array<HandEntry, Rules::CurrentPlaySlots> cards{};
    for (int j = 0; j < n; ++j)
        cards[static_cast<size_t>(j)].value = play.cards[static_cast<size_t>(j)];
    Rules::SortHand(cards, n, TableState.Round.LevelRank);
    for (int j = 0; j < n; ++j)
        play.cards[static_cast<size_t>(j)] = cards[static_cast<size_t>(j)].value;
}

// The user's cards that the server played for the user leave the hand for the table.
void TakeOwnCardsPlayedForUser(MainForm& form, const std::vector<CardValue>& cards)
{
    const SeatRecord& own = TableState.Seats[0];
    std::vector<int> handSlots;
    for (const CardValue card : cards) {
        const int id = Rules::CardIdentifier(card);
        for (int i = 0; i < own.CardCount && i < 14; ++i) {
            const bool taken = std::find(handSlots.begin(), handSlots.end(), i) != handSlots.end();
            if (!taken && Rules::CardIdentifier(own.hand[static_cast<size_t>(i)].value) == id) {
                handSlots.push_back(i);
                break;
            }
        }
    }
    if (handSlots.empty())
        return;  // the user's own play coming back: it is on the table already
    std::sort(handSlots.begin(), handSlots.end());
    HideListed(form, 0, TableState.TableCards[0]);
    MoveOwnCardsToTable(form, handSlots);
    RemoveFromHand(handSlots);
    if (own.CardCount == 0)
        ShowPlaceBadge(form, 0);
}

// The first-player marker beside the portrait of the player who leads.
void PlaceFirstPlayerMarker(MainForm& form, int position)
{
    const QRect tou = form.Tou[static_cast<size_t>(position)]->geometry();
    QPoint at;
    if (!Screen::IsSmallLayout(TableState.Display.LayoutScale)) {
        switch (position) {
        case 0: at = {144, 624}; break;
        case 1: at = {tou.left() + 5, 108}; break;
        case 2: at = {352, 108}; break;
        default: at = {768, 108}; break;
        }
    } else {
        switch (position) {
        case 0: at = {tou.left() + tou.width() + 35, tou.top() - 60}; break;
        case 1: at = {tou.left(), tou.bottom() + 1 + 25}; break;
        case 2: at = {tou.left() - 10, tou.bottom() + 1 + 25}; break;
        default: at = {tou.left() + 30, tou.bottom() + 1 + 25}; break;
        }
    }
    form.Image1->move(at);
}


}  // namespace

QString RankText(int rank)
{
    switch (rank) {
    case 11: return QStringLiteral("J");
    case 12: return QStringLiteral("Q");
    case 13: return QStringLiteral("K");
    case 14: return QStringLiteral("A");
    default: break;
    }
    return rank >= 0 && rank <= 10 ? QString::number(rank) : QString();
}

void ShowCardPicture(PictureBox* control, CardValue card)
{
    int code = Rules::PictureCode(card);
    if (!Rules::IsValidPictureCode(code))
        code = Rules::CardBackCode;
    LoadPictureById(control, Pictures::Tables().CardPictureIds[static_cast<size_t>(code)]);
}

void ShowPlaceBadge(MainForm& form, int position)
{
    int16_t& finished = TableState.Round.FinishedCount;
    if (finished >= 3)
        return;
    PictureBox* badge = form.first[static_cast<size_t>(position)];
    LoadPictureById(badge, Pictures::Tables().PlaceMarkPictures[static_cast<size_t>(finished)]);
    badge->show();
    badge->raise();
    ++finished;
    TableState.Seats[static_cast<size_t>(position)].finishPlace = finished;
}

void MoveOwnCardsToTable(MainForm& form, const std::vector<int>& handSlots)
{
    const SeatRecord& own = TableState.Seats[0];
    const double h = TableState.Display.LayoutScale.h;
    const int n = static_cast<int>(handSlots.size());
    const QSize played = form.cardImage1[0]->size();
    int shown = 0;
    for (int k = 0; k < n; ++k) {
        const HandEntry& entry = own.hand[static_cast<size_t>(handSlots[static_cast<size_t>(k)])];
        if (entry.ImageIndex < 0 || entry.ImageIndex > 13)
            continue;
        PictureBox* card = form.cardImage0[static_cast<size_t>(entry.ImageIndex)];
        card->hide();
        card->resize(played);
        const double left = own.playLeft - (n * 0.11 + 0.39) * 90 * h + k * PlaySpacing() * played.width() * h;
        card->move(qRound(left), own.playTop);
        card->show();
        ShowCardPicture(card, entry.value);
        card->raise();
        TableState.TableCards[0][static_cast<size_t>(shown++)] = entry.ImageIndex;
    }
    TableState.TableCards[0][27] = static_cast<int16_t>(shown);
}

void RemoveFromHand(const std::vector<int>& handSlots)
{
    SeatRecord& own = TableState.Seats[0];
    for (auto it = handSlots.rbegin(); it != handSlots.rend(); ++it) {
        const int count = std::clamp<int>(own.CardCount, 0, 14);
        if (*it < 0 || *it >= count)
            continue;
        for (int i = *it; i + 1 < count; ++i)
            own.hand[static_cast<size_t>(i)] = own.hand[static_cast<size_t>(i + 1)];
        --own.CardCount;
    }
    for (int i = std::clamp<int>(own.CardCount, 0, 14); i < 14; ++i)
        own.hand[static_cast<size_t>(i)] = HandEntry{};
}

double PlaySpacing()
{
    return SmallLayout() ? 0.3 : 0.22;
}

std::array<PictureBox*, 14>& CardPictures(MainForm& form, int position)
{
    switch (position) {
    case 1: return form.cardImage1;
    case 2: return form.cardImage2;
    case 3: return form.cardImage3;
    default: return form.cardImage0;
    }
}

void ShowFan(MainForm& form, int position, int count)
{
    if (position < 1 || position > 3)
        return;
    PictureBox* fan = form.shanImage[static_cast<size_t>(position - 1)];
    if (count < 1) {
        fan->hide();
        return;
    }
    const int n = std::min(count, 15);
    const bool small = SmallLayout();
    fan->setStretch(small);
    if (small) {
        const QSize size = n <= 14 ? SmallFanSizes[static_cast<size_t>(n - 1)] : QSize(228, 157);
        fan->resize(Layout::ScaledX(size.width()), Layout::ScaledY(size.height()));
    }
    LoadPictureById(fan, Pictures::Tables().FanPictures[static_cast<size_t>(position - 1)][static_cast<size_t>(n - 1)]);
    fan->raise();
    fan->show();
}

void SlideCard(PictureBox* card, QPoint from, QPoint to)
{
    // With the waits cut to nothing (tests) no step but the last is ever seen.
    const int firstStep = Platform::ScaledWait(20) > 0 ? 0 : 10;
    for (int i = firstStep; i <= 10; ++i) {
        card->move(from.x() + (to.x() - from.x()) * i / 10, from.y() + (to.y() - from.y()) * i / 10);
        Platform::PumpFor(20);
    }
}

void ShowDeal(MainForm& form, const DealMessage& deal)
{
    PlaceFirstPlayerMarker(form, PositionOfSeat(deal.starterSeatBit));
    form.Label4->setText(QStringLiteral("本方打：") + RankText(deal.ourLevel));
    form.Label3->setText(QStringLiteral("对方打：") + RankText(deal.theirLevel));
    form.Label3->raise();
    form.Label4->raise();
    form.Label3->show();
    form.Label4->show();

    TableState.Round.LevelRank = deal.levelRank;
    if (deal.levelRank <= 14)
        form.lblJiValue->setText(RankText(deal.levelRank));

    ClockRecord& clock = TableState.Clock;
    clock.ClockSeconds = clock.TurnSeconds = clock.ClockValue = deal.turnSeconds;

    for (SeatRecord& seat : TableState.Seats) {
        const bool longHand = seat.seatBit != 0 && (seat.seatBit == deal.longSeatA || seat.seatBit == deal.longSeatB);
        seat.CardCount = longHand ? 14 : 13;
    }

    SeatRecord& own = TableState.Seats[0];
    const int16_t baseTop = TableState.Display.BaseTop;
    const double f = SmallLayout() ? 0.2 : 0.22;
    for (int k = 0; k < own.CardCount; ++k) {
        HandEntry& slot = own.hand[static_cast<size_t>(k)];
        slot.value = deal.cards[static_cast<size_t>(k)];
        slot.ImageIndex = static_cast<int16_t>(k);
        PictureBox* card = form.cardImage0[static_cast<size_t>(k)];
        card->setStretch(true);
        ShowCardPicture(card, slot.value);
        card->move(TableState.Display.DealFromLeft, baseTop);
        card->show();
        card->raise();
        const int left = qRound(TableState.Display.HandLeft + k * f * form.cardImage0[0]->width());
        SlideCard(card, card->pos(), QPoint(left, baseTop));
        Mod_Sound::PlayCue(Mod_Sound::File::CardDealt);
        for (int p = 1; p <= 3; ++p)
            ShowFan(form, p, TableState.Seats[static_cast<size_t>(p)].CardCount);
    }

    Rules::SortHand(own.hand, own.CardCount, TableState.Round.LevelRank);
    for (int k = 0; k < own.CardCount; ++k)
        ShowCardPicture(form.cardImage0[static_cast<size_t>(own.hand[static_cast<size_t>(k)].ImageIndex)],
                        own.hand[static_cast<size_t>(k)].value);
    for (size_t p = 1; p < 4; ++p)
        for (size_t m = 0; m < 14; ++m)
            TableState.Seats[p].hand[m].ImageIndex = static_cast<int16_t>(m);
    form.Image1->show();
}

void ShowPlay(MainForm& form, const PlayMessage& play)
{
    Rules::CurrentPlayRecord& current = TableState.Round.CurrentPlay;
    Mod_Sound::PlayCue(Mod_Sound::File::PlayShown);

    const int p = PositionOfSeat(play.seatBit);
    SeatRecord& seat = TableState.Seats[static_cast<size_t>(p)];
    if (p == 0) {
        TakeOwnCardsPlayedForUser(form, play.cards);
        return;
    }
    // Never more cards than the position's pictures left.
    int16_t& used = TableState.Display.NextPlayPicture[static_cast<size_t>(p)];
    const int n = std::clamp<int>(static_cast<int>(play.cards.size()), 0, 14 - used);

    HideListed(form, p, TableState.PrevTableCards[static_cast<size_t>(p)]);
    auto& table = TableState.TableCards[static_cast<size_t>(p)];
    auto& previous = TableState.PrevTableCards[static_cast<size_t>(p)];
    previous[27] = table[27];
    HideListed(form, p, table);
    for (size_t j = 0; j < 27; ++j)
        previous[j] = table[j];

    // The play that ends a trick leaves nothing to beat.
    current.type = play.StartsNewTrick() ? Rules::PlayType::Illegal : play.type;
    current.count = static_cast<int16_t>(n);

    int16_t& speaker = TableState.Display.LastSpeaker;
    if (speaker != p && speaker >= 0 && speaker <= 3)
        form.Speak[static_cast<size_t>(speaker)]->hide();
    speaker = static_cast<int16_t>(p);

    auto& pictures = CardPictures(form, p);
    const double h = TableState.Display.LayoutScale.h;
    const double f = PlaySpacing();
    for (int j = 0; j < n; ++j) {
        const CardValue card = play.cards[static_cast<size_t>(j)];
        current.cards[static_cast<size_t>(j)] = Rules::CurrentPlayCard(card);
        const int e = seat.hand[static_cast<size_t>(used + j)].ImageIndex;
        if (e < 0 || e > 13)
            continue;
        PictureBox* picture = pictures[static_cast<size_t>(e)];
        ShowCardPicture(picture, card);
        const double left = seat.playLeft - (n * 0.11 + 0.39) * 90 * h + j * f * pictures[0]->width() * h;
        picture->setGeometry(qRound(left), seat.playTop, Layout::ScaledX(80), Layout::ScaledY(108));
        picture->show();
        picture->raise();
        picture->setStretch(true);
        table[static_cast<size_t>(j)] = static_cast<int16_t>(e);
    }
    SortIntoHandOrder(current);
    table[27] = static_cast<int16_t>(n);
    seat.CardCount = static_cast<int16_t>(std::max(0, seat.CardCount - n));
    used = static_cast<int16_t>(used + n);

    if (seat.CardCount > 0) {
        ShowFan(form, p, seat.CardCount);
    } else {
        ShowPlaceBadge(form, p);
        form.shanImage[static_cast<size_t>(p - 1)]->hide();
    }
}

void HideListed(MainForm& form, int position, const std::array<int16_t, 28>& row)
{
    auto& pictures = CardPictures(form, position);
    const int n = std::clamp<int>(row[27], 0, 27);
    for (int k = 0; k < n; ++k) {
        const int e = row[static_cast<size_t>(k)];
        if (e >= 0 && e <= 13)
            pictures[static_cast<size_t>(e)]->hide();
    }
}

void ResetCards(MainForm& form)
{
    DisplayRecord& display = TableState.Display;
    display.HandLeft = static_cast<int16_t>(Layout::ScaledX(346));
    display.DealFromLeft = static_cast<int16_t>(Layout::ScaledX(800));

    for (PictureBox* card : form.cardImage0) {
        card->hide();
        card->setEnabled(true);
        card->resize(Layout::ScaledX(90), Layout::ScaledY(120));
    }
    for (int p = 1; p <= 3; ++p)
        for (PictureBox* card : CardPictures(form, p))
            card->hide();
    for (PictureBox* fan : form.shanImage)
        fan->hide();

    for (SeatRecord& seat : TableState.Seats)
        seat.CardCount = 0;
    Clocks::HideClock(form);
    for (PictureBox* badge : form.first)
        badge->hide();

    TableState.TableCards = {};
    TableState.PrevTableCards = {};
    display.NextPlayPicture = {};
    display.LastSpeaker = 0;

    for (QPushButton* bid : form.btnJiaofen) {
        bid->setEnabled(false);
        bid->hide();
    }
    form.CloseOperations(0, 3);
    form.Operation[4]->setEnabled(false);
    form.Operation[5]->setEnabled(false);
    form.Operation[6]->show();
    form.Operation[6]->setEnabled(false);

    const int shift = SmallLayout() ? 210 : 0;
    form.Label2->move(832 - shift, Layout::ScaledY(110));
    form.lblJiValue->move(968 - shift, Layout::ScaledY(100));
    for (QWidget* w : {static_cast<QWidget*>(form.Label2), static_cast<QWidget*>(form.lblJiValue),
                       static_cast<QWidget*>(form.Label4), static_cast<QWidget*>(form.Label3),
                       static_cast<QWidget*>(form.Image1)})
        w->hide();
}

}  // namespace CardDisplay
