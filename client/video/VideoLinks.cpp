#include "video/VideoLinks.h"

#include <QTimer>

#include <memory>

#include "session/Connection.h"
#include "table/Outgoing.h"
#include "table/TableState.h"
#include "ui/MainForm.h"
#include "video/CameraStart.h"
#include "video/P2PSocket.h"
#include "video/VCap.h"
#include "video/VideoDisplay.h"
#include "wire/Commands.h"
#include "wire/Fields.h"
#include "video/ZoomWindows.h"

namespace VideoLinks {

namespace {

// One-shot repaint timers of positions 1..3 (Timer_Vshow1..3). Positions 2 and 3 get the
// same 30 ms as position 1: without an interval they would never draw the first frame again.
std::array<std::unique_ptr<QTimer>, 4> g_repaint;

QTimer& Repaint(int position)
{
    auto& timer = g_repaint[static_cast<size_t>(position)];
    if (!timer) {
        timer = std::make_unique<QTimer>();
        timer->setSingleShot(true);
        timer->setInterval(30);
        QObject::connect(timer.get(), &QTimer::timeout, [position] { RepaintTick(position); });
    }
    return *timer;
}

bool ValidPosition(int position)
{
    return position >= 1 && position <= 3;
}

void HidePositionVideo(MainForm& form, int i)
{
    const auto p = static_cast<size_t>(i);
    form.vshow1[p]->hide();
    form.PicLocal[p]->hide();
    form.ImgKuang[p]->hide();
    form.ImgShow[p]->hide();
}

}  // namespace

void StartRelay()
{
    P2PSocket& socket = P2PSocket1();
    socket.ServerHost = Connection::Link.Session.serverHost;
    bool ok = false;
    const int port = qEnvironmentVariable("QUELLOR_RELAY_PORT").toInt(&ok);
    socket.ServerPort = ok && port > 0 && port < 65536 ? port : RelayPort;
    socket.MaxUsers = 3;
    // The relay checks the table's password, as the entry request carries it; until that
    // request is built the command line still holds it (and is wiped afterwards).
    Packet entry = Connection::Link.EntryRequest;
    if (entry[Wire::CommandByte] != Command::Entry)
        entry = Outgoing::EntryRequest(Connection::Link.Session);
    const int length = Wire::FieldLength(entry, Field::EntryRequest::Password, Field::EntryRequest::PasswordWidth);
    socket.Login(Connection::Link.Session.userKey,
                 QByteArray(reinterpret_cast<const char*>(entry.data()) + Field::EntryRequest::Password, length));
    Video.RelayOnline = false;
}

int ChooseSlot(const QString& key, int start, int end, bool stopAtMatch)
{
    P2PSocket& socket = P2PSocket1();
    int k = start;
    for (int j = 1; j <= end; ++j) {
        if (socket.UserID(j) == key) {
            k = j;
            if (stopAtMatch)
                break;
        } else if (socket.UserID(k) != key && socket.UserState(j) < 1) {
            k = j;
        }
    }
    if (socket.UserState(k) < 10 && socket.MaxUsers >= k)
        socket.RequestVideo(k, key);
    return k;
}

void OnLoginResult(int state)
{
    if (state != 2) {
        Video.RelayOnline = false;
        return;
    }
    if (!Video.RelayOnline && !Video.RelayReady) {
        Video.RelayReady = true;
        // The players who sat down before the relay answered are asked for now, once.
        for (int p = 1; p <= 3; ++p) {
            const QString& key = TableState.Seats[static_cast<size_t>(p)].seatKey;
            if (!key.isEmpty())
                ChooseSlot(key, 1, P2PSocket1().MaxUsers, false);
        }
    }
    Video.RelayOnline = true;
}

void OnPlayerSeated(int position)
{
    if (position == 0) {
        if (!Video.CameraOn)
            CameraStart::StartCamera();
        return;
    }
    if (!ValidPosition(position))
        return;
    const QString& key = TableState.Seats[static_cast<size_t>(position)].seatKey;
    Video.Keys[static_cast<size_t>(position)] = key;
    if (Video.RelayReady)
        ChooseSlot(key, position, 3, true);
}

void OnFrameCaptured(const QByteArray& frame)
{
    Video.LastFrame[0] = frame;
    P2PSocket& socket = P2PSocket1();
    for (int j = 1; j <= std::min<int>(socket.MaxUsers, 3); ++j) {
        const int state = socket.UserState(j);
        if (state <= 9)
            continue;
        int16_t& sent = Video.FramesSent[static_cast<size_t>(j)];
        if (state == 15) {
            socket.SendFrame(j, frame);
        } else if (sent <= 2) {
            socket.SendFrame(j, frame);
            ++sent;
        } else if (sent > 22) {
            sent = 3;
            socket.SendFrame(j, frame);
        } else {
            ++sent;
        }
    }
    ZoomWindows::ShowOnZoom(0, frame);
}

void OnUserStateChanged(int slot, int state)
{
    if (state != 14 && state != 15)
        return;
    P2PSocket& socket = P2PSocket1();
    VCap& camera = VCap1();
    socket.SendHeader(slot, camera.FrameHeader());
    socket.SendMode(slot, camera.CaptureMode);
    socket.SendFrame(slot, Video.LastFrame[0]);
}

void OnFrameArrived(int slot, const QByteArray& frame)
{
    P2PSocket& socket = P2PSocket1();
    if (slot > socket.MaxUsers || slot < 1)
        return;
    const QString id = socket.UserID(slot);
    int s = 0;
    for (int p = 1; p <= 3 && s == 0; ++p)
        if (TableState.Seats[static_cast<size_t>(p)].seatKey == id)
            s = p;
    if (s == 0)
        return;
    const auto i = static_cast<size_t>(s);
    if (s != 1)
        Video.LastFrame[i] = frame;
    if (socket.UserState(slot) <= 9 || Video.VideoClosed[i])
        return;
    Video.LastFrame[i] = frame;
    MainForm* form = TheMainForm();
    if (form == nullptr)
        return;
    if (form->vshow1[i]->isHidden() && !Video.VideoShown[i]) {
        VideoDisplay::ShowVideoFrame(*form, s);
        form->PicLocal[i]->show();
        Repaint(s).start();
        form->vshow1[i]->show();
        form->vshow1[i]->raise();
        VideoDisplay::ShowFrame(form->vshow1[i], Video.LastFrame[i]);
        Video.VideoShown[i] = true;
    } else {
        VideoDisplay::ShowFrame(form->vshow1[i], frame);
    }
    ZoomWindows::ShowOnZoom(s, frame);
}

void RepaintTick(int position)
{
    if (!ValidPosition(position))
        return;
    Repaint(position).stop();
    MainForm* form = TheMainForm();
    const auto i = static_cast<size_t>(position);
    if (form == nullptr || !form->PicLocal[i]->isVisible())
        return;
    // Twice: the first draw may land before the control has its final size.
    VideoDisplay::ShowFrame(form->vshow1[i], Video.LastFrame[i]);
    VideoDisplay::ShowFrame(form->vshow1[i], Video.LastFrame[i]);
}

void StartRepaint(int position)
{
    if (ValidPosition(position))
        Repaint(position).start();
}

void WantEveryFrame(int position, bool everyFrame)
{
    if (!ValidPosition(position))
        return;
    const QString& key = Video.Keys[static_cast<size_t>(position)];
    P2PSocket& socket = P2PSocket1();
    for (int j = 1; j <= 3 && !key.isEmpty(); ++j)
        if (socket.UserID(j) == key && socket.UserState(j) > 9)
            socket.SetViewerRate(j, everyFrame);
}

bool RepaintPending(int position)
{
    return ValidPosition(position) && g_repaint[static_cast<size_t>(position)]
           && g_repaint[static_cast<size_t>(position)]->isActive();
}

void OnPlayerLeft(const QString& seatKey)
{
    MainForm* form = TheMainForm();
    for (int i = 1; i <= 3; ++i) {
        const auto p = static_cast<size_t>(i);
        // The seat records are already cleared: the video remembers who sat where.
        if (seatKey.isEmpty() || Video.Keys[p] != seatKey)
            continue;
        if (form != nullptr)
            HidePositionVideo(*form, i);
        Video.VideoShown[p] = false;
        Video.VideoClosed[p] = false;
        Video.FramesSent[p] = 0;
        ZoomWindows::HideZoom(i);
        Video.LastFrame[p].clear();
        Video.Keys[p].clear();
    }
    if (seatKey.isEmpty())
        return;
    for (int j = 1; j <= 3; ++j)
        if (P2PSocket1().UserID(j) == seatKey)
            P2PSocket1().CloseUser(j);
}

void DropPosition(int position)
{
    if (!ValidPosition(position))
        return;
    const auto i = static_cast<size_t>(position);
    Video.FramesSent[i] = 0;
    Video.VideoClosed[i] = false;
    Video.VideoShown[i] = false;
    if (MainForm* form = TheMainForm())
        HidePositionVideo(*form, position);
    P2PSocket1().CloseUser(position);
    TableState.Seats[i].seatKey.clear();
    Video.Keys[i].clear();
    ZoomWindows::UnloadZoom(position);
    Video.LastFrame[i].clear();
}

void CloseAllLinks()
{
    for (int i = 1; i <= 3; ++i)
        DropPosition(i);
}

void OnRoundDealt()
{
    if (Video.CameraOn)
        VCap1().StopCapture();
}

void OnPlayReceived()
{
    if (Video.CameraOn)
        VCap1().StartCapture();
}

void StopRelay()
{
    P2PSocket1().Logout();
    CameraStart::StopCamera();
}

void Connect()
{
    P2PSocket& socket = P2PSocket1();
    socket.LoginResult = OnLoginResult;
    socket.UserStateChanged = OnUserStateChanged;
    socket.FrameArrived = OnFrameArrived;
    VCap1().FrameCaptured = OnFrameCaptured;
}

void Reset()
{
    Video = VideoRecord{};
    for (auto& timer : g_repaint)
        if (timer)
            timer->stop();
}

}  // namespace VideoLinks
