#include "play/Prompt.h"

#include <algorithm>

#include "play/PlayCards.h"
#include "rules/Hints.h"
#include "session/Transport.h"
#include "sound/Mod_Sound.h"
#include "table/Outgoing.h"
#include "table/TableState.h"
#include "ui/MainForm.h"

namespace Prompt {

namespace {

int HandCount()
{
    return std::clamp<int>(TableState.Seats[0].CardCount, 0, 14);
}

bool SamePlay(const Rules::CurrentPlayRecord& a, const Rules::CurrentPlayRecord& b)
{
    return a.type == b.type && a.count == b.count && a.cards == b.cards;
}

// The stored proposals hold as long as the play message, the hand and the play to beat are
// those they were computed for; two plays within one clock second share a time text, so the
// time alone does not tell.
bool ProposalsCurrent()
{
    const HintRecord& hint = TableState.Hint;
    return hint.HintStamp == TableState.Round.LastPlayTime && hint.CardCount == TableState.Seats[0].CardCount
           && SamePlay(hint.CurrentPlay, TableState.Round.CurrentPlay);
}

}  // namespace

void HintAction()
{
    Mod_Sound::PlayCue(Mod_Sound::File::Hint);
    PlayCards::LowerRaisedCards();
    if (TableState.Round.CurrentPlay.type == Rules::PlayType::Illegal)
        LeadHint();
    else
        FollowHint();
}

void RestartHints()
{
    TableState.Hint.LeadHintPos = 0;
    TableState.Hint.Store.HintNext = 0;
}

void LeadHint()
{
    MainForm* form = TheMainForm();
    if (form == nullptr)
        return;
    const SeatRecord& own = TableState.Seats[0];
    const Rules::LeadHintGroup group = Rules::NextLeadHint(own.hand, HandCount(), TableState.Hint.LeadHintPos);
    if (group.size == 0)
        return;
    for (int q = group.first; q < group.first + group.size; ++q)
        PlayCards::Raise(*form, Rules::HandSlotOfIndex(HandCount(), q));
    TableState.Hint.LeadHintPos = static_cast<int16_t>(group.nextLeadHintPos);
}

void FollowHint()
{
    MainForm* form = TheMainForm();
    if (form == nullptr)
        return;
    HintRecord& hint = TableState.Hint;
    if (!ProposalsCurrent()) {
        hint.HintStamp = TableState.Round.LastPlayTime;
        hint.CardCount = TableState.Seats[0].CardCount;
        hint.CurrentPlay = TableState.Round.CurrentPlay;
        Rules::ComputeHintCandidates(TableState.Seats[0].hand, HandCount(), TableState.Round.CurrentPlay,
                                     TableState.Round.LevelRank, hint.Store);
    }
    if (hint.Store.HintCount == 0) {
        AutomaticPass();
        return;
    }
    const Rules::HintSelection selection = Rules::NextHintSelection(hint.Store, HandCount());
    for (int k = 0; k < selection.count; ++k)
        PlayCards::Raise(*form, selection.handSlots[static_cast<size_t>(k)]);
}

void AutomaticPass()
{
    if (MainForm* form = TheMainForm())
        form->CloseOperations(0, 3);
    PlayCards::SendPass();
}

}  // namespace Prompt
