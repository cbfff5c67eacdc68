#include "sound/Mod_Sound.h"

#include <QCoreApplication>
#include <QFileInfo>

#include "session/HallLink.h"
#include "session/LayerSlot.h"
#include "session/Platform.h"
#include "session/SiteConfig.h"
#include "sound/SoundDevice.h"

namespace {

void DropAtExit();
template <class Layer>
void EnsureCleanup(Layer&);

LayerSlot<SoundDevice> g_device(MakeQtSoundDevice, EnsureCleanup<SoundDevice>);
LayerSlot<HallChannel> g_musicBox(Mod_Sound::MakeMusicBoxChannel, EnsureCleanup<HallChannel>);

// Sound objects must go before the application object does; tests end through main's return.
void DropAtExit()
{
    g_device.Reset();
    g_musicBox.Reset();
}

template <class Layer>
void EnsureCleanup(Layer&)
{
    static bool added = false;
    if (!added && QCoreApplication::instance()) {
        added = true;
        qAddPostRoutine(DropAtExit);
    }
}

// Voice fields come from the server; a name part that could leave the voice folder or carry
// control characters names no phrase.
bool IsNamePart(const QString& part)
{
    for (QChar c : part)
        if (c.unicode() < 33 || c.unicode() > 126 || c == QLatin1Char('/') || c == QLatin1Char('\\'))
            return false;
    return true;
}

}  // namespace

namespace Mod_Sound {

QString ProgramPath(const QString& relative)
{
    QString path = relative;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return Platform::DataDir() + path;
}

void StartSound(QWidget* window)
{
    if (State.MusicOn) {
        State.SoundFiles[1] = ProgramPath(File::Music);
        State.SoundFiles[6] = ProgramPath(File::Warning);
    }
    if (State.WarningSoundOn) {
        OpenSoundOutput(window);
        StopSound();
        PlaySound(State.SoundFiles[1], true);
        SetSoundVolume(FullVolume);
    }
}

void OpenSoundOutput(QWidget* window)
{
    if (!Device().Open(window))
        State.WarningSoundOn = false;
}

void PlaySound(const QString& path, bool loop)
{
    SoundDevice& device = Device();
    if (device.HasSound()) {
        const bool stopped = device.Stop();
        const bool released = device.Release();
        if (!stopped || !released)
            State.WarningSoundOn = false;
    }
    if (path.isEmpty() || !device.Load(path))
        return;
    if (!device.Play(loop))
        State.WarningSoundOn = false;
}

void StopSound()
{
    SoundDevice& device = Device();
    if (device.HasSound() && !device.Stop())
        State.WarningSoundOn = false;
}

void SetSoundVolume(int level)
{
    if (level < 0 || level > FullVolume)
        return;
    SoundDevice& device = Device();
    if (device.HasSound() && !device.SetVolume(level - FullVolume))
        State.WarningSoundOn = false;
}

void PlayCue(const QString& relative)
{
    if (!State.EffectsOn)
        return;
    PlaySound(ProgramPath(relative), false);
    SetSoundVolume(FullVolume);
}

void PlayWarningTick()
{
    if (!State.WarningSoundOn)
        return;
    PlaySound(State.SoundFiles[6], false);
    SetSoundVolume(FullVolume);
}

void PlayVoicePhrase(const QString& path)
{
    StopSound();
    PlaySound(path, false);
    SetSoundVolume(FullVolume);
}

QString VoicePhraseFile(const PlayerRecord& player, char code, int number)
{
    const QString name = QStringLiteral("v") + player.voiceSet + player.voiceId
                         + QString::number(player.sex) + QString::number(player.voiceKind)
                         + QChar::fromLatin1(code) + QString::number(number);
    if (!IsNamePart(name))
        return QString();
    return ProgramPath(File::VoiceFolder) + name + QStringLiteral(".wav");
}

bool Is_File_Exist(const QString& path, const QString& name)
{
    if (path.isEmpty() || name.isEmpty())
        return false;
    const QFileInfo info(path);
    return info.isFile() && info.fileName() == name;
}

void StartMusicBox()
{
    HallChannel& box = MusicBoxChannel();
    if (box.Find(MusicBoxCaption)) {
        box.Post(MusicBoxMessage);
        box.Flush();
        return;
    }
    StopSound();
    const QString program = ProgramPath(File::MusicBoxProgram);
    if (Is_File_Exist(program, QStringLiteral("music"))) {
        const QString line = TableState.Players[0].userKey + QStringLiteral("$$") + SiteConfig::WebHost
                             + QStringLiteral("$");
        Platform::StartProgram(program, {line});
        return;
    }
    if (Platform::AskOkCancel(
            QStringLiteral("您的大厅安装不完整，请重新安装或到网站上下载独立的安装程序！"),
            QStringLiteral("Hallmere提示")))
        Platform::ShellOpen(QStringLiteral("http://") + SiteConfig::WebHost + QStringLiteral("/magic.php"));
}

SoundDevice& Device() { return g_device.Get(); }

void SetSoundDevice(std::unique_ptr<SoundDevice> device) { g_device.Set(std::move(device)); }

HallChannel& MusicBoxChannel() { return g_musicBox.Get(); }

void SetMusicBoxChannel(std::unique_ptr<HallChannel> channel) { g_musicBox.Set(std::move(channel)); }

std::unique_ptr<HallChannel> MakeMusicBoxChannel()
{
    // The music box listens like the hall: a local socket named from its caption, 4-byte
    // little-endian numbers.
    return HallLink::MakeLocalChannel();
}

void ResetSound()
{
    if (SoundDevice* device = g_device.Current(); device && device->HasSound()) {
        device->Stop();
        device->Release();
    }
    State = SoundRecord{};
}

}  // namespace Mod_Sound
