#include "video/VCap.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QTimer>

#include <cmath>

#include "session/LayerSlot.h"
#include "session/MediaPlugin.h"

namespace VideoPictures {

namespace {

QByteArray AsBmp(const QImage& image)
{
    QByteArray bmp;
    QBuffer buffer(&bmp);
    buffer.open(QIODevice::WriteOnly);
    image.convertToFormat(QImage::Format_RGB888).save(&buffer, "BMP");
    return bmp;
}

}  // namespace

QByteArray TestPicture(qint64 ms)
{
    QImage image(Width, Height, QImage::Format_RGB32);
    QPainter painter(&image);
    // Colour bars, with a bright bar sweeping across and a clock hand turning.
    const QColor bars[] = {Qt::white, Qt::yellow, Qt::cyan, Qt::green, Qt::magenta, Qt::red, Qt::blue};
    const int barWidth = (Width + 6) / 7;
    for (int i = 0; i < 7; ++i)
        painter.fillRect(i * barWidth, 0, barWidth, Height, bars[i]);
    const double t = static_cast<double>(ms) / 1000.0;
    const int sweep = static_cast<int>(std::fmod(t * 60.0, Width + 20.0)) - 20;
    painter.fillRect(sweep, 0, 20, Height, QColor(255, 255, 255, 160));
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF centre(Width / 2.0, Height / 2.0);
    painter.setBrush(QColor(20, 20, 20, 200));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(centre, 34, 34);
    painter.setPen(QPen(Qt::white, 3));
    painter.drawLine(centre, centre + QPointF(28 * std::sin(t * 2), -28 * std::cos(t * 2)));
    painter.end();
    return AsBmp(image);
}

QByteArray FromImage(const QImage& image)
{
    return AsBmp(image.scaled(Width, Height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
}

}  // namespace VideoPictures

bool HasVideoDeviceNode(const QString& deviceFolder)
{
    const QStringList nodes = QDir(deviceFolder).entryList({QStringLiteral("video*")}, QDir::System | QDir::Files);
    for (const QString& node : nodes) {
        bool number = false;
        node.mid(5).toInt(&number);
        if (number)
            return true;
    }
    return false;
}

namespace {

class CaptureBase : public VCap {
public:
    QByteArray FrameHeader() const override
    {
        return QByteArray("BMP ") + QByteArray::number(VideoPictures::Width) + "x"
               + QByteArray::number(VideoPictures::Height) + " " + QByteArray::number(VideoPictures::FramesPerSecond);
    }
};

class TestPictureCamera : public CaptureBase {
public:
    TestPictureCamera()
    {
        m_timer.setInterval(1000 / VideoPictures::FramesPerSecond);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { Deliver(VideoPictures::TestPicture(m_clock.elapsed())); });
        m_clock.start();
    }
    void OpenDevice() override { m_open = true; }
    int16_t StartCapture() override
    {
        if (!m_open)
            return 1;
        m_timer.start();
        return 0;
    }
    void StopCapture() override { m_timer.stop(); }
    void CloseDevice() override
    {
        m_timer.stop();
        m_open = false;
    }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    bool m_open = false;
};

class QtCamera : public CaptureBase {
public:
    void OpenDevice() override
    {
        // Asking for the cameras starts the whole media back end (several megabytes of
        // libraries and their registry): not done when the machine has no video device.
        if (m_camera || !HasVideoDeviceNode())
            return;
        MediaPlugin* media = MediaLayer::Plugin();
        if (media == nullptr)
            return;
        m_camera = media->OpenFirstCamera([this](const QImage& image) {
            // The camera may run faster than peers need; pictures keep the chat's rate.
            if (m_last.isValid() && m_last.elapsed() < 1000 / VideoPictures::FramesPerSecond)
                return;
            m_last.start();
            Deliver(VideoPictures::FromImage(image));
        });
    }
    int16_t StartCapture() override
    {
        if (!m_camera)
            return 1;
        m_camera->Start();
        // A camera that another program holds fails at once.
        return m_camera->Failed() ? 2 : 0;
    }
    void StopCapture() override
    {
        if (m_camera)
            m_camera->Stop();
    }
    void CloseDevice() override
    {
        StopCapture();
        m_camera.reset();
    }

private:
    std::unique_ptr<MediaCamera> m_camera;
    QElapsedTimer m_last;
};

}  // namespace

void VCap::SetView(QLabel* view)
{
    m_view = view;
}

void VCap::Deliver(const QByteArray& bmp)
{
    if (m_view) {
        QPixmap picture;
        if (picture.loadFromData(bmp, "BMP")) {
            m_view->setScaledContents(true);
            m_view->setPixmap(picture);
        }
    }
    if (FrameCaptured)
        FrameCaptured(bmp);
}

std::unique_ptr<VCap> MakeVCap()
{
    if (qgetenv("QUELLOR_CAMERA") == "test")
        return std::make_unique<TestPictureCamera>();
    return std::make_unique<QtCamera>();
}

namespace {
LayerSlot<VCap> g_vcap(MakeVCap);
}  // namespace

VCap& VCap1()
{
    return g_vcap.Get();
}

void SetVCap1(std::unique_ptr<VCap> capture)
{
    g_vcap.Set(std::move(capture));
}
