#pragma once
// The sound output layer: one current sound at a time, loaded from a wave file, played once
// or looping, stopped and rewound, with a volume in hundredths of a decibel. The player in
// Mod_Sound works only through this class, so tests can put a recording double in its place.
#include <memory>
#include <QString>

class QWidget;

class SoundDevice {
public:
    virtual ~SoundDevice() = default;

    // Opens the default output for the window; false when the machine has none.
    virtual bool Open(QWidget* window) = 0;
    // Makes the wave file the current sound (after Release). False when the file is missing or
    // not a wave file the output can play; there is then no current sound.
    virtual bool Load(const QString& path) = 0;
    virtual bool HasSound() const = 0;

    // Calls on the current sound; each returns false when the device failed.
    virtual bool Play(bool loop) = 0;
    // Stops the sound and puts it back to its beginning.
    virtual bool Stop() = 0;
    // 0 is the file's own level; -1000 is 10 dB quieter.
    virtual bool SetVolume(int hundredthsOfDb) = 0;
    // Drops the current sound.
    virtual bool Release() = 0;
};

// The output of this machine through Qt Multimedia.
std::unique_ptr<SoundDevice> MakeQtSoundDevice();

// Linear gain of an attenuation in hundredths of a decibel (0 gives 1.0).
double GainOfHundredthsDb(int hundredthsOfDb);

// Whether the file is a RIFF wave file with PCM samples and a non-empty data chunk.
bool IsPlayableWave(const QString& path);
