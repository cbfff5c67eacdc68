#include "video/RelayWire.h"

#include <algorithm>

namespace RelayWire {

namespace {

void Put16(std::vector<uint8_t>& out, uint16_t v)
{
    out.push_back(static_cast<uint8_t>(v & 0xFF));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>((v >> (8 * i)) & 0xFF));
}

uint16_t Get16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

uint32_t Get32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16)
           | (static_cast<uint32_t>(p[3]) << 24);
}

// The fixed fields of each type after the type byte; -1 for an unknown type.
int FixedSize(Type type)
{
    switch (type) {
    case Type::Login: case Type::Logout: return 0;
    case Type::Request: case Type::Close: case Type::Header: case Type::Frame: return 2;
    case Type::Mode: case Type::ModeArrived: return 6;
    case Type::Rate: case Type::UserState: return 4;
    case Type::LoginResult: return 2;
    case Type::HeaderArrived: case Type::FrameArrived: return 2;
    }
    return -1;
}

bool HasName(Type type)
{
    return type == Type::Login || type == Type::Request || type == Type::UserState;
}

bool HasBytes(Type type)
{
    return type == Type::Header || type == Type::Frame || type == Type::HeaderArrived || type == Type::FrameArrived;
}

}  // namespace

bool ValidName(const std::string& name)
{
    return !name.empty() && name.size() <= MaxName
           && std::none_of(name.begin(), name.end(), [](char c) { return static_cast<uint8_t>(c) < 0x20; });
}

std::vector<uint8_t> Encode(const Message& m)
{
    std::vector<uint8_t> body;
    body.push_back(static_cast<uint8_t>(m.type));
    switch (m.type) {
    case Type::Request: case Type::Close: case Type::Header: case Type::Frame:
    case Type::HeaderArrived: case Type::FrameArrived:
        Put16(body, m.slot);
        break;
    case Type::Mode: case Type::ModeArrived:
        Put16(body, m.slot);
        Put32(body, static_cast<uint32_t>(m.mode));
        break;
    case Type::Rate: case Type::UserState:
        Put16(body, m.slot);
        Put16(body, m.state);
        break;
    case Type::LoginResult:
        Put16(body, m.state);
        break;
    case Type::Login: case Type::Logout:
        break;
    }
    if (HasName(m.type))
        body.insert(body.end(), m.name.begin(), m.name.end());
    // A name holds no control characters, so a zero byte cannot be part of it.
    if (m.type == Type::Login && !m.password.empty()) {
        body.push_back(0);
        body.insert(body.end(), m.password.begin(), m.password.end());
    }
    if (HasBytes(m.type))
        body.insert(body.end(), m.bytes.begin(), m.bytes.end());
    std::vector<uint8_t> out;
    out.reserve(body.size() + 4);
    Put32(out, static_cast<uint32_t>(body.size()));
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

void Reader::Feed(const uint8_t* data, size_t size)
{
    if (m_bad || size == 0)
        return;
    // Taken bytes are dropped before the buffer grows, so it never holds more than one
    // message in the making plus what has just arrived.
    if (m_start > 0 && m_start * 2 >= m_buffer.size()) {
        m_buffer.erase(m_buffer.begin(), m_buffer.begin() + static_cast<std::ptrdiff_t>(m_start));
        m_start = 0;
    }
    m_buffer.insert(m_buffer.end(), data, data + size);
}

std::optional<Message> Reader::Next()
{
    if (m_bad || Buffered() < 4)
        return std::nullopt;
    const uint8_t* p = m_buffer.data() + m_start;
    const uint32_t length = Get32(p);
    if (length == 0 || length > MaxBody) {
        m_bad = true;
        return std::nullopt;
    }
    if (Buffered() - 4 < length)
        return std::nullopt;
    const uint8_t* body = p + 4;
    Message m;
    m.type = static_cast<Type>(body[0]);
    const int fixed = FixedSize(m.type);
    if (fixed < 0 || length < 1u + static_cast<uint32_t>(fixed)) {
        m_bad = true;
        return std::nullopt;
    }
    const uint8_t* f = body + 1;
    switch (m.type) {
    case Type::Request: case Type::Close: case Type::Header: case Type::Frame:
    case Type::HeaderArrived: case Type::FrameArrived:
        m.slot = Get16(f);
        break;
    case Type::Mode: case Type::ModeArrived:
        m.slot = Get16(f);
        m.mode = static_cast<int32_t>(Get32(f + 2));
        break;
    case Type::Rate: case Type::UserState:
        m.slot = Get16(f);
        m.state = Get16(f + 2);
        break;
    case Type::LoginResult:
        m.state = Get16(f);
        break;
    case Type::Login: case Type::Logout:
        break;
    }
    const uint8_t* rest = f + fixed;
    const size_t restSize = length - 1 - static_cast<size_t>(fixed);
    if (HasName(m.type)) {
        m.name.assign(reinterpret_cast<const char*>(rest), restSize);
        if (const size_t end = m.name.find('\0'); m.type == Type::Login && end != std::string::npos) {
            m.password = m.name.substr(end + 1);
            m.name.resize(end);
        }
        if (!ValidName(m.name)) {
            m_bad = true;
            return std::nullopt;
        }
    } else if (HasBytes(m.type)) {
        m.bytes.assign(rest, rest + restSize);
    } else if (restSize != 0) {
        m_bad = true;
        return std::nullopt;
    }
    m_start += 4 + length;
    if (m_start == m_buffer.size()) {
        m_buffer.clear();
        m_start = 0;
    }
    return m;
}

}  // namespace RelayWire
