// Seat and player messages (command 20) and ready marks (command 23) on a loaded table.
#include <gtest/gtest.h>

#include <random>
#include <set>

#include "messages/SeatMessages.h"
#include "play/Clocks.h"
#include "resources/Pictures.h"
#include "session/Connection.h"
#include "session/TableWindow.h"
#include "session/Transport.h"
#include "sound/Mod_Sound.h"
#include "table/TableState.h"
#include "ui/InfoWindows.h"
#include "ui/UiFixture.h"
#include "wire/Commands.h"
#include "wire/Fields.h"
#include "wire/Gbk.h"

namespace {

struct Player {
    uint8_t seatBit;
    QString key;
    QString nickname;
    QString face = QStringLiteral("m1");
    uint8_t sex = 1;
    uint64_t coins = 30000;
    bool ready = false;
};

void PutBytes(Packet& p, int at, const QByteArray& bytes)
{
    for (int i = 0; i < bytes.size(); ++i)
        p[static_cast<size_t>(at + i)] = static_cast<uint8_t>(bytes[i]);
}

void Put64(Packet& p, int at, uint64_t value)
{
    for (int i = 0; i < 8; ++i)
        p[static_cast<size_t>(at + i)] = static_cast<uint8_t>(value >> (8 * i));
}

Packet SeatPacket(uint8_t addressee, const Player& player)
{
    using namespace Field::SeatInfo;
    Packet p = Wire::NewPacket(Command::SeatInfo);
    p[Field::Seat] = addressee;
    PutBytes(p, Nickname, Gbk::Encode(player.nickname));
    PutBytes(p, Face, player.face.toLatin1());
    p[Sex] = player.sex;
    Put64(p, Coins, player.coins);
    PutBytes(p, LevelName, Gbk::Encode(QStringLiteral("第三级")));
    PutBytes(p, Key, player.key.toLatin1());
    PutBytes(p, Title, Gbk::Encode(QStringLiteral("新手")));
    p[IsReady] = player.ready ? 1 : 0;
    Put64(p, SeatValue, player.seatBit);
    return p;
}

Packet ReadyPacket(const QString& key)
{
    Packet p = Wire::NewPacket(Command::Ready);
    p[Field::Ready::IsReady] = 1;
    PutBytes(p, Field::Ready::Key, key.toLatin1());
    return p;
}

class SeatMessagesTest : public UiTest::TableFixture {
protected:
    MainForm& Table() { return Load({1280, 1024}); }
    static void Deliver(const Packet& p) { Transport::DeliverPacket(p); }
};

}  // namespace

TEST(PlayerBlock, TextRulesAndNumbers)
{
    using namespace Field::SeatInfo;
    Packet p = Wire::NewPacket(Command::SeatInfo);
    // 31 bytes of name, then the lead byte of a character alone in the field's last place.
    QByteArray name = Gbk::Encode(QString(15, QChar(0x738B))) + QByteArray("A") + QByteArray(1, char(0xC4));
    PutBytes(p, Nickname, name);
    p[Face] = 0;  // no face: "m1"
    PutBytes(p, Area, Gbk::Encode(QStringLiteral("上海")));
    Put64(p, Points, 1234567890123ULL);
    Put64(p, Coins, 250000);
    Wire::WriteLE32(p, Wins, 17);
    Wire::WriteLE32(p, Losses, -3);
    PutBytes(p, Key, "alice");
    PutBytes(p, VoiceSet, "27");
    PutBytes(p, VoiceId, "30");
    Put64(p, SeatValue, 4);
    const PlayerRecord r = SeatMessages::DecodePlayerBlock(p);
    ASSERT_EQ(r.nickname.size(), 17);
    EXPECT_EQ(r.nickname.left(16), QString(15, QChar(0x738B)) + "A");
    EXPECT_EQ(r.face, "m1");
    EXPECT_EQ(r.area, "上海");
    EXPECT_EQ(r.points, 1234567890123.0);
    EXPECT_EQ(r.coins, 250000.0);
    EXPECT_EQ(r.wins, 17);
    EXPECT_EQ(r.losses, -3);
    EXPECT_EQ(r.userKey, "alice");
    EXPECT_EQ(r.voiceSet, "27");
    EXPECT_EQ(r.voiceId, "30");
    EXPECT_EQ(r.seatValue, 4.0);
}

