// The table's sound output and camera on Qt Multimedia.
#include <QAudioDevice>
#include <QCamera>
#include <QImage>
#include <QMediaCaptureSession>
#include <QMediaDevices>
#include <QObject>
#include <QSoundEffect>
#include <QUrl>
#include <QVideoFrame>
#include <QVideoSink>

#include "session/MediaPlugin.h"

namespace {

class EffectSound : public MediaSound {
public:
    EffectSound(const QAudioDevice& output, const QString& path) : m_effect(output)
    {
        m_effect.setSource(QUrl::fromLocalFile(path));
    }
    ~EffectSound() override { m_effect.stop(); }

    void Play(bool loop) override
    {
        m_effect.setLoopCount(loop ? QSoundEffect::Infinite : 1);
        m_effect.play();
    }
    void Stop() override { m_effect.stop(); }
    void SetGain(float gain) override { m_effect.setVolume(gain); }

private:
    QSoundEffect m_effect;
};

class CaptureCamera : public MediaCamera {
public:
    CaptureCamera(const QCameraDevice& device, std::function<void(const QImage&)> picture)
        : m_camera(device)
    {
        m_session.setCamera(&m_camera);
        m_session.setVideoSink(&m_sink);
        QObject::connect(&m_sink, &QVideoSink::videoFrameChanged, [picture](const QVideoFrame& frame) {
            const QImage image = frame.toImage();
            if (!image.isNull())
                picture(image);
        });
    }
    ~CaptureCamera() override
    {
        m_camera.stop();
        m_session.setCamera(nullptr);
        m_session.setVideoSink(nullptr);
    }

    void Start() override { m_camera.start(); }
    void Stop() override { m_camera.stop(); }
    bool Failed() const override { return !m_camera.isActive() && m_camera.error() != QCamera::NoError; }

private:
    // Members go in reverse: the session first, while the camera and the sink it names exist.
    QCamera m_camera;
    QVideoSink m_sink;
    QMediaCaptureSession m_session;
};

class QtMedia : public QObject, public MediaPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QuellorMediaPlugin_iid)
    Q_INTERFACES(MediaPlugin)

public:
    bool HasSoundOutput() override
    {
        // Without an output Qt still claims to play; a machine without one says so here.
        return !QMediaDevices::audioOutputs().isEmpty();
    }

    std::unique_ptr<MediaSound> NewSound(const QString& path) override
    {
        const QAudioDevice output = QMediaDevices::defaultAudioOutput();
        if (output.isNull())
            return nullptr;
        return std::make_unique<EffectSound>(output, path);
    }

    std::unique_ptr<MediaCamera> OpenFirstCamera(std::function<void(const QImage&)> picture) override
    {
        const QList<QCameraDevice> cameras = QMediaDevices::videoInputs();
        if (cameras.isEmpty())
            return nullptr;
        return std::make_unique<CaptureCamera>(cameras.first(), std::move(picture));
    }
};

}  // namespace

#include "QtMediaPlugin.moc"
