#pragma once
// Doubles of the video chat's two components: the peer link records what the program asked
// and lets a test set the slots; the camera starts or not as the test says.
#include <QByteArray>
#include <QString>
#include <array>
#include <utility>
#include <vector>

#include "video/P2PSocket.h"
#include "video/VCap.h"

namespace TestDoubles {

class FakeP2PSocket : public P2PSocket {
public:
    struct Slot {
        QString id;
        int16_t state = 0;
    };
    std::array<Slot, 4> slots_{};  // 1..3
    std::vector<QString> logins;
    std::vector<QByteArray> loginPasswords;
    int logouts = 0;
    std::vector<std::pair<int, QString>> requests;
    std::vector<int> closed;
    std::vector<std::pair<int, QByteArray>> headers, frames;
    std::vector<std::pair<int, int>> modes, rates;

    void Login(const QString& userName, const QByteArray& password) override
    {
        logins.push_back(userName);
        loginPasswords.push_back(password);
    }
    void Logout() override { ++logouts; }
    QString UserID(int slot) const override { return slot >= 1 && slot <= 3 ? slots_[static_cast<size_t>(slot)].id : QString(); }
    int16_t UserState(int slot) const override
    {
        return slot >= 1 && slot <= 3 ? slots_[static_cast<size_t>(slot)].state : int16_t{0};
    }
    // As the real one: the slot is taken by that user at once, still unlinked.
    void RequestVideo(int slot, const QString& userName) override
    {
        requests.emplace_back(slot, userName);
        if (slot >= 1 && slot <= 3 && slots_[static_cast<size_t>(slot)].state < 1)
            slots_[static_cast<size_t>(slot)] = {userName, 1};
    }
    void CloseUser(int slot) override { closed.push_back(slot); }
    void SendHeader(int slot, const QByteArray& header) override { headers.emplace_back(slot, header); }
    void SendMode(int slot, int mode) override { modes.emplace_back(slot, mode); }
    void SendFrame(int slot, const QByteArray& frame) override { frames.emplace_back(slot, frame); }
    void SetViewerRate(int slot, bool everyFrame) override { rates.emplace_back(slot, everyFrame ? 1 : 0); }

    void Put(int slot, const QString& id, int16_t state) { slots_[static_cast<size_t>(slot)] = {id, state}; }
};

class FakeVCap : public VCap {
public:
    int16_t startResult = 1;  // no camera unless a test says so
    int opens = 0, starts = 0, stops = 0, closes = 0;

    void OpenDevice() override { ++opens; }
    int16_t StartCapture() override
    {
        ++starts;
        return startResult;
    }
    void StopCapture() override { ++stops; }
    void CloseDevice() override { ++closes; }
    QByteArray FrameHeader() const override { return QByteArray("BMP 176x144 15"); }
    // A picture taken by the camera.
    void Capture(const QByteArray& bmp) { Deliver(bmp); }
};

}  // namespace TestDoubles
