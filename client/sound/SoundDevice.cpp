#include "sound/SoundDevice.h"

#include <algorithm>
#include <cmath>
#include <QFile>

#include "session/MediaPlugin.h"

namespace {

uint32_t Le32(const QByteArray& b, qsizetype at)
{
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i)
        v |= static_cast<uint32_t>(static_cast<uint8_t>(b[at + i])) << (8 * i);
    return v;
}

uint16_t Le16(const QByteArray& b, qsizetype at)
{
    return static_cast<uint16_t>(static_cast<uint8_t>(b[at]) | (static_cast<uint8_t>(b[at + 1]) << 8));
}

// Qt Multimedia behind the device layer, in the media plugin. Its sound loads asynchronously and
// never reports a missing output, so the file is checked here and the output is looked up at
// Open; the plugin is loaded only then.
class QtSoundDevice : public SoundDevice {
public:
    bool Open(QWidget*) override
    {
        // A machine without an output, or without the plugin, has failed here.
        MediaPlugin* media = MediaLayer::Plugin();
        return media != nullptr && media->HasSoundOutput();
    }

    bool Load(const QString& path) override
    {
        m_sound.reset();
        MediaPlugin* media = MediaLayer::Plugin();
        if (media == nullptr || !IsPlayableWave(path))
            return false;
        m_sound = media->NewSound(path);
        return m_sound != nullptr;
    }

    bool HasSound() const override { return m_sound != nullptr; }

    bool Play(bool loop) override
    {
        if (!m_sound)
            return false;
        m_sound->Play(loop);
        return true;
    }

    bool Stop() override
    {
        if (!m_sound)
            return false;
        m_sound->Stop();
        return true;
    }

    bool SetVolume(int hundredthsOfDb) override
    {
        if (!m_sound)
            return false;
        m_sound->SetGain(static_cast<float>(GainOfHundredthsDb(hundredthsOfDb)));
        return true;
    }

    bool Release() override
    {
        m_sound.reset();
        return true;
    }

private:
    std::unique_ptr<MediaSound> m_sound;
};

}  // namespace

std::unique_ptr<SoundDevice> MakeQtSoundDevice()
{
    return std::make_unique<QtSoundDevice>();
}

double GainOfHundredthsDb(int hundredthsOfDb)
{
    if (hundredthsOfDb >= 0)
        return 1.0;
    return std::pow(10.0, hundredthsOfDb / 2000.0);
}

bool IsPlayableWave(const QString& path)
{
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly))
        return false;
    // Only the chunk heads are read, never the samples: every cue is checked before it plays.
    // The chunks before the samples are small; a megabyte of them is no wave file.
    const qint64 searched = std::min<qint64>(file.size(), 1 << 20);
    const auto readAt = [&file](qint64 at, qint64 bytes) {
        return file.seek(at) ? file.read(bytes) : QByteArray();
    };
    const QByteArray riff = readAt(0, 12);
    if (searched < 12 || riff.size() < 12 || !riff.startsWith("RIFF") || riff.mid(8, 4) != "WAVE")
        return false;
    bool pcm = false;
    qint64 at = 12;
    while (at + 8 <= searched) {
        const QByteArray chunk = readAt(at, 8);
        if (chunk.size() < 8)
            return false;
        const QByteArray id = chunk.left(4);
        const uint32_t size = Le32(chunk, 4);
        const qint64 body = at + 8;
        if (id == "fmt ") {
            const QByteArray fmt = readAt(body, 16);
            if (size < 16 || body + 16 > searched || fmt.size() < 16)
                return false;
            const uint16_t format = Le16(fmt, 0);
            const uint16_t channels = Le16(fmt, 2);
            const uint32_t rate = Le32(fmt, 4);
            const uint16_t bits = Le16(fmt, 14);
            // PCM, or the extensible header that wraps it.
            pcm = (format == 1 || format == 0xFFFE) && channels >= 1 && channels <= 8
                  && rate >= 1000 && rate <= 384000 && (bits == 8 || bits == 16 || bits == 24 || bits == 32);
        } else if (id == "data") {
            return pcm && size > 0 && file.size() > body;
        }
        // Chunks are padded to an even size.
        const qint64 next = body + size + (size & 1);
        if (next > searched)
            return false;
        at = next;
    }
    return false;
}
