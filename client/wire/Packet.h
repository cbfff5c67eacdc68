#pragma once
// The fixed 272-byte message exchanged with the game server. Multi-byte fields are read
// through the small helpers below, never by casting a struct over the buffer.
#include <array>
#include <cstddef>
#include <cstdint>

constexpr int PacketSize = 272;
using Packet = std::array<uint8_t, PacketSize>;

namespace Wire {

constexpr int CommandByte = 3;
constexpr int SessionCodeByte = 260;  // two bytes, 260 and 261

// A fresh packet of zeros carrying the command code.
inline Packet NewPacket(uint8_t command)
{
    Packet p{};
    p[CommandByte] = command;
    return p;
}

// 32-bit value, least significant byte first, read as signed.
inline int32_t ReadLE32(const Packet& p, int at)
{
    const auto u = static_cast<uint32_t>(p[static_cast<std::size_t>(at)]) |
                   static_cast<uint32_t>(p[static_cast<std::size_t>(at) + 1]) << 8 |
                   static_cast<uint32_t>(p[static_cast<std::size_t>(at) + 2]) << 16 |
                   static_cast<uint32_t>(p[static_cast<std::size_t>(at) + 3]) << 24;
    return static_cast<int32_t>(u);
}

inline void WriteLE32(Packet& p, int at, int32_t value)
{
    const auto u = static_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i)
        p[static_cast<std::size_t>(at + i)] = static_cast<uint8_t>(u >> (8 * i));
}

// Bytes of a fixed text field up to the first zero byte or the field's end.
inline int FieldLength(const Packet& p, int from, int length)
{
    int n = 0;
    while (n < length && from + n < PacketSize && p[static_cast<std::size_t>(from + n)] != 0)
        ++n;
    return n;
}

}  // namespace Wire
