#include "messages/SeatMessages.h"

#include <QRandomGenerator>

#include "play/Clocks.h"
#include "resources/Pictures.h"
#include "session/Connection.h"
#include "session/HallLink.h"
#include "session/Platform.h"
#include "session/SiteConfig.h"
#include "session/TableWindow.h"
#include "session/Transport.h"
#include "ui/InfoWindows.h"
#include "ui/MainForm.h"
#include "ui/PictureLoad.h"
#include "video/VideoLinks.h"
#include "wire/Fields.h"
#include "wire/Text.h"

namespace SeatMessages {

namespace {

// The positions whose names are shown hold this key.
bool KeyShown(MainForm& form, const QString& key)
{
    for (size_t e = 0; e < 4; ++e)
        if (!form.Nid[e]->text().isEmpty() && TableState.Seats[e].seatKey == key)
            return true;
    return false;
}

// A new game on a fresh display.
void BeginGame()
{
    DisplayReset();
    PlayStateResetSecond();
    TableState.Table.GameStarted = true;
}

// The three others ready: the table is reset for the game. The reset clears the clock too;
// while the user's ready count still runs it stays in sight, since it now says when the next
// round starts by itself.
void StartWhenOthersReady(MainForm& form)
{
    if (!(form.OK[1]->isVisible() && form.OK[2]->isVisible() && form.OK[3]->isVisible()))
        return;
    BeginGame();
    if (Transport::State.TickTasks[Transport::ReadyClockTask].flag)
        Clocks::ShowStartingClock(form);
}

}  // namespace

PlayerRecord DecodePlayerBlock(const Packet& p)
{
    using namespace Field::SeatInfo;
    PlayerRecord r;
    r.userKey = Wire::SingleByteText(p, Key, KeyWidth);
    r.nickname = Wire::MixedText(p, Nickname, NicknameWidth, true);
    r.face = Wire::SingleByteText(p, Face, FaceWidth);
    if (r.face.isEmpty())
        r.face = QStringLiteral("m1");
    r.sex = p[Sex];
    r.area = Wire::DoubleByteText(p, Area, AreaWidth);
    r.points = Wire::Amount64(p, Points);
    r.credit = Wire::Amount64(p, Credit);
    r.coins = Wire::Amount64(p, Coins);
    r.levelName = Wire::DoubleByteText(p, LevelName, LevelNameWidth);
    r.logins = Wire::ReadLE32(p, Logins);
    r.disconnects = Wire::ReadLE32(p, Disconnects);
    r.wins = Wire::ReadLE32(p, Wins);
    r.losses = Wire::ReadLE32(p, Losses);
    r.title = Wire::DoubleByteText(p, Title, TitleWidth);
    r.voiceSet = Wire::SingleByteText(p, VoiceSet, VoiceSetWidth);
    r.voiceId = Wire::SingleByteText(p, VoiceId, VoiceIdWidth);
    r.seatValue = Wire::Amount64(p, SeatValue);
    return r;
}

int PortraitIndex(const QString& face)
{
    auto digit = [&face](int i) { return face.size() > i && face[i].isDigit() ? face[i].digitValue() : -1; };
    int n = -1;
    if (face.size() == 2)
        n = digit(1) - 1;
    else if (face.size() == 3 && digit(1) >= 0 && digit(2) >= 0)
        n = digit(1) * 10 + digit(2) - 1;
    if (n >= 10 || n < 0)
        n = 0;
    if (face.startsWith(QLatin1Char('w')))
        n += 10;
    return n;
}

int CoinClass(double coins)
{
    if (coins < 20000)
        return 0;
    return coins < 60000 ? 1 : 2;
}

void ChooseVoices()
{
    VoiceRecord& voice = TableState.Voice;
    voice.VoiceTaken = {};
    voice.VoiceTakenW = {};
    QRandomGenerator random(static_cast<quint32>(Platform::SecondsSinceMidnight() * 1000));
    static const char* const Ids[4] = {"10", "20", "30", "40"};
    for (PlayerRecord& player : TableState.Players) {
        if (player.sex > 1)
            continue;  // neither man nor woman: the voice of the player block stays
        std::array<bool, 4>& taken = player.sex == 1 ? voice.VoiceTaken : voice.VoiceTakenW;
        size_t j = static_cast<size_t>(random.bounded(4));
        if (taken[j])
            for (j = 0; j < 4 && taken[j]; ++j) {
            }
        if (j >= 4)
            continue;
        taken[j] = true;
        player.voiceSet = QStringLiteral("27");
        player.voiceId = QLatin1String(Ids[j]);
    }
    for (size_t i = 0; i < 4; ++i)
        TableState.Players[i].voiceKind = TableState.Players[i].sex != 0 ? 3 : 2;
}

// The player of a position on the table and in the score and hero windows.
void ShowPlayer(MainForm& form, int pos, const PlayerRecord& player, bool ready)
{
    const auto p = static_cast<size_t>(pos);
    PictureBox* mark = form.OK[p];
    LoadPictureById(mark, Pictures::Tables().ReadyMarkPictures[static_cast<size_t>(CoinClass(player.coins))]);
    if (ready) {
        mark->show();
        mark->raise();
    }
    const int portrait = Pictures::Tables().PortraitPictures[static_cast<size_t>(PortraitIndex(player.face))];
    LoadPictureById(form.Tou[p], portrait);
    form.Nid[p]->setText(QStringLiteral("[") + player.title + QStringLiteral("] ") + player.nickname);
    form.Cash[p]->setText(WholeNumber(player.coins) + QStringLiteral("金币"));
    form.Level[p]->setText(player.levelName);
    for (QLabel* label : {form.Nid[p], form.Cash[p], form.Level[p]})
        label->raise();
    Score& score = InfoWindows::TheScore();
    score.ID[p]->setText(player.nickname);
    LoadPictureById(score.Tou[p], portrait);
    Hero& hero = InfoWindows::TheHero();
    hero.ID[p]->setText(player.nickname);
    LoadPictureById(hero.Tou[p], portrait);
}

namespace {

// After a reconnect a server may send again the seats the client still holds: the player's
// figures are refreshed in place, not taken for a second player with that key. True when the
// message was such a seat.
bool RefreshHeldSeat(MainForm& form, const Packet& packet, const QString& key)
{
    using namespace Field::SeatInfo;
    const int heldAt = PositionOfSeat(packet[SeatValue] & 15);
    if (!Connection::Link.Reconnected || TableState.Seats[0].seatBit == 0
        || TableState.Seats[static_cast<size_t>(heldAt)].seatKey != key
        || form.Nid[static_cast<size_t>(heldAt)]->text().isEmpty())
        return false;
    PlayerRecord& player = TableState.Players[static_cast<size_t>(heldAt)];
    const PlayerRecord before = player;
    player = DecodePlayerBlock(packet);
    // The voices were chosen when the table filled and stay as the user hears them.
    player.voiceSet = before.voiceSet;
    player.voiceId = before.voiceId;
    player.voiceKind = before.voiceKind;
    ShowPlayer(form, heldAt, player, packet[IsReady] == 1);
    return true;
}

// The fourth player: the table comes up and the hall goes aside (a minimised table puts the
// hall aside itself when it is restored).
void BringTableUp(MainForm& form)
{
    if (form.isMinimized())
        form.showNormal();
    else
        HallLink::HallAside();
    form.activateWindow();
    form.setFocus();
}

// Every seat taken: a new game begins, and the table says when it starts.
void AnnounceFullTable()
{
    BeginGame();
    SysmsgClear(0);
    SysmsgAdd(0, QStringLiteral("游戏将在15秒内开始"));
}

// The third seat message: the settings and record buttons come free and the voices are drawn.
void FreeTableSettings(MainForm* form)
{
    TableState.Table.SeatMessages = 4;
    if (form != nullptr) {
        form->AnNiuLatched[5] = false;
        form->AnNiuLatched[6] = false;
    }
    ChooseVoices();
}

}  // namespace

void OnSeatInfo(const Packet& packet)
{
    using namespace Field::SeatInfo;
    // A message that names no single seat (or, while the user's own seat is not known yet,
    // does not give it as one) would seat a player at a wrong place and put a wrong seat bit
    // into every request the client sends: it is dropped.
    const bool ownKnown = TableState.Seats[0].seatBit != 0;
    if (!IsSeatBit(packet[SeatValue] & 15) || (!ownKnown && !IsSeatBit(packet[Field::Seat] & 15)))
        return;
    MainForm* form = TheMainForm();
    TableRecord& table = TableState.Table;
    table.LeaveOnStart = false;
    const QString key = Wire::SingleByteText(packet, Key, KeyWidth);
    if (form != nullptr && RefreshHeldSeat(*form, packet, key))
        return;

    ++table.SeatMessages;
    SeatRecord& own = TableState.Seats[0];
    if (own.seatBit == 0)
        own.seatBit = packet[Field::Seat] & 15;

    const uint8_t seatBit = packet[SeatValue] & 15;
    const int pos = PositionOfSeat(seatBit);
    if (pos == 0 && form != nullptr)
        form->AnNiuLatched[2] = false;

    if (form != nullptr && KeyShown(*form, key)) {
        Platform::ShowMessageBox(QStringLiteral("出现相同的seatid"), SiteConfig::ProgramTitle);
        return;
    }

    if (table.PlayersKnown++ == 3 && form != nullptr)
        BringTableUp(*form);

    SeatRecord& seat = TableState.Seats[static_cast<size_t>(pos)];
    seat.seatKey = key;
    if (pos != 0)
        seat.seatBit = seatBit;
    if (pos == 0)
        VideoLinks::OnPlayerSeated(0);

    PlayerRecord& player = TableState.Players[static_cast<size_t>(pos)];
    player = DecodePlayerBlock(packet);

    if (form != nullptr) {
        ShowPlayer(*form, pos, player, packet[IsReady] == 1);
        StartWhenOthersReady(*form);
    }

    if (pos != 0)
        VideoLinks::OnPlayerSeated(pos);

    if (table.PlayersKnown == 4 && !table.GameStarted)
        AnnounceFullTable();
    if (table.SeatMessages == 3)
        FreeTableSettings(form);
}

void OnReady(const Packet& packet)
{
    MainForm* form = TheMainForm();
    if (form == nullptr)
        return;
    if (packet[Field::Ready::IsReady] == 1) {
        const QString key = Wire::SingleByteText(packet, Field::Ready::Key, Field::Ready::KeyWidth);
        for (size_t e = 0; e < 4; ++e)
            if (!form->Nid[e]->text().isEmpty() && TableState.Seats[e].seatKey == key) {
                form->OK[e]->show();
                form->OK[e]->raise();
            }
    }
    StartWhenOthersReady(*form);
}

}  // namespace SeatMessages
