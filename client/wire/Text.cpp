#include "wire/Text.h"

#include "wire/Gbk.h"

namespace Wire {

namespace {

uint8_t At(const Packet& p, int i)
{
    return i >= 0 && i < PacketSize ? p[static_cast<size_t>(i)] : 0;
}

}  // namespace

QString SingleByteText(const Packet& p, int at, int width)
{
    const int n = FieldLength(p, at, width);
    QString text;
    for (int i = 0; i < n; ++i)
        text += Gbk::DecodeCode(At(p, at + i));
    return text;
}

QString MixedText(const Packet& p, int at, int width, bool leadAloneAtEnd)
{
    QString text;
    for (int i = 0; i < width && at + i < PacketSize;) {
        const uint8_t b = At(p, at + i);
        if (b == 0)
            break;
        const bool last = i == width - 1;
        if (b >= 128 && !(last && leadAloneAtEnd) && at + i + 1 < PacketSize) {
            text += Gbk::DecodeCode(b * 256 + At(p, at + i + 1));
            i += 2;
        } else {
            text += Gbk::DecodeCode(b);
            i += 1;
        }
    }
    return text;
}

QString DoubleByteText(const Packet& p, int at, int width)
{
    QString text;
    for (int i = 0; i + 1 < width && at + i + 1 < PacketSize; i += 2) {
        const uint8_t first = At(p, at + i);
        if (first == 0)
            break;
        text += Gbk::DecodeCode(first * 256 + At(p, at + i + 1));
    }
    return text;
}

double Amount64(const Packet& p, int at)
{
    double value = 0;
    for (int i = 7; i >= 0; --i)
        value = value * 256 + At(p, at + i);
    return value;
}

}  // namespace Wire
