// The peer video of a loaded table with the component doubles: slot choice, the login
// catch-up, send rates, routing of arriving frames, departures, the camera's pause, the
// command bars, the zoom windows and photos.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <vector>

#include "session/TableWindow.h"
#include "table/TableState.h"
#include "ui/MainForm.h"
#include "ui/PlayArea.h"
#include "ui/UiFixture.h"
#include "video/CameraStart.h"
#include "video/Photos.h"
#include "video/VCap.h"
#include "video/VideoBars.h"
#include "video/VideoDisplay.h"
#include "video/VideoLinks.h"
#include "video/ZoomWindows.h"

using VideoLinks::Video;

namespace {

QByteArray Bmp(QColor colour, QSize size = {176, 144})
{
    QImage image(size, QImage::Format_RGB888);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return bytes;
}

class VideoTest : public UiTest::TableInTempDirFixture {
protected:
    void SetUp() override
    {
        TableInTempDirFixture::SetUp();
        Load({1280, 1024});
    }

    // Both lines of the message area.
    static QString MessageArea() { return SysmsgText(0) + "\n" + SysmsgText(1); }

    // Players at positions 1..3 as their seat messages leave them.
    void Seat(int position, const QString& key)
    {
        TableState.Seats[static_cast<size_t>(position)].seatKey = key;
        TableState.Players[static_cast<size_t>(position)].nickname = key;
        VideoLinks::OnPlayerSeated(position);
    }
};

}  // namespace

TEST_F(VideoTest, StartUpLogsInUnderTheOwnKeyAndPassword)
{
    ASSERT_EQ(peerLink->logins.size(), 1u);
    EXPECT_EQ(peerLink->logins[0], "alice");
    // With the table's password, though the command line's copy is wiped.
    EXPECT_EQ(peerLink->loginPasswords[0], "pw");
    EXPECT_EQ(peerLink->ServerHost, "10.0.0.1");
    EXPECT_EQ(peerLink->ServerPort, 8888);
    EXPECT_EQ(peerLink->MaxUsers, 3);
}

TEST_F(VideoTest, PlayersSeatedBeforeTheLoginAreAskedForOnceAfterIt)
{
    Seat(1, "bob");
    Seat(2, "carol");
    Seat(3, "dave");
    EXPECT_TRUE(peerLink->requests.empty());  // the relay has not answered yet

    VideoLinks::OnLoginResult(2);
    // The login variant takes the last free slot each time.
    using Request = std::pair<int, QString>;
    EXPECT_EQ(peerLink->requests, (std::vector<Request>{{3, "bob"}, {2, "carol"}, {1, "dave"}}));
    EXPECT_TRUE(Video.RelayReady);
    EXPECT_TRUE(Video.RelayOnline);

    // Lost and regained: no second catch-up.
    VideoLinks::OnLoginResult(0);
    EXPECT_FALSE(Video.RelayOnline);
    peerLink->requests.clear();
    VideoLinks::OnLoginResult(2);
    EXPECT_TRUE(peerLink->requests.empty());
}

TEST_F(VideoTest, AJoiningPlayerGetsItsOwnSlotOrTheOneThatHoldsIt)
{
    VideoLinks::OnLoginResult(2);
    // All slots busy with others: position 2 uses slot 2, asked for only while below 10.
    peerLink->Put(1, "x", 10);
    peerLink->Put(2, "y", 3);
    peerLink->Put(3, "z", 10);
    Seat(2, "carol");
    ASSERT_EQ(peerLink->requests.size(), 1u);
    EXPECT_EQ(peerLink->requests[0], std::make_pair(2, QString("carol")));
    peerLink->requests.clear();
    peerLink->Put(2, "y", 10);
    Seat(2, "carol");
    EXPECT_TRUE(peerLink->requests.empty());
    // A slot that already holds the key is the one.
    peerLink->Put(3, "dave", 1);
    Seat(1, "dave");
    ASSERT_EQ(peerLink->requests.size(), 1u);
    EXPECT_EQ(peerLink->requests[0].first, 3);
}

