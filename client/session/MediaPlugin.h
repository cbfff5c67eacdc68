#pragma once
// The interface between the client and its media plugin (client/media). Qt Multimedia and the
// sound server's libraries live in the plugin, loaded the first time a sound output or a camera
// is asked for, so they stay out of the program's start. Both sides are built together.
#include <functional>
#include <memory>
#include <QtPlugin>

class QImage;
class QString;

// One sound made ready on the default output.
class MediaSound {
public:
    virtual ~MediaSound() = default;
    // Plays as soon as the samples are loaded.
    virtual void Play(bool loop) = 0;
    // Stops; the next play starts from the beginning.
    virtual void Stop() = 0;
    // Linear gain from 0 to 1.
    virtual void SetGain(float gain) = 0;
};

// A camera that hands over pictures while started.
class MediaCamera {
public:
    virtual ~MediaCamera() = default;
    virtual void Start() = 0;
    virtual void Stop() = 0;
    // Whether the last start failed (another program holds the camera).
    virtual bool Failed() const = 0;
};

class MediaPlugin {
public:
    virtual ~MediaPlugin() = default;
    // Whether the machine has a sound output at all.
    virtual bool HasSoundOutput() = 0;
    // The sound in a wave file on the default output; null when there is no output.
    virtual std::unique_ptr<MediaSound> NewSound(const QString& path) = 0;
    // The first camera, its pictures handed to picture from the event loop; null when there is
    // no camera.
    virtual std::unique_ptr<MediaCamera> OpenFirstCamera(std::function<void(const QImage&)> picture) = 0;
};

#define QuellorMediaPlugin_iid "org.quellor.MediaPlugin/1"
Q_DECLARE_INTERFACE(MediaPlugin, QuellorMediaPlugin_iid)

namespace MediaLayer {

inline constexpr char PluginFileName[] = "libquellor-media.so";

// The plugin, loaded on the first call and kept for the life of the process; null when it
// cannot be loaded (said once on the log), which leaves the table silent and without camera.
MediaPlugin* Plugin();
// Where the plugin is looked for instead of the program's folder; tests run from their own.
void SetPluginFolder(const QString& folder);

}  // namespace MediaLayer
