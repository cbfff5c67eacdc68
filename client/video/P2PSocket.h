#pragma once
// The peer link of the video chat: logs in to the relay beside the game server under the
// user's key and keeps up to MaxUsers peer slots, one per other player. A frame handed to the
// program, and one taken from it, is a complete BMP image; between components it travels as a
// JPEG picture. The real one talks to quellor-relay over TCP; tests put a double in its place.
#include <functional>
#include <memory>
#include <QByteArray>
#include <QString>

class P2PSocket {
public:
    virtual ~P2PSocket() = default;

    QString ServerHost;
    int ServerPort = 8888;
    int16_t MaxUsers = 3;

    // Logs in with the table's key and password; answered by LoginResult (2 logged in,
    // anything else refused or the relay link lost).
    virtual void Login(const QString& userName, const QByteArray& password) = 0;
    virtual void Logout() = 0;
    // The key of the user in a slot (1..MaxUsers) and the slot's state: below 1 free, below 10
    // not yet linked, above 9 linked (15: the peer wants every frame; 14: it wants the header).
    virtual QString UserID(int slot) const = 0;
    virtual int16_t UserState(int slot) const = 0;
    virtual void RequestVideo(int slot, const QString& userName) = 0;
    virtual void CloseUser(int slot) = 0;
    virtual void SendHeader(int slot, const QByteArray& header) = 0;
    virtual void SendMode(int slot, int mode) = 0;
    virtual void SendFrame(int slot, const QByteArray& frame) = 0;
    // Our own addition: the viewer of a slot wants every frame (a large video window is open).
    virtual void SetViewerRate(int slot, bool everyFrame) = 0;

    std::function<void(int state)> LoginResult;
    std::function<void(int slot, int state)> UserStateChanged;
    std::function<void(int slot, const QByteArray& frame)> FrameArrived;
};

std::unique_ptr<P2PSocket> MakeRelayP2PSocket();
// The table's peer link: made on first use, replaced by tests.
P2PSocket& P2PSocket1();
void SetP2PSocket1(std::unique_ptr<P2PSocket> socket);

namespace VideoFrames {

// Largest picture a component takes from a peer; anything bigger is dropped unread.
constexpr int MaxWidth = 1280;
constexpr int MaxHeight = 1024;

// A BMP frame of the program as the JPEG that travels; empty when it is not a BMP image.
QByteArray ToWire(const QByteArray& bmp);
// A picture from a peer as the BMP the program takes; empty when it is not a JPEG or PNG
// picture within the size limit.
QByteArray FromWire(const QByteArray& picture);

}  // namespace VideoFrames
