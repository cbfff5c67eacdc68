#pragma once
// The messages between a peer-video component and the relay server. Every message is a 32-bit
// little-endian body length followed by the body: one type byte and the type's fields (16-bit
// slot and state numbers little-endian, a user name as the rest of the body or after the
// fixed fields, frame and header bytes as the rest). Shared by the client's component and the
// relay; plain C++, no Qt.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace RelayWire {

enum class Type : uint8_t {
    // component → relay
    Login = 1,      // name, and after a zero byte the password when there is one
    Logout = 2,
    Request = 3,    // slot, name: link this slot to that user
    Close = 4,      // slot
    Header = 5,     // slot, bytes: the capture header for the peer in the slot
    Mode = 6,       // slot, mode
    Frame = 7,      // slot, bytes: one compressed picture for the peer in the slot
    Rate = 8,       // slot, state: 1 the viewer wants every frame, 0 a reduced rate
    // relay → component
    LoginResult = 20,   // state: 2 logged in, anything else refused or lost
    UserState = 21,     // slot, state, name
    HeaderArrived = 22, // slot, bytes
    ModeArrived = 23,   // slot, mode
    FrameArrived = 24,  // slot, bytes
};

// A body longer than this ends the link: no frame needs more, and a peer cannot make the other
// side hold more than this for one message.
constexpr uint32_t MaxBody = 4 * 1024 * 1024;
constexpr size_t MaxName = 64;

struct Message {
    Type type = Type::Logout;
    uint16_t slot = 0;
    uint16_t state = 0;
    int32_t mode = 0;
    std::string name;
    std::string password;  // of a login, for a relay that checks accounts; may be empty
    std::vector<uint8_t> bytes;
};

// The message with its length in front, ready for the socket.
std::vector<uint8_t> Encode(const Message& message);

// Cuts a byte stream into messages. A length above MaxBody, an unknown type, a body too short
// for its fields or a name too long makes the stream bad for good: the caller drops the link.
class Reader {
public:
    void Feed(const uint8_t* data, size_t size);
    void Feed(const std::vector<uint8_t>& data) { Feed(data.data(), data.size()); }
    // The next whole message, or nothing when more bytes are needed or the stream is bad.
    std::optional<Message> Next();
    bool Bad() const { return m_bad; }
    // Bytes received and not yet taken as messages.
    size_t Buffered() const { return m_buffer.size() - m_start; }

private:
    std::vector<uint8_t> m_buffer;
    size_t m_start = 0;
    bool m_bad = false;
};

// A name is 1..MaxName bytes with no control characters.
bool ValidName(const std::string& name);

}  // namespace RelayWire
