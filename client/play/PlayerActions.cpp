#include "play/PlayerActions.h"

#include <functional>

#include <QEvent>
#include <QKeyEvent>
#include <QPointer>

#include "play/Clocks.h"
#include "play/PlayCards.h"
#include "play/Prompt.h"
#include "resources/Pictures.h"
#include "session/Connection.h"
#include "session/HallLink.h"
#include "session/Platform.h"
#include "session/SiteConfig.h"
#include "session/Transport.h"
#include "sound/Mod_Sound.h"
#include "sound/VosSet.h"
#include "table/Outgoing.h"
#include "table/TableState.h"
#include "ui/ChuPai.h"
#include "ui/Layout.h"
#include "ui/MainForm.h"
#include "ui/PictureLoad.h"
#include "ui/Popups.h"

namespace PlayerActions {

namespace {

// Keys reach the table picture once a click has given it the focus.
class TableKeys : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress) {
            KeyDown(static_cast<QKeyEvent*>(event)->key());
            return true;
        }
        return QObject::eventFilter(watched, event);
    }
};

std::function<void()> g_leaveTable;

bool EntryOk()
{
    return Connection::Link.EntryOk;
}

int HandSlotOfPicture(int imageIndex)
{
    const SeatRecord& own = TableState.Seats[0];
    for (int i = 0; i < own.CardCount && i < 14; ++i)
        if (own.hand[static_cast<size_t>(i)].ImageIndex == imageIndex)
            return i;
    return -1;
}

void PassButton(MainForm& form)
{
    TurnRecord& turn = TableState.Turn;
    turn.TurnActed = true;
    form.CloseOperations(0, 3);
    Mod_Sound::PlayCue(Mod_Sound::File::Pass);
    PlayCards::SendPass();
    Clocks::StopTurnClock();
    Clocks::HideClock(form);
    turn.MyTurn = false;
    PlayCards::LowerRaisedCards();
    for (int i = 0; i <= 3; ++i) {
        LoadPictureById(form.Operation[static_cast<size_t>(i)],
                        Pictures::Tables().PlayButtonPictures[static_cast<size_t>(Layout::OperationEntry(i, false))]);
        form.OperationHighlighted[static_cast<size_t>(i)] = false;
    }
}

void StartButton(MainForm& form)
{
    Popups::Hide(Popup::Hero);
    Popups::Hide(Popup::Score);
    TableRecord& table = TableState.Table;
    if (table.LeaveOnStart) {
        // The table told the user to go (too few coins, or an exit was cancelled): end it
        // instead of starting.
        if (g_leaveTable)
            g_leaveTable();
        return;
    }
    form.StartButtonContinues = true;
    if (form.AnNiuLatched[2])
        return;
    form.ShowStartButton(true);
    form.OK[0]->show();
    form.OK[0]->raise();
    Clocks::StopReadyClock();
    Clocks::HideClock(form);
    form.AnNiuLatched[2] = true;
    if (!table.GameStarted) {
        DisplayReset();
        PlayStateResetFirst();
        table.GameStarted = true;
    }
    if (!TableState.Round.RoundRunning)
        SendReadyRequest();
}

void HideTable(MainForm& form)
{
    form.showMinimized();
    for (Popup popup : {Popup::Hero, Popup::Score, Popup::Talk, Popup::VosSet})
        Popups::Hide(popup);
}

}  // namespace

void SetLeaveTable(std::function<void()> leave)
{
    g_leaveTable = std::move(leave);
}

void ConnectPlayerActions(MainForm& form)
{
    for (int i = 0; i < 14; ++i)
        QObject::connect(form.cardImage0[static_cast<size_t>(i)], &PictureBox::clicked, &form,
                         [i](Qt::MouseButton b) { CardClicked(i, b == Qt::RightButton); });
    QObject::connect(form.Pic1, &PictureBox::clicked, &form,
                     [](Qt::MouseButton b) { TableClicked(b == Qt::RightButton); });
    for (int i = 0; i < int(form.Operation.size()); ++i)
        QObject::connect(form.Operation[static_cast<size_t>(i)], &PictureBox::clicked, &form,
                         [i](Qt::MouseButton b) {
                             if (b == Qt::LeftButton)
                                 OperationClick(i);
                         });
    // The chat line's send button belongs to the chat.
    for (int i = 1; i < int(form.AnNiu.size()); ++i)
        QObject::connect(form.AnNiu[static_cast<size_t>(i)], &PictureBox::clicked, &form,
                         [i](Qt::MouseButton b) {
                             if (b == Qt::LeftButton)
                                 AnNiuClick(i);
                         });

    form.Pic1->setFocusPolicy(Qt::ClickFocus);
    form.Pic1->installEventFilter(new TableKeys(form.Pic1));

    // The windows outlive no table: the calls ask for the table each time.
    const QPointer<MainForm> table(&form);
    const auto settingsShowing = [] { return TheVosSet() != nullptr && TheVosSet()->isVisible(); };
    Popups::Register(Popup::VosSet, {[table] {
                                         if (table)
                                             ToggleVosSet(*table);
                                     },
                                     [table, settingsShowing] {
                                         if (table && !settingsShowing())
                                             ToggleVosSet(*table);
                                     },
                                     HideVosSet, UnloadVosSet, settingsShowing});
    Popups::Register(Popup::ChuPai, {nullptr,
                                     [table] {
                                         if (table)
                                             IllegalPlayNotice::Show(*table);
                                     },
                                     IllegalPlayNotice::Hide, IllegalPlayNotice::Unload, IllegalPlayNotice::Showing});
}