TEST(PlayerBlock, PortraitsAndReadyMarksByTheirTables)
{
    struct Face {
        const char* face;
        int index;
    } faces[] = {{"m1", 0}, {"m9", 8}, {"w3", 12}, {"m12", 0}, {"m10", 9}, {"w10", 19},
                 {"m0", 0}, {"w0", 10}, {"m", 0}, {"mx", 0}, {"w1x", 10}, {"m1234", 0}};
    for (const Face& f : faces)
        EXPECT_EQ(SeatMessages::PortraitIndex(QString::fromLatin1(f.face)), f.index) << f.face;
    struct Coins {
        double coins;
        int cls;
    } coins[] = {{0, 0}, {19999, 0}, {20000, 1}, {59999, 1}, {60000, 2}, {1e12, 2}};
    for (const Coins& c : coins)
        EXPECT_EQ(SeatMessages::CoinClass(c.coins), c.cls) << c.coins;
}

TEST_F(SeatMessagesTest, PlayersAreSeatedShownAndTheFourthStartsTheTable)
{
    MainForm& f = Table();
    hall->posted.clear();
    // The first message tells the user's own seat bit, even when it describes another player.
    Deliver(SeatPacket(2, {8, "dave", "丁", "w3", 0, 59999, true}));
    EXPECT_EQ(TableState.Seats[0].seatBit, 2);
    EXPECT_TRUE(f.AnNiuLatched[2]);
    Deliver(SeatPacket(2, {2, "alice", "甲", "m2", 1, 19999}));
    EXPECT_FALSE(f.AnNiuLatched[2]);  // the user's own seat frees the start button
    Deliver(SeatPacket(2, {4, "carol", "丙", "m12", 1, 60000, true}));
    EXPECT_FALSE(TableState.Table.GameStarted);

    // Position 2 (seat 8, across from seat 2) is dave.
    EXPECT_EQ(TableState.Seats[2].seatKey, "dave");
    EXPECT_EQ(f.Nid[2]->text(), "[新手] 丁");
    EXPECT_EQ(f.Cash[2]->text(), "59999金币");
    EXPECT_EQ(f.Level[2]->text(), "第三级");
    EXPECT_EQ(f.Tou[2]->pictureId(), Pictures::Tables().PortraitPictures[12]);
    EXPECT_EQ(f.OK[2]->pictureId(), Pictures::Tables().ReadyMarkPictures[1]);
    EXPECT_TRUE(f.OK[2]->isVisible());
    EXPECT_EQ(f.OK[0]->pictureId(), Pictures::Tables().ReadyMarkPictures[0]);
    EXPECT_EQ(f.OK[1]->pictureId(), Pictures::Tables().ReadyMarkPictures[2]);
    EXPECT_EQ(f.Tou[1]->pictureId(), Pictures::Tables().PortraitPictures[0]);
    EXPECT_EQ(InfoWindows::TheScore().ID[2]->text(), "丁");
    EXPECT_EQ(InfoWindows::TheHero().ID[0]->text(), "甲");
    EXPECT_TRUE(hall->posted.empty());

    f.showMinimized();
    Deliver(SeatPacket(2, {1, "bob", "乙"}));
    EXPECT_EQ(TableState.Table.PlayersKnown, 4);
    EXPECT_FALSE(f.isMinimized());
    EXPECT_EQ(hall->posted, (std::vector<uint32_t>{61472}));
    EXPECT_TRUE(TableState.Table.GameStarted);
    EXPECT_EQ(SysmsgText(0), "游戏将在15秒内开始");
}

