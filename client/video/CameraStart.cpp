#include "video/CameraStart.h"

#include "session/TableWindow.h"
#include "ui/MainForm.h"
#include "ui/PictureBox.h"
#include "video/VCap.h"
#include "video/VideoLinks.h"
#include "video/ZoomWindows.h"

namespace CameraStart {

using VideoLinks::Video;

void StartCamera()
{
    MainForm* form = TheMainForm();
    VCap& camera = VCap1();
    camera.OpenDevice();
    camera.CaptureMode = 2;
    if (form != nullptr) {
        form->vcap1->hide();
        camera.SetView(form->vcap1);
    }
    if (camera.StartCapture() == 0) {
        Video.CameraOn = true;
        if (form != nullptr) {
            form->PicLocal[0]->show();
            form->PicLocal[0]->raise();
            form->vcap1->show();
            form->vcap1->raise();
        }
        return;
    }
    Video.CameraOn = false;
    PostSystemLine(QStringLiteral("您没有视频设备或您的视频源正在使用。"));
}

void StopCamera()
{
    if (Video.CameraOn) {
        VCap& camera = VCap1();
        camera.StopCapture();
        camera.CloseDevice();
        camera.SetView(nullptr);
        Video.CameraOn = false;
    }
    Video.LastFrame[0].clear();
    ZoomWindows::UnloadZoom(0);
    if (MainForm* form = TheMainForm()) {
        form->vcap1->hide();
        form->PicLocal[0]->hide();
        form->Tiplbl->hide();
    }
}

}  // namespace CameraStart
