#pragma once
// The one place where text crosses between Unicode and the GBK code page (936) used on
// the wire and in files. Nothing else calls an encoder.
#include <QByteArray>
#include <QString>

namespace Gbk {

// Whole text to GBK bytes; characters GBK cannot hold become '?'.
QByteArray Encode(const QString& text);

// The one or two GBK bytes of one UTF-16 unit, lead byte first; '?' when GBK cannot hold it
// (a lone surrogate half included).
QByteArray EncodeUnit(QChar unit);

// GBK bytes to text; a byte sequence GBK does not define becomes U+FFFD.
QString Decode(const QByteArray& bytes);

// The text of a data file: UTF-8 when the bytes are valid UTF-8 (a leading byte-order mark
// dropped), GBK otherwise.
QString DecodeTextFile(const QByteArray& bytes);

// One character from a code as the wire carries it: below 256 a single byte, otherwise
// lead * 256 + trail.
QString DecodeCode(int code);

// The single GBK byte of a character, or -1 when the character takes two bytes or none.
int SingleByte(QChar unit);

}  // namespace Gbk