TEST_F(SeatMessagesTest, TheSameKeyTwiceStopsAtAMessageBox)
{
    MainForm& f = Table();
    Deliver(SeatPacket(2, {2, "alice", "甲"}));
    Deliver(SeatPacket(2, {4, "alice", "甲甲"}));
    ASSERT_EQ(TestDoubles::Seen().messageBoxes.size(), 1u);
    EXPECT_EQ(TestDoubles::Seen().messageBoxes[0].text, "出现相同的seatid");
    EXPECT_EQ(TableState.Table.PlayersKnown, 1);
    EXPECT_EQ(TableState.Table.SeatMessages, 2);
    EXPECT_TRUE(f.Nid[1]->text().isEmpty());
}

TEST_F(SeatMessagesTest, AMessageThatNamesNoSingleSeatIsDropped)
{
    MainForm& f = Table();
    struct Case {
        const char* name;
        uint8_t addressee;
        uint8_t seatValue;
    } cases[] = {
        {"two seats in the seat value", 2, 5},
        {"no seat in the seat value", 2, 0},
        {"the user's own seat given as three bits", 14, 2},
    };
    for (const Case& c : cases) {
        Deliver(SeatPacket(c.addressee, {c.seatValue, "erin", "戊"}));
        EXPECT_EQ(TableState.Seats[0].seatBit, 0) << c.name;
        EXPECT_EQ(TableState.Table.PlayersKnown, 0) << c.name;
        EXPECT_EQ(TableState.Table.SeatMessages, 0) << c.name;
        for (size_t pos = 0; pos < 4; ++pos)
            EXPECT_TRUE(f.Nid[pos]->text().isEmpty()) << c.name;
    }
    // The next good message still seats its player where it belongs.
    Deliver(SeatPacket(2, {4, "carol", "丙"}));
    EXPECT_EQ(TableState.Seats[0].seatBit, 2);
    EXPECT_EQ(TableState.Seats[1].seatKey, "carol");
    EXPECT_EQ(TableState.Table.PlayersKnown, 1);
}

TEST_F(SeatMessagesTest, AfterAReconnectASeatSentAgainIsRefreshedNotADuplicate)
{
    MainForm& f = Table();
    const std::vector<Player> table = {{2, "alice", "甲"}, {1, "bob", "乙"}, {4, "carol", "丙"}, {8, "dave", "丁"}};
    for (const Player& p : table)
        Deliver(SeatPacket(2, p));
    ASSERT_EQ(TableState.Table.PlayersKnown, 4);
    const int at = PositionOfSeat(1);
    const QString voice = TableState.Players[static_cast<size_t>(at)].voiceId;

    Connection::Link.Reconnected = true;
    Player bob = table[1];
    bob.coins = 41000;
    Deliver(SeatPacket(2, bob));
    Deliver(SeatPacket(2, table[0]));
    EXPECT_TRUE(TestDoubles::Seen().messageBoxes.empty());
    EXPECT_EQ(TableState.Table.PlayersKnown, 4);
    EXPECT_EQ(f.Cash[static_cast<size_t>(at)]->text(), "41000金币");
    EXPECT_EQ(TableState.Players[static_cast<size_t>(at)].voiceId, voice);

    // The same key at another seat is still a real duplicate.
    Deliver(SeatPacket(2, {4, "bob", "乙"}));
    ASSERT_EQ(TestDoubles::Seen().messageBoxes.size(), 1u);
    EXPECT_EQ(TestDoubles::Seen().messageBoxes[0].text, "出现相同的seatid");
}

