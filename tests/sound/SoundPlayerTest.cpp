#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTemporaryDir>
#include <climits>
#include <functional>

#include "common/ClientFixture.h"
#include "session/HallLink.h"
#include "session/Platform.h"
#include "sound/Mod_Sound.h"
#include "sound/SoundDevice.h"
#include "table/TableState.h"

using namespace Mod_Sound;
using TestDoubles::FakeHall;

namespace {

QStringList Lines(std::initializer_list<QString> lines)
{
    return QStringList(lines);
}

QString Load(const QString& relative)
{
    return QStringLiteral("load ") + ProgramPath(relative);
}

}  // namespace

class SoundPlayerTest : public TestDoubles::ClientFixture {};

TEST_F(SoundPlayerTest, ProgramPathTurnsBackslashesIntoTheProgramFolder)
{
    EXPECT_EQ(ProgramPath("\\..\\common\\pk\\sys020.wav"), Platform::ProgramDir() + "/../common/pk/sys020.wav");
    EXPECT_EQ(ProgramPath("\\..\\..\\plugin\\music"), Platform::ProgramDir() + "/../../plugin/music");
}

TEST_F(SoundPlayerTest, StartUpOpensTheOutputAndLoopsTheTuneAtFullVolume)
{
    StartSound(nullptr);
    EXPECT_EQ(State.SoundFiles[1], ProgramPath(File::Music));
    EXPECT_EQ(State.SoundFiles[6], ProgramPath(File::Warning));
    EXPECT_EQ(soundDevice->calls, Lines({"open", Load(File::Music), "play loop", "volume 0"}));
    EXPECT_TRUE(soundDevice->playing);
    EXPECT_TRUE(soundDevice->looping);
    EXPECT_TRUE(State.WarningSoundOn);
}

TEST_F(SoundPlayerTest, StartUpFollowsTheSwitches)
{
    // Without the music the file list stays empty; the output still opens, nothing plays.
    State.MusicOn = false;
    StartSound(nullptr);
    EXPECT_TRUE(State.SoundFiles[1].isEmpty());
    EXPECT_EQ(soundDevice->calls, Lines({"open"}));

    // Without the warning the output is not even opened.
    ResetSound();
    soundDevice->calls.clear();
    State.WarningSoundOn = false;
    StartSound(nullptr);
    EXPECT_EQ(State.SoundFiles[6], ProgramPath(File::Warning));
    EXPECT_TRUE(soundDevice->calls.isEmpty());
}

TEST_F(SoundPlayerTest, NoOutputSwitchesTheWarningOffButCuesAreStillTried)
{
    soundDevice->openSucceeds = false;
    StartSound(nullptr);
    EXPECT_FALSE(State.WarningSoundOn);
    EXPECT_TRUE(State.MusicOn);
    EXPECT_TRUE(State.EffectsOn);

    soundDevice->calls.clear();
    PlayWarningTick();
    EXPECT_TRUE(soundDevice->calls.isEmpty());
    PlayCue(File::Pass);
    EXPECT_EQ(soundDevice->current, ProgramPath(File::Pass));
}

TEST_F(SoundPlayerTest, ACueDuringTheTuneEndsTheTuneForGood)
{
    StartSound(nullptr);
    soundDevice->calls.clear();
    PlayCue(File::CardRaised);
    EXPECT_EQ(soundDevice->calls, Lines({"stop", "release", Load(File::CardRaised), "play once", "volume 0"}));
    EXPECT_FALSE(soundDevice->looping);
    // Nothing brings the tune back by itself.
    soundDevice->calls.clear();
    PlayCue(File::CardLowered);
    EXPECT_FALSE(soundDevice->calls.contains(Load(File::Music)));
}

TEST_F(SoundPlayerTest, TwoCuesInARowTheSecondCutsTheFirst)
{
    PlayCue(File::CardRaised);
    PlayCue(File::Hint);
    EXPECT_EQ(soundDevice->calls, Lines({Load(File::CardRaised), "play once", "volume 0",
                                         "stop", "release", Load(File::Hint), "play once", "volume 0"}));
    EXPECT_EQ(soundDevice->current, ProgramPath(File::Hint));
}

TEST_F(SoundPlayerTest, VolumeLevelsMapToAttenuationAndOthersAreIgnored)
{
    PlaySound(ProgramPath(File::Music), true);
    struct Case {
        int level;
        bool applied;
        int hundredthsOfDb;
    };
    const Case cases[] = {
        {3000, true, 0}, {0, true, -3000}, {1234, true, -1766},
        {3001, false, 0}, {-1, false, 0}, {INT_MAX, false, 0}, {INT_MIN, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.level);
        SetSoundVolume(2000);
        soundDevice->calls.clear();
        SetSoundVolume(c.level);
        EXPECT_EQ(soundDevice->calls.size(), c.applied ? 1 : 0);
        EXPECT_EQ(soundDevice->volume, c.applied ? c.hundredthsOfDb : -1000);
        EXPECT_TRUE(State.WarningSoundOn);
    }
    // Without a current sound nothing is asked of the device.
    PlaySound(QString(), false);
    soundDevice->calls.clear();
    SetSoundVolume(1000);
    StopSound();
    EXPECT_TRUE(soundDevice->calls.isEmpty());
}

