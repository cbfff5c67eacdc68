#pragma once
// The sound output's double, recording every call as a line: "open", "load <path>", "play once",
// "play loop", "stop", "volume <hundredths of dB>", "release".
#include <QString>
#include <QStringList>
#include <QWidget>

#include "sound/SoundDevice.h"

namespace TestDoubles {

class FakeSoundDevice : public SoundDevice {
public:
    bool openSucceeds = true;
    bool deviceFails = false;           // every call on a sound reports a failure
    QStringList unplayable;             // files Load refuses
    QStringList calls;
    QString current;                    // file of the current sound; empty when none
    bool playing = false;
    bool looping = false;
    int volume = 0;
    // Whether the window the output was opened for was already shown then.
    bool windowShownAtOpen = false;

    bool Open(QWidget* window) override
    {
        calls << QStringLiteral("open");
        windowShownAtOpen = window != nullptr && window->isVisible();
        return openSucceeds;
    }
    bool Load(const QString& path) override
    {
        calls << QStringLiteral("load ") + path;
        current.clear();
        playing = false;
        if (path.isEmpty() || unplayable.contains(path))
            return false;
        current = path;
        volume = 0;
        return true;
    }
    bool HasSound() const override { return !current.isEmpty(); }
    bool Play(bool loop) override
    {
        calls << (loop ? QStringLiteral("play loop") : QStringLiteral("play once"));
        playing = !deviceFails;
        looping = loop;
        return !deviceFails;
    }
    bool Stop() override
    {
        calls << QStringLiteral("stop");
        playing = false;
        return !deviceFails;
    }
    bool SetVolume(int hundredthsOfDb) override
    {
        calls << QStringLiteral("volume %1").arg(hundredthsOfDb);
        if (!deviceFails)
            volume = hundredthsOfDb;
        return !deviceFails;
    }
    bool Release() override
    {
        calls << QStringLiteral("release");
        current.clear();
        playing = false;
        return !deviceFails;
    }
};

}  // namespace TestDoubles
