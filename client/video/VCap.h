#pragma once
// The camera of the video chat (vcap1): opened, started and stopped by the program, handing
// every captured picture over as a complete BMP image. The real one runs on Qt Multimedia's
// camera; without a camera the environment variable QUELLOR_CAMERA=test puts a moving test
// picture in its place, at the camera's rate, so the whole path can be seen on any machine.
#include <functional>
#include <memory>
#include <QByteArray>

#include <QLabel>
#include <QPointer>

class QImage;

class VCap {
public:
    virtual ~VCap() = default;

    // Written before each start; every peer is told it when it links (SendMode).
    int CaptureMode = 0;

    virtual void OpenDevice() = 0;
    // 0 when the camera runs; anything else when there is none or it is busy.
    virtual int16_t StartCapture() = 0;
    virtual void StopCapture() = 0;
    virtual void CloseDevice() = 0;
    // Describes the pictures that follow, for a peer about to show them.
    virtual QByteArray FrameHeader() const = 0;
    // The control the camera draws its own picture on (the table's vcap1); none: no drawing.
    void SetView(QLabel* view);

protected:
    // Draws the picture on the view and hands it to the program.
    void Deliver(const QByteArray& bmp);

private:
    QPointer<QLabel> m_view;

public:

    std::function<void(const QByteArray& frame)> FrameCaptured;
};

// The table's camera: made on first use, replaced by tests.
VCap& VCap1();
void SetVCap1(std::unique_ptr<VCap> capture);

// The camera the environment asks for: the test picture, or Qt Multimedia's first camera.
std::unique_ptr<VCap> MakeVCap();

// Whether the folder holds a video4linux device node (video0, video1, ...). Cameras on Linux
// are such devices; without one there is no camera to ask the media back end for.
bool HasVideoDeviceNode(const QString& deviceFolder = QStringLiteral("/dev"));

namespace VideoPictures {
// A camera picture as the BMP frame the program takes, at the chat's size.
QByteArray FromImage(const QImage& image);
// The moving test picture at a moment, as a BMP image.
QByteArray TestPicture(qint64 ms);
// Pictures the camera takes are this size and rate.
constexpr int Width = 176;
constexpr int Height = 144;
constexpr int FramesPerSecond = 15;
}  // namespace VideoPictures