TEST_F(VideoTest, LinkedPeersGetTheHeaderAtOnceAndFramesAtTheirRate)
{
    camera->CaptureMode = 2;
    const QByteArray first = Bmp(Qt::red);
    VideoLinks::OnFrameCaptured(first);
    VideoLinks::OnUserStateChanged(1, 14);
    ASSERT_EQ(peerLink->headers.size(), 1u);
    EXPECT_EQ(peerLink->headers[0].second, "BMP 176x144 15");
    EXPECT_EQ(peerLink->modes, (std::vector<std::pair<int, int>>{{1, 2}}));
    ASSERT_EQ(peerLink->frames.size(), 1u);
    EXPECT_EQ(peerLink->frames[0], std::make_pair(1, first));
    VideoLinks::OnUserStateChanged(1, 10);  // no header for other states
    EXPECT_EQ(peerLink->headers.size(), 1u);

    peerLink->frames.clear();
    peerLink->Put(1, "bob", 10);
    peerLink->Put(2, "carol", 15);
    peerLink->Put(3, "dave", 9);
    std::vector<int> toBob;
    int toCarol = 0;
    for (int n = 1; n <= 50; ++n) {
        const size_t before = peerLink->frames.size();
        VideoLinks::OnFrameCaptured(Bmp(QColor(n, 0, 0), {8, 8}));
        for (size_t i = before; i < peerLink->frames.size(); ++i) {
            if (peerLink->frames[i].first == 1)
                toBob.push_back(n);
            toCarol += peerLink->frames[i].first == 2 ? 1 : 0;
            EXPECT_NE(peerLink->frames[i].first, 3);
        }
    }
    EXPECT_EQ(toBob, (std::vector<int>{1, 2, 3, 24, 45}));
    EXPECT_EQ(toCarol, 50);
}

TEST_F(VideoTest, ArrivingFramesShowAtTheirPlayersPosition)
{
    Seat(1, "bob");
    Seat(2, "carol");
    peerLink->Put(1, "carol", 14);
    peerLink->Put(2, "bob", 5);  // not linked yet
    const QByteArray frame = Bmp(Qt::green);

    VideoLinks::OnFrameArrived(1, frame);
    EXPECT_TRUE(form->vshow1[2]->isVisible());
    EXPECT_TRUE(form->ImgKuang[2]->isVisible());
    EXPECT_TRUE(form->PicLocal[2]->isVisible());
    EXPECT_FALSE(form->vshow1[2]->pixmap().isNull());
    EXPECT_EQ(Video.LastFrame[2], frame);
    EXPECT_TRUE(Video.VideoShown[2]);
    EXPECT_TRUE(VideoLinks::RepaintPending(2));

    // Position 1 keeps its frame only once linked; unknown senders and slots change nothing.
    VideoLinks::OnFrameArrived(2, frame);
    EXPECT_TRUE(Video.LastFrame[1].isEmpty());
    EXPECT_FALSE(form->vshow1[1]->isVisible());
    peerLink->Put(3, "stranger", 15);
    VideoLinks::OnFrameArrived(3, frame);
    VideoLinks::OnFrameArrived(4, frame);
    VideoLinks::OnFrameArrived(0, frame);
    EXPECT_TRUE(Video.LastFrame[3].isEmpty());

    // Not a picture: the display keeps what it showed.
    const qint64 shown = form->vshow1[2]->pixmap().cacheKey();
    VideoLinks::OnFrameArrived(1, QByteArray("BM garbage"));
    EXPECT_EQ(form->vshow1[2]->pixmap().cacheKey(), shown);
}

TEST_F(VideoTest, AClosedVideoIgnoresFramesUntilReopened)
{
    Seat(1, "bob");
    Seat(2, "carol");
    peerLink->Put(1, "bob", 10);
    peerLink->Put(2, "carol", 10);
    VideoLinks::OnFrameArrived(1, Bmp(Qt::red));
    VideoLinks::OnFrameArrived(2, Bmp(Qt::red));
    ZoomWindows::ToggleZoom(2);
    ASSERT_TRUE(ZoomWindows::ZoomShowing(2));

    VideoBars::CommandClick(4);  // close position 1
    VideoBars::CommandClick(8);  // close position 2
    EXPECT_TRUE(Video.VideoClosed[1]);
    EXPECT_FALSE(form->vshow1[2]->isVisible());
    EXPECT_FALSE(form->PicLocal[2]->isVisible());
    EXPECT_TRUE(form->ImgShow[2]->isVisible());
    EXPECT_FALSE(ZoomWindows::ZoomShowing(2));

    const QByteArray blue = Bmp(Qt::blue);
    VideoLinks::OnFrameArrived(1, blue);
    VideoLinks::OnFrameArrived(2, blue);
    EXPECT_NE(Video.LastFrame[1], blue);  // position 1 keeps its frame only when shown
    EXPECT_EQ(Video.LastFrame[2], blue);  // positions 2 and 3 keep it in any case
    EXPECT_FALSE(form->vshow1[2]->isVisible());

    VideoBars::ReopenClick(2);
    EXPECT_FALSE(Video.VideoClosed[2]);
    EXPECT_TRUE(form->vshow1[2]->isVisible());
    EXPECT_TRUE(form->ImgShow[2]->isVisible());
    EXPECT_TRUE(VideoLinks::RepaintPending(2));
    // The fourth button of a remote bar does nothing.
    VideoBars::CommandClick(11);
    EXPECT_TRUE(form->vshow1[2]->isVisible());
}

