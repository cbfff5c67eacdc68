#include "wire/Gbk.h"

#include <iconv.h>

#include <QStringDecoder>

#include <cerrno>
#include <vector>

namespace {

// iconv descriptors are opened once and reused; the client has a single thread.
struct Converter {
    iconv_t cd;
    Converter(const char* to, const char* from) : cd(iconv_open(to, from)) {}
    ~Converter()
    {
        if (cd != reinterpret_cast<iconv_t>(-1))
            iconv_close(cd);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
};

Converter& ToGbk()
{
    static Converter c("CP936", "UTF-16LE");
    return c;
}

Converter& FromGbk()
{
    static Converter c("UTF-16LE", "CP936");
    return c;
}

// Converts one UTF-16 unit; an empty result means GBK has no such character.
QByteArray ConvertUnit(char16_t unit)
{
    Converter& c = ToGbk();
    if (c.cd == reinterpret_cast<iconv_t>(-1) || (unit >= 0xD800 && unit <= 0xDFFF))
        return {};
    char in[2] = {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
    char out[8];
    char* inPtr = in;
    char* outPtr = out;
    size_t inLeft = 2;
    size_t outLeft = sizeof out;
    iconv(c.cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(c.cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1))
        return {};
    return QByteArray(out, static_cast<qsizetype>(sizeof out - outLeft));
}

}  // namespace

namespace Gbk {

QByteArray EncodeUnit(QChar unit)
{
    QByteArray bytes = ConvertUnit(unit.unicode());
    if (bytes.isEmpty() || bytes.size() > 2)
        return QByteArray(1, '?');
    return bytes;
}

QByteArray Encode(const QString& text)
{
    QByteArray out;
    out.reserve(text.size() * 2);
    for (QChar unit : text)
        out += EncodeUnit(unit);
    return out;
}

QString Decode(const QByteArray& bytes)
{
    QString text;
    Converter& c = FromGbk();
    if (c.cd == reinterpret_cast<iconv_t>(-1))
        return QString::fromLatin1(bytes);
    iconv(c.cd, nullptr, nullptr, nullptr, nullptr);
    std::vector<char> out(static_cast<size_t>(bytes.size()) * 2 + 4);
    char* inPtr = const_cast<char*>(bytes.constData());
    size_t inLeft = static_cast<size_t>(bytes.size());
    while (inLeft > 0) {
        char* outPtr = out.data();
        size_t outLeft = out.size();
        const size_t r = iconv(c.cd, &inPtr, &inLeft, &outPtr, &outLeft);
        const size_t produced = out.size() - outLeft;
        text += QString::fromUtf16(reinterpret_cast<const char16_t*>(out.data()),
                                   static_cast<qsizetype>(produced / 2));
        if (r == static_cast<size_t>(-1)) {
            if (errno == E2BIG)
                continue;
            // Invalid or truncated sequence: show a replacement and move past one byte.
            text += QChar(0xFFFD);
            ++inPtr;
            --inLeft;
            iconv(c.cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    return text;
}

QString DecodeTextFile(const QByteArray& bytes)
{
    QByteArray body = bytes;
    if (body.startsWith("\xEF\xBB\xBF"))
        body.remove(0, 3);
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(body);
    if (!utf8.hasError())
        return text;
    return Decode(body);
}

QString DecodeCode(int code)
{
    QByteArray bytes;
    if (code < 0 || code > 0xFFFF)
        return QString(QChar(0xFFFD));
    if (code < 256)
        bytes.append(static_cast<char>(code));
    else {
        bytes.append(static_cast<char>(code >> 8));
        bytes.append(static_cast<char>(code & 0xFF));
    }
    return Decode(bytes);
}

int SingleByte(QChar unit)
{
    const QByteArray bytes = ConvertUnit(unit.unicode());
    if (bytes.size() != 1)
        return -1;
    return static_cast<uint8_t>(bytes[0]);
}

}  // namespace Gbk