TEST_F(SoundPlayerTest, AttenuationBecomesALinearGain)
{
    EXPECT_DOUBLE_EQ(GainOfHundredthsDb(0), 1.0);
    EXPECT_NEAR(GainOfHundredthsDb(-2000), 0.1, 1e-12);
    EXPECT_NEAR(GainOfHundredthsDb(-3000), 0.0316228, 1e-6);
    EXPECT_NEAR(GainOfHundredthsDb(-600), 0.501187, 1e-6);
}

TEST_F(SoundPlayerTest, AFailingDeviceSwitchesTheWarningOff)
{
    const std::pair<const char*, std::function<void()>> calls[] = {
        {"stop", [] { StopSound(); }},
        {"volume", [] { SetSoundVolume(1500); }},
        {"another sound", [] { PlaySound(ProgramPath(File::Hint), false); }},
    };
    for (const auto& [name, call] : calls) {
        SCOPED_TRACE(name);
        ResetSound();
        soundDevice->deviceFails = false;
        PlaySound(ProgramPath(File::Music), true);
        ASSERT_TRUE(State.WarningSoundOn);
        soundDevice->deviceFails = true;
        call();
        EXPECT_FALSE(State.WarningSoundOn);
        EXPECT_TRUE(State.MusicOn);
        EXPECT_TRUE(State.EffectsOn);
    }
}

TEST_F(SoundPlayerTest, AFileThatCannotBePlayedPlaysNothingAndKeepsTheSwitches)
{
    PlaySound(ProgramPath(File::Music), true);
    soundDevice->unplayable << ProgramPath(File::Pass);
    soundDevice->calls.clear();
    PlayCue(File::Pass);
    EXPECT_EQ(soundDevice->calls, Lines({"stop", "release", Load(File::Pass)}));
    EXPECT_FALSE(soundDevice->HasSound());
    EXPECT_TRUE(State.WarningSoundOn);
    EXPECT_TRUE(State.EffectsOn);
}

TEST_F(SoundPlayerTest, EachKindOfSoundAnswersToItsOwnSwitch)
{
    StartSound(nullptr);
    PlayerRecord player;
    player.voiceSet = "27";
    player.voiceId = "10";
    player.sex = 1;
    player.voiceKind = 3;
    const QString phrase = VoicePhraseFile(player, 'a', 1);

    State.EffectsOn = false;
    State.WarningSoundOn = true;
    soundDevice->calls.clear();
    PlayCue(File::PlayShown);
    EXPECT_TRUE(soundDevice->calls.isEmpty()) << "a cue with the effects off";
    PlayWarningTick();
    EXPECT_EQ(soundDevice->current, ProgramPath(File::Warning));

    State.WarningSoundOn = false;
    soundDevice->calls.clear();
    PlayWarningTick();
    EXPECT_TRUE(soundDevice->calls.isEmpty()) << "the warning switched off";

    // A voice phrase asks for no switch at all.
    PlayVoicePhrase(phrase);
    EXPECT_EQ(soundDevice->current, phrase);
    EXPECT_TRUE(soundDevice->playing);
    EXPECT_EQ(soundDevice->volume, 0);
}

TEST_F(SoundPlayerTest, VoicePhraseFileNamesComposeTheVoiceFields)
{
    PlayerRecord man;
    man.voiceSet = "27";
    man.voiceId = "30";
    man.sex = 1;
    man.voiceKind = 3;
    EXPECT_EQ(VoicePhraseFile(man, 'a', 5), Platform::ProgramDir() + "/../common/tianjin/v273013a5.wav");
    PlayerRecord woman = man;
    woman.sex = 0;
    woman.voiceKind = 2;
    EXPECT_EQ(VoicePhraseFile(woman, 'b', 255), Platform::ProgramDir() + "/../common/tianjin/v273002b255.wav");

    // Fields from the wire that would leave the folder or carry control bytes name nothing,
    // and nothing is played for them.
    PlayerRecord odd = man;
    odd.voiceSet = "/../../x";
    EXPECT_TRUE(VoicePhraseFile(odd, 'a', 1).isEmpty());
    EXPECT_TRUE(VoicePhraseFile(man, '\0', 1).isEmpty());
    EXPECT_TRUE(VoicePhraseFile(man, '\\', 1).isEmpty());
    PlayVoicePhrase(VoicePhraseFile(odd, 'a', 1));
    EXPECT_FALSE(soundDevice->calls.contains("play once"));
}

