#pragma once
// How message bodies carry text and numbers. Text comes in fixed fields and ends at the first
// zero byte or at the field's end; every reader stays inside the packet whatever the bytes.
#include <QString>

#include "wire/Packet.h"

namespace Wire {

// Each byte one character of the code page.
QString SingleByteText(const Packet& p, int at, int width);

// A byte of 128 or more leads a two-byte character (lead * 256 + trail), any other byte is a
// character of its own. A lead byte in the field's last position takes the byte after the
// field as its trail, unless leadAloneAtEnd, when it stands alone (the nickname field).
QString MixedText(const Packet& p, int at, int width, bool leadAloneAtEnd = false);

// Every two bytes one character (first * 256 + second), whatever their values; ends at a pair
// whose first byte is 0.
QString DoubleByteText(const Packet& p, int at, int width);

// Eight bytes, least significant first, accumulated from the most significant down into a
// double (amounts beyond 2^53 lose their lowest digits, as they always have).
double Amount64(const Packet& p, int at);

}  // namespace Wire
