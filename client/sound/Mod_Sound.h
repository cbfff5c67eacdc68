#pragma once
// The sound player of the table: one current sound (starting any sound stops the one before),
// the three switches, the list of the files played at start-up and by the clock, and the
// music box. Paths written "\..\common\x.wav" are relative to the program folder.
#include <array>
#include <cstdint>
#include <memory>
#include <QString>

#include "table/TableState.h"

class HallChannel;
class QWidget;
class SoundDevice;

namespace Mod_Sound {

struct SoundRecord {
    // All on at every start; only the settings window changes them, nothing stores them.
    bool MusicOn = true;          // the background tune
    bool EffectsOn = true;        // the action and event cues
    // The turn-clock warning. Also the record that the output works: a failing device call
    // clears it, and at start-up it decides whether the output is opened at all.
    bool WarningSoundOn = true;
    // Entries 1 (background tune) and 6 (clock warning) are filled at start-up; index 0 and
    // the entries between stay empty.
    std::array<QString, 7> SoundFiles{};
};
inline SoundRecord State;

// The files beside the program.
namespace File {
inline const QString Music = QStringLiteral("\\..\\common\\music\\majiang.wav");
inline const QString Warning = QStringLiteral("\\..\\common\\music\\tishi.wav");
inline const QString CardRaised = QStringLiteral("\\..\\common\\pk\\sys020.wav");
inline const QString CardLowered = QStringLiteral("\\..\\common\\pk\\sys030.wav");
inline const QString Hint = QStringLiteral("\\..\\common\\pk\\sys110.wav");
inline const QString Pass = QStringLiteral("\\..\\common\\pk\\sys080.wav");
inline const QString PlayShown = QStringLiteral("\\..\\common\\pk\\sys070.wav");
inline const QString RoundWon = QStringLiteral("\\..\\common\\pk\\sys121.wav");
inline const QString RoundLost = QStringLiteral("\\..\\common\\pk\\sys150.wav");
inline const QString CardDealt = QStringLiteral("\\..\\common\\voices\\sys010.wav");
inline const QString VoiceFolder = QStringLiteral("\\..\\common\\tianjin\\");
inline const QString MusicBoxProgram = QStringLiteral("\\..\\..\\plugin\\music");
}  // namespace File

// The loudest level; every sound of the table is played at it.
constexpr int FullVolume = 3000;

// Program folder + a path written with backslashes: "\..\x" becomes "<program dir>/../x".
QString ProgramPath(const QString& relative);

// Start-up of the sound (the table window's load): the file list when MusicOn, and when
// WarningSoundOn the output on the window and the looping background tune at full volume.
void StartSound(QWidget* window);

// Opens the default output for the window; a failure clears WarningSoundOn.
void OpenSoundOutput(QWidget* window);
// Stops and drops the current sound, then plays the file once or looping. A file that cannot
// be played plays nothing and changes no switch.
void PlaySound(const QString& path, bool loop);
// Stops the current sound and rewinds it.
void StopSound();
// 0..3000, played at level - 3000 hundredths of a decibel; other levels are ignored.
void SetSoundVolume(int level);

// A cue of the game (one of File::..., relative): played once at full volume when EffectsOn.
void PlayCue(const QString& relative);
// The clock's warning tick (SoundFiles entry 6) at full volume when WarningSoundOn.
void PlayWarningTick();
// A chat voice phrase (absolute path): played once at full volume whatever the switches say.
void PlayVoicePhrase(const QString& path);
// The file of a voice phrase of a player: the voice folder + "v" + voiceSet + voiceId + sex +
// voiceKind + the phrase character + the phrase number + ".wav".
QString VoicePhraseFile(const PlayerRecord& player, char code, int number);

// Whether the file at path exists as a plain file whose name is exactly name.
bool Is_File_Exist(const QString& path, const QString& name);

// The music box: found by its window caption over the local channel (as the hall is); a
// running one is asked to come forward, otherwise the program is started, and when it is not
// installed the user is offered the download page.
inline const QString MusicBoxCaption = QStringLiteral("musicbox");
constexpr uint32_t MusicBoxMessage = 1135;
void StartMusicBox();

// The output layer; the real one is made on first use.
SoundDevice& Device();
void SetSoundDevice(std::unique_ptr<SoundDevice> device);
// The channel to the music box window; the real one is made on first use.
HallChannel& MusicBoxChannel();
void SetMusicBoxChannel(std::unique_ptr<HallChannel> channel);
std::unique_ptr<HallChannel> MakeMusicBoxChannel();

// Back to the state of process start: switches on, no file list, no current sound.
void ResetSound();

}  // namespace Mod_Sound
