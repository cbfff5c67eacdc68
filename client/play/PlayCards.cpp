#include "play/PlayCards.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "play/CardDisplay.h"
#include "play/Clocks.h"
#include "rules/Cards.h"
#include "rules/Compare.h"
#include "session/Transport.h"
#include "table/Outgoing.h"
#include "table/TableState.h"
#include "ui/ChuPai.h"
#include "ui/Layout.h"
#include "ui/MainForm.h"

namespace PlayCards {

namespace {

PictureBox* SlotPicture(const MainForm& form, int slot)
{
    if (slot < 0 || slot >= 14)
        return nullptr;
    const int index = TableState.Seats[0].hand[static_cast<size_t>(slot)].ImageIndex;
    return index >= 0 && index < 14 ? form.cardImage0[static_cast<size_t>(index)] : nullptr;
}

int HandCount()
{
    return std::clamp<int>(TableState.Seats[0].CardCount, 0, 14);
}

// The hand closes up over the played slots and is laid out again, centred.
void CloseUpHand(MainForm& form, const std::vector<int>& handSlots)
{
    CardDisplay::RemoveFromHand(handSlots);
    const SeatRecord& own = TableState.Seats[0];
    const double h = TableState.Display.LayoutScale.h;
    const int width = form.cardImage0[0]->width();
    for (int i = 0; i < HandCount(); ++i) {
        PictureBox* card = SlotPicture(form, i);
        if (card == nullptr)
            continue;
        card->hide();
        const double left =
            own.playLeft - (own.CardCount * 0.11 + 0.39) * 90 * h + i * CardDisplay::PlaySpacing() * width * h;
        card->move(qRound(left), card->y());
        card->show();
    }
}

}  // namespace

bool IsRaised(const MainForm& form, int slot)
{
    const PictureBox* card = SlotPicture(form, slot);
    return card != nullptr && card->y() < TableState.Display.BaseTop;
}

void Raise(MainForm& form, int slot)
{
    if (PictureBox* card = SlotPicture(form, slot))
        card->move(card->x(), TableState.Display.BaseTop - card->height() / 5);
}

void Lower(MainForm& form, int slot)
{
    if (PictureBox* card = SlotPicture(form, slot))
        card->move(card->x(), TableState.Display.BaseTop);
}

void LowerRaisedCards()
{
    MainForm* form = TheMainForm();
    if (form == nullptr)
        return;
    for (int i = 0; i < HandCount(); ++i)
        if (IsRaised(*form, i))
            Lower(*form, i);
}

void PlaySelectedCards()
{
    MainForm* form = TheMainForm();
    if (form == nullptr)
        return;
    IllegalPlayNotice::Hide();

    std::vector<int> handSlots;
    std::vector<CardValue> selection;
    for (int i = 0; i < HandCount(); ++i)
        if (IsRaised(*form, i)) {
            handSlots.push_back(i);
            selection.push_back(TableState.Seats[0].hand[static_cast<size_t>(i)].value);
        }
    if (selection.empty())
        return;

    Rules::ClassifiedPlay area;
    Rules::CurrentPlayRecord& current = TableState.Round.CurrentPlay;
    const Rules::PlayType type = Rules::ValidatePlay(selection, current, TableState.Round.LevelRank, area);
    if (type == Rules::PlayType::Illegal) {
        TableState.Turn.TurnActed = false;
        IllegalPlayNotice::Show(*form);
        return;
    }

    TableState.Turn.MyTurn = false;
    Clocks::StopTurnClock();
    Clocks::HideClock(*form);
    form->CloseOperations(0, 2);
    if (!TableState.Turn.PlayAllowed)
        return;  // this turn's play has gone already
    TableState.Turn.PlayAllowed = false;
    Transport::SendPacket(Outgoing::PlayRequest(TableState.Seats[0].seatBit, type, selection));
    Rules::SetCurrentPlay(current, type, selection);
    std::vector<HandEntry>& sent = TableState.Turn.SentPlay;
    sent.clear();
    for (int slot : handSlots)
        sent.push_back(TableState.Seats[0].hand[static_cast<size_t>(slot)]);

    CardDisplay::MoveOwnCardsToTable(*form, handSlots);
    CloseUpHand(*form, handSlots);
    if (TableState.Seats[0].CardCount == 0)
        CardDisplay::ShowPlaceBadge(*form, 0);
}

void SettleSentPlay(MainForm& form, const std::vector<CardValue>& played)
{
    std::vector<HandEntry> sent = std::exchange(TableState.Turn.SentPlay, {});
    if (sent.empty())
        return;
    std::vector<int> sentIds;
    for (const HandEntry& entry : sent)
        sentIds.push_back(Rules::CardIdentifier(entry.value));
    std::vector<int> playedIds;
    for (const CardValue card : played)
        playedIds.push_back(Rules::CardIdentifier(card));
    std::sort(sentIds.begin(), sentIds.end());
    std::sort(playedIds.begin(), playedIds.end());
    if (sentIds == playedIds)
        return;  // the server took the play as sent

    SeatRecord& own = TableState.Seats[0];
    if (own.CardCount == 0 && form.first[0]->isVisible()) {
        // The lost play had emptied the hand: the user has not finished after all.
        form.first[0]->hide();
        own.finishPlace = 4;
        if (TableState.Round.FinishedCount > 0)
            --TableState.Round.FinishedCount;
    }
    for (const HandEntry& entry : sent) {
        if (own.CardCount >= 14)
            break;
        own.hand[static_cast<size_t>(own.CardCount++)] = entry;
        // Its picture no longer belongs to the table's lists, which hide what they hold.
        for (auto* row : {&TableState.TableCards[0], &TableState.PrevTableCards[0]}) {
            const int n = std::clamp<int>((*row)[27], 0, 27);
            int kept = 0;
            for (int k = 0; k < n; ++k)
                if ((*row)[static_cast<size_t>(k)] != entry.ImageIndex)
                    (*row)[static_cast<size_t>(kept++)] = (*row)[static_cast<size_t>(k)];
            (*row)[27] = static_cast<int16_t>(kept);
        }
        if (PictureBox* card = SlotPicture(form, own.CardCount - 1)) {
            card->resize(Layout::ScaledX(90), Layout::ScaledY(120));
            card->move(card->x(), TableState.Display.BaseTop);
        }
    }
    Rules::SortHand(own.hand, own.CardCount, TableState.Round.LevelRank);
    for (int i = 0; i < HandCount(); ++i)
        if (PictureBox* card = SlotPicture(form, i))
            card->raise();
    CloseUpHand(form, {});
}

bool SendPass()
{
    TurnRecord& turn = TableState.Turn;
    if (!turn.PlayAllowed)
        return false;
    turn.PlayAllowed = false;
    turn.MyTurn = false;
    turn.SentPlay.clear();
    Transport::SendPacket(Outgoing::PassRequest(TableState.Seats[0].seatBit));
    return true;
}

}  // namespace PlayCards
