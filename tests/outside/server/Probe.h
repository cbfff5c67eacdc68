#pragma once
// Small readers of the server's packets written for the tests, so that what the server writes
// is checked against offsets read independently of its own writers.
#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "wire/Gbk.h"

namespace Probe {

using Bytes = std::array<uint8_t, 272>;

inline int U8(const Bytes& p, int at) { return p.at(static_cast<size_t>(at)); }

inline uint32_t LE32(const Bytes& p, int at)
{
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = v * 256 + U8(p, at + i);
    return v;
}

inline uint64_t LE64(const Bytes& p, int at)
{
    uint64_t v = 0;
    for (int i = 7; i >= 0; --i)
        v = v * 256 + U8(p, at + i);
    return v;
}

inline uint32_t BE32(const Bytes& p, int at)
{
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i)
        v = v * 256 + U8(p, at + i);
    return v;
}

// Bytes of a text field up to its first zero byte.
inline std::string Field(const Bytes& p, int at, int width)
{
    std::string s;
    for (int i = 0; i < width && U8(p, at + i) != 0; ++i)
        s += static_cast<char>(U8(p, at + i));
    return s;
}

inline QString GbkField(const Bytes& p, int at, int width)
{
    const std::string raw = Field(p, at, width);
    return Gbk::Decode(QByteArray(raw.data(), static_cast<qsizetype>(raw.size())));
}

// Seat number of a one-bit seat byte, -1 for anything else.
inline int SeatOf(int bit)
{
    switch (bit) {
    case 1: return 0;
    case 2: return 1;
    case 4: return 2;
    case 8: return 3;
    default: return -1;
    }
}

inline int Code(const Bytes& p) { return U8(p, 260) | U8(p, 261) << 8; }

// The cards of a deal (16 + 4k) or a play (20 + 4i) as 32-bit words.
inline std::vector<int32_t> Cards(const Bytes& p, int from, int count)
{
    std::vector<int32_t> cards;
    for (int k = 0; k < count; ++k)
        cards.push_back(static_cast<int32_t>(LE32(p, from + 4 * k)));
    return cards;
}

}  // namespace Probe