TEST_F(VideoTest, ALeavingPlayersVideoGoesAndItsSlotsClose)
{
    Seat(3, "dave");
    peerLink->Put(2, "dave", 10);
    VideoLinks::OnFrameArrived(2, Bmp(Qt::red));
    ASSERT_TRUE(form->vshow1[3]->isVisible());
    TableState.Seats[3].seatKey.clear();  // the departure clears the seat first
    VideoLinks::OnPlayerLeft("dave");
    EXPECT_FALSE(form->vshow1[3]->isVisible());
    EXPECT_FALSE(form->PicLocal[3]->isVisible());
    EXPECT_TRUE(Video.LastFrame[3].isEmpty());
    EXPECT_FALSE(Video.VideoShown[3]);
    EXPECT_EQ(peerLink->closed, (std::vector<int>{2}));
    peerLink->closed.clear();
    VideoLinks::OnPlayerLeft("");
    EXPECT_TRUE(peerLink->closed.empty());

    VideoLinks::CloseAllLinks();
    EXPECT_EQ(peerLink->closed, (std::vector<int>{1, 2, 3}));
}

TEST_F(VideoTest, TheCameraRunsOverThePortraitOrALineSaysThereIsNone)
{
    camera->startResult = 1;
    CameraStart::StartCamera();
    EXPECT_FALSE(Video.CameraOn);
    EXPECT_FALSE(form->vcap1->isVisible());
    EXPECT_NE(MessageArea().indexOf("您没有视频设备或您的视频源正在使用。"), -1) << MessageArea().toStdString();

    camera->startResult = 0;
    VideoLinks::OnPlayerSeated(0);
    EXPECT_TRUE(Video.CameraOn);
    EXPECT_TRUE(form->vcap1->isVisible());
    EXPECT_TRUE(form->PicLocal[0]->isVisible());
    EXPECT_EQ(camera->CaptureMode, 2);
    // The camera draws on vcap1 itself.
    camera->Capture(Bmp(Qt::yellow));
    EXPECT_FALSE(form->vcap1->pixmap().isNull());
    EXPECT_FALSE(Video.LastFrame[0].isEmpty());

    // Paused from the deal to the first play.
    VideoLinks::OnRoundDealt();
    EXPECT_EQ(camera->stops, 1);
    const int starts = camera->starts;
    VideoLinks::OnPlayReceived();
    EXPECT_EQ(camera->starts, starts + 1);
    VideoLinks::StopRelay();
    EXPECT_EQ(peerLink->logouts, 1);
    EXPECT_EQ(camera->closes, 1);
}

TEST_F(VideoTest, ZoomWindowsChangeSizeWithinTheirThree)
{
    Seat(2, "carol");
    peerLink->Put(2, "carol", 10);
    ZoomWindows::ToggleZoom(2);
    frmZoom* zoom = ZoomWindows::Zoom(2);
    ASSERT_NE(zoom, nullptr);
    EXPECT_EQ(zoom->size(), QSize(276, 215));
    EXPECT_EQ(zoom->vshow1->geometry(), QRect(10, 16, 256, 192));
    EXPECT_EQ(peerLink->rates, (std::vector<std::pair<int, int>>{{2, 1}}));  // every frame, please
    EXPECT_TRUE(ZoomWindows::TimerZoomPending());

    ZoomWindows::ZoomButton(2, 1);
    EXPECT_EQ(zoom->CurrentSize(), frmZoom::Size::Large);
    EXPECT_EQ(zoom->size(), QSize(434, 341));
    ZoomWindows::ZoomButton(2, 1);
    EXPECT_EQ(zoom->CurrentSize(), frmZoom::Size::Large);
    ZoomWindows::ZoomButton(2, 2);
    ZoomWindows::ZoomButton(2, 2);
    EXPECT_EQ(zoom->CurrentSize(), frmZoom::Size::Small);
    EXPECT_EQ(zoom->size(), QSize(175, 138));
    ZoomWindows::ZoomButton(2, 2);
    EXPECT_EQ(zoom->CurrentSize(), frmZoom::Size::Small);

    ZoomWindows::ZoomButton(2, 0);
    EXPECT_EQ(ZoomWindows::Zoom(2), nullptr);
    EXPECT_EQ(peerLink->rates.back(), std::make_pair(2, 0));

    // The own window without a camera shows an empty display.
    VideoBars::CommandClick(1);
    ASSERT_TRUE(ZoomWindows::ZoomShowing(0));
    ZoomWindows::TimerZoomTick();
    EXPECT_TRUE(ZoomWindows::Zoom(0)->vshow1->pixmap().isNull());
    VideoBars::CommandClick(1);
    EXPECT_FALSE(ZoomWindows::ZoomShowing(0));

    // Minimising the table unloads the zoom windows.
    ZoomWindows::ToggleZoom(2);
    ASSERT_TRUE(ZoomWindows::ZoomShowing(2));
    form->showMinimized();
    EXPECT_EQ(ZoomWindows::Zoom(2), nullptr);
    EXPECT_EQ(peerLink->rates.back(), std::make_pair(2, 0));
}