void CardClicked(int imageIndex, bool rightButton)
{
    MainForm* form = TheMainForm();
    if (form == nullptr)
        return;
    TurnRecord& turn = TableState.Turn;
    if (rightButton) {
        if (turn.MyTurn && turn.PlayAllowed && EntryOk()) {
            TableState.Clock.TimeoutCount = 0;
            PlayCards::PlaySelectedCards();
        }
        return;
    }
    const int slot = HandSlotOfPicture(imageIndex);
    if (slot < 0)
        return;  // a card already played
    if (!PlayCards::IsRaised(*form, slot)) {
        PlayCards::Raise(*form, slot);
        Mod_Sound::PlayCue(Mod_Sound::File::CardRaised);
    } else {
        PlayCards::Lower(*form, slot);
        Mod_Sound::PlayCue(Mod_Sound::File::CardLowered);
    }
}

void TableClicked(bool rightButton)
{
    Popups::Hide(Popup::huifu);
    Popups::Hide(Popup::Talk);
    const TurnRecord& turn = TableState.Turn;
    if (rightButton && turn.MyTurn && turn.PlayAllowed) {
        if (!EntryOk())
            return;
        TableState.Clock.TimeoutCount = 0;
        PlayCards::PlaySelectedCards();
    }
    Popups::Hide(Popup::Score);
    Popups::Hide(Popup::Hero);
}

void OperationClick(int index)
{
    MainForm* form = TheMainForm();
    if (form == nullptr || !EntryOk() || index < 0 || index > 6)
        return;
    if (index == 2) {
        TableState.Clock.ClockValue = TableState.Clock.TurnSeconds;
        Clocks::StopTurnClock();
        Clocks::HideClock(*form);
    }
    IllegalPlayNotice::Hide();
    if (index <= 2 && !TableState.Turn.PlayAllowed)
        return;
    switch (index) {
    case 0:
        TableState.Turn.TurnActed = true;
        PlayCards::PlaySelectedCards();
        break;
    case 1:
        Prompt::HintAction();
        break;
    case 2:
        PassButton(*form);
        break;
    case 6:
        PlayCards::LowerRaisedCards();
        break;
    default:
        break;
    }
}

void AnNiuClick(int index)
{
    MainForm* form = TheMainForm();
    if (form == nullptr)
        return;
    switch (index) {
    case 1:
        Popups::Toggle(Popup::Talk);
        break;
    case 2:
        StartButton(*form);
        break;
    case 3:
        Popups::Toggle(Popup::VosSet);
        break;
    case 4:
        HideTable(*form);
        break;
    case 5:
        Popups::Toggle(Popup::Score);
        break;
    case 6:
        // Opening the history puts the score board away; closing it leaves the board be.
        if (!Popups::Showing(Popup::Hero))
            Popups::Hide(Popup::Score);
        Popups::Toggle(Popup::Hero);
        break;
    case 7:
        Platform::ShellOpen(QStringLiteral("http://") + SiteConfig::WebHost
                            + QStringLiteral("/gameinfo/qlor/index.php"));
        break;
    case 8:
        Popups::Toggle(Popup::frmExit);
        break;
    default:
        break;
    }
}

void KeyDown(int key)
{
    DisplayRecord& keys = TableState.Display;
    switch (key) {
    case Qt::Key_Escape:
        Popups::Toggle(Popup::frmExit);
        break;
    case Qt::Key_F1:
        F1Action();
        break;
    case Qt::Key_Alt:
        keys.AltDown = true;
        break;
    case Qt::Key_C:
        keys.CDown = true;
        break;
    default:
        keys.AltDown = keys.CDown = false;
        break;
    }
    if (keys.AltDown && keys.CDown) {
        keys.AltDown = keys.CDown = false;
        Popups::Open(Popup::Talk);
    }
}

void F1Action(F1From from)
{
    ClockRecord& clock = TableState.Clock;
    clock.Hidden = true;
    const bool hideOnly = from == F1From::ChatBox;
    const auto close = [hideOnly](Popup popup) { hideOnly ? Popups::Hide(popup) : Popups::Unload(popup); };
    close(Popup::Information);
    Popups::Hide(Popup::Talk);
    Popups::Hide(Popup::huifu);
    close(Popup::VosSet);
    close(Popup::frmExit);
    Popups::Hide(Popup::Hero);
    Popups::Hide(Popup::Score);
    close(Popup::ChuPai);
    clock.ShortClock = true;
    clock.TurnSeconds = 1;
    clock.AutoPlay = true;
    MinimizeMainForm();
    HallLink::ReturnToHall();
}

void FreeStartButton(MainForm& form)
{
    form.AnNiuLatched[2] = false;
    form.ShowStartButton(false);
    Clocks::HideClock(form);
}

void SendReadyRequest()
{
    Transport::SendPacket(Outgoing::ReadyRequest(TableState.Seats[0].seatBit));
}

}  // namespace PlayerActions