TEST_F(SeatMessagesTest, VoicesAreDistinctWithinEachSex)
{
    for (int run = 0; run < 20; ++run) {
        Startup::ResetClient();
        for (PlayerRecord& p : TableState.Players)
            p.sex = 1;
        SeatMessages::ChooseVoices();
        std::set<QString> ids;
        for (const PlayerRecord& p : TableState.Players) {
            EXPECT_EQ(p.voiceSet, "27");
            EXPECT_EQ(p.voiceKind, 3);
            ids.insert(p.voiceId);
        }
        EXPECT_EQ(ids, (std::set<QString>{"10", "20", "30", "40"}));
        // The chosen voice is the one a chat phrase of that player plays.
        const PlayerRecord& second = TableState.Players[1];
        EXPECT_EQ(Mod_Sound::VoicePhraseFile(second, 'a', 1),
                  Mod_Sound::ProgramPath(Mod_Sound::File::VoiceFolder) + "v27" + second.voiceId + "13a1.wav");
    }
    // Two men and two women: each pair distinct, a voice kind of its own per sex.
    TableState.Players[1].sex = 0;
    TableState.Players[3].sex = 0;
    SeatMessages::ChooseVoices();
    EXPECT_NE(TableState.Players[0].voiceId, TableState.Players[2].voiceId);
    EXPECT_NE(TableState.Players[1].voiceId, TableState.Players[3].voiceId);
    EXPECT_EQ(TableState.Players[1].voiceKind, 2);
}

TEST_F(SeatMessagesTest, ThreeOthersReadyStartTheGame)
{
    MainForm& f = Table();
    Deliver(SeatPacket(1, {1, "alice", "甲"}));
    for (const auto& [bit, key] : {std::pair<uint8_t, const char*>{2, "bob"}, {4, "carol"}, {8, "dave"}})
        Deliver(SeatPacket(1, {bit, key, QString::fromLatin1(key)}));
    TableState.Table.GameStarted = false;
    Deliver(ReadyPacket("bob"));
    Deliver(ReadyPacket("nobody"));
    Deliver(ReadyPacket("carol"));
    EXPECT_TRUE(f.OK[1]->isVisible() && f.OK[2]->isVisible());
    EXPECT_FALSE(TableState.Table.GameStarted);
    Deliver(ReadyPacket("dave"));
    EXPECT_TRUE(f.OK[3]->isVisible());
    EXPECT_TRUE(TableState.Table.GameStarted);
}

TEST_F(SeatMessagesTest, TheReadyCountStaysInSightWhenTheOthersAreReadyFirst)
{
    MainForm& f = Table();
    f.show();
    Deliver(SeatPacket(1, {1, "alice", "甲"}));
    for (const auto& [bit, key] : {std::pair<uint8_t, const char*>{2, "bob"}, {4, "carol"}, {8, "dave"}})
        Deliver(SeatPacket(1, {bit, key, QString::fromLatin1(key)}));
    // Between rounds: the user's count runs, and the computer players are ready at once.
    TableState.Table.GameStarted = false;
    Clocks::StartReadyClock(12);
    Clocks::ShowStartingClock(f);
    for (const char* key : {"bob", "carol", "dave"})
        Deliver(ReadyPacket(key));
    EXPECT_TRUE(TableState.Table.GameStarted);
    EXPECT_TRUE(f.Time_Img->isVisible());
    EXPECT_TRUE(f.Number->isVisible());
    EXPECT_EQ(f.Number->text(), "12");

    // Without a count running (the user is ready) the reset leaves the clock away.
    Clocks::StopReadyClock();
    Clocks::HideClock(f);
    TableState.Table.GameStarted = false;
    for (PictureBox* mark : f.OK)
        mark->hide();
    for (const char* key : {"bob", "carol", "dave"})
        Deliver(ReadyPacket(key));
    EXPECT_TRUE(TableState.Table.GameStarted);
    EXPECT_FALSE(f.Time_Img->isVisible());
}

// Whatever a seat message carries, the table takes it without reading outside the packet.
TEST_F(SeatMessagesTest, RandomSeatMessagesAreHandledSafely)
{
    Table();
    std::mt19937 random(7);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int n = 0; n < 500; ++n) {
        Packet p{};
        for (uint8_t& b : p)
            b = static_cast<uint8_t>(byte(random));
        p[3] = n % 2 ? Command::SeatInfo : Command::Ready;
        Deliver(p);
    }
    for (const SeatRecord& seat : TableState.Seats)
        EXPECT_LE(seat.seatBit, 15);
}