TEST_F(VideoTest, ZoomWindowsOpenAtTheirPlaces)
{
    const QRect table = form->frameGeometry();
    struct Place {
        int zoom;
        double right, down;  // from the centre, in parts of the table
    };
    for (const Place& p : {Place{0, -0.2, 0.2}, Place{1, -0.25, -0.2}, Place{2, 0, -0.2}, Place{3, 0.25, -0.2}}) {
        ZoomWindows::ToggleZoom(p.zoom);
        const frmZoom* zoom = ZoomWindows::Zoom(p.zoom);
        ASSERT_NE(zoom, nullptr);
        const QPoint centred(table.left() + (table.width() - zoom->width()) / 2,
                             table.top() + (table.height() - zoom->height()) / 2);
        // Their place, moved the least that keeps them off the hand and the play buttons.
        const QPoint place = centred + QPoint(qRound(p.right * table.width()), qRound(p.down * table.height()));
        EXPECT_EQ(zoom->pos(), PlayArea::PlaceClear(*form, QRect(place, zoom->size()))) << p.zoom;
        // Large windows grow from where the window is, and stay on the table.
        ZoomWindows::ZoomButton(p.zoom, 1);
        EXPECT_TRUE(table.contains(zoom->geometry().center())) << p.zoom;
        ZoomWindows::ToggleZoom(p.zoom);
    }
}

TEST_F(VideoTest, PhotosAreWrittenOnlyFromWellFormedFramesIntoTheAlbum)
{
    EXPECT_EQ(Photos::PhotoFileName(QDateTime(QDate(2010, 9, 9), QTime(15, 7, 3))),
              dir.path() + "/photo/2010991573.bmp");

    // No frame yet: nothing is written, and the line says so.
    EXPECT_FALSE(Photos::TakePhoto(2));
    EXPECT_NE(MessageArea().indexOf("照相失败"), -1);
    EXPECT_FALSE(QDir(dir.path() + "/photo").exists());

    // Two photos in the same second: one file, the later picture.
    Photos::SetPhotoClock([] { return QDateTime(QDate(2026, 12, 10), QTime(9, 5, 7)); });
    Video.LastFrame[0] = Bmp(Qt::cyan);
    ASSERT_TRUE(Photos::TakePhoto(0));
    EXPECT_NE(MessageArea().indexOf("照相成功,照片保存在本机相册中。"), -1);
    Video.LastFrame[0] = Bmp(Qt::magenta);
    ASSERT_TRUE(Photos::TakePhoto(0));
    const QStringList photos = QDir(dir.path() + "/photo").entryList(QDir::Files);
    EXPECT_EQ(photos, QStringList{"20261210957.bmp"});
    QFile written(dir.path() + "/photo/20261210957.bmp");
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), Video.LastFrame[0]);

    // From another player's machine: no picture, or one too large, is not written.
    for (const QByteArray& bad : {QByteArray("BM") + QByteArray(100, 'x'), QByteArray(60, 'x'),
                                  QByteArray("BM") + QByteArray(VideoDisplay::MaxFrameBytes, 0)}) {
        Video.LastFrame[1] = bad;
        EXPECT_FALSE(Photos::TakePhoto(1));
    }
    EXPECT_EQ(QDir(dir.path() + "/photo").entryList(QDir::Files).size(), 1);

    Photos::OpenAlbum();
    ASSERT_FALSE(TestDoubles::Seen().shellOpened.empty());
    EXPECT_EQ(TestDoubles::Seen().shellOpened.back(), dir.path() + "/photo");
}

// Without a video device node the real camera never starts the media back end.
TEST(VideoDeviceNodes, OnlyNumberedVideoNodesCount)
{
    struct Case { std::vector<const char*> names; bool found; };
    const Case cases[] = {
        {{}, false},
        {{"audio0", "vide", "videox", "video"}, false},
        {{"tty0", "video0"}, true},
        {{"video12"}, true},
    };
    for (const Case& c : cases) {
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        for (const char* name : c.names) {
            QFile node(dir.filePath(QString::fromLatin1(name)));
            ASSERT_TRUE(node.open(QIODevice::WriteOnly));
        }
        EXPECT_EQ(HasVideoDeviceNode(dir.path()), c.found) << c.names.size();
    }
    EXPECT_FALSE(HasVideoDeviceNode(QStringLiteral("/no/such/folder")));
}