TEST_F(SoundPlayerTest, FileExistsOnlyForAPlainFileOfExactlyThatName)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile file(dir.filePath("music"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    QDir(dir.path()).mkdir("folder");
    EXPECT_TRUE(Is_File_Exist(dir.filePath("music"), "music"));
    EXPECT_TRUE(Is_File_Exist(dir.path() + "/folder/../music", "music"));
    EXPECT_FALSE(Is_File_Exist(dir.filePath("music"), "Music"));
    EXPECT_FALSE(Is_File_Exist(dir.filePath("music"), "music.exe"));
    EXPECT_FALSE(Is_File_Exist(dir.filePath("folder"), "folder"));
    EXPECT_FALSE(Is_File_Exist(dir.filePath("missing"), "missing"));
    EXPECT_FALSE(Is_File_Exist(QString(), QString()));
}

class MusicBoxTest : public TestDoubles::ClientFixture {
protected:
    void SetUp() override
    {
        ClientFixture::SetUp();
        auto fake = std::make_unique<FakeHall>();
        box = fake.get();
        SetMusicBoxChannel(std::move(fake));
        ASSERT_TRUE(root.isValid());
        // The program folder two levels below the root, as an installed table sits.
        QDir(root.path()).mkpath("games/quellor");
        Platform::SetProgramDir(root.filePath("games/quellor"));
        TableState.Players[0].userKey = "player7";
        PlaySound(ProgramPath(File::Music), true);
    }
    void TearDown() override
    {
        SetMusicBoxChannel(nullptr);
        ClientFixture::TearDown();
    }

    FakeHall* box = nullptr;
    QTemporaryDir root;
};

TEST_F(MusicBoxTest, ARunningMusicBoxIsOnlyAskedToComeForward)
{
    StartMusicBox();
    StartMusicBox();
    EXPECT_EQ(box->lastCaption, "musicbox");
    EXPECT_EQ(box->posted, (std::vector<uint32_t>{1135, 1135}));
    EXPECT_TRUE(soundDevice->playing) << "the tune goes on";
    EXPECT_TRUE(TestDoubles::Seen().programsStarted.empty());
    EXPECT_TRUE(TestDoubles::Seen().okCancelBoxes.empty());
}

TEST_F(MusicBoxTest, AnInstalledMusicBoxIsStartedWithTheKeyAndTheWebHost)
{
    box->present = false;
    QDir(root.path()).mkpath("plugin");
    QFile program(root.filePath("plugin/music"));
    ASSERT_TRUE(program.open(QIODevice::WriteOnly));
    program.close();

    StartMusicBox();
    EXPECT_FALSE(soundDevice->playing) << "the tune stops for the music box";
    ASSERT_EQ(TestDoubles::Seen().programsStarted.size(), 1u);
    const auto& started = TestDoubles::Seen().programsStarted[0];
    EXPECT_EQ(started.program, root.filePath("games/quellor") + "/../../plugin/music");
    EXPECT_EQ(started.arguments, QStringList{"player7$$127.0.0.1:8090$"});
    EXPECT_TRUE(TestDoubles::Seen().okCancelBoxes.empty());
}

TEST_F(MusicBoxTest, AMissingMusicBoxOffersTheDownloadPage)
{
    box->present = false;
    for (bool ok : {false, true}) {
        SCOPED_TRACE(ok);
        TestDoubles::Seen() = TestDoubles::Record{};
        TestDoubles::Seen().answerOk = ok;
        StartMusicBox();
        ASSERT_EQ(TestDoubles::Seen().okCancelBoxes.size(), 1u);
        EXPECT_EQ(TestDoubles::Seen().okCancelBoxes[0].text,
                  "您的大厅安装不完整，请重新安装或到网站上下载独立的安装程序！");
        EXPECT_EQ(TestDoubles::Seen().okCancelBoxes[0].title, "Hallmere提示");
        EXPECT_EQ(TestDoubles::Seen().shellOpened,
                  ok ? std::vector<QString>{"http://127.0.0.1:8090/magic.php"} : std::vector<QString>{});
        EXPECT_TRUE(TestDoubles::Seen().programsStarted.empty());
    }
    EXPECT_FALSE(soundDevice->playing);
}

// The real channel reaches a music box listening the way the hall does.
TEST_F(SoundPlayerTest, MusicBoxChannelPostsFourByteNumbersToTheNamedSocket)
{
    SetMusicBoxChannel(MakeMusicBoxChannel());
    const QString name = HallLink::EndpointName("musicbox");
    QLocalServer::removeServer(name);
    QLocalServer server;
    ASSERT_TRUE(server.listen(name)) << server.errorString().toStdString();

    StartMusicBox();
    ASSERT_TRUE(Platform::PumpUntil([&] { return server.hasPendingConnections(); }, 100000));
    QLocalSocket* peer = server.nextPendingConnection();
    QByteArray got;
    Platform::PumpUntil([&] {
        got += peer->readAll();
        return got.size() >= 4;
    }, 100000);
    EXPECT_EQ(got, QByteArray("\x6f\x04\x00\x00", 4));
    EXPECT_TRUE(TestDoubles::Seen().okCancelBoxes.empty());
    SetMusicBoxChannel(nullptr);
}
