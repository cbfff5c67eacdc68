// The INI reader and writer on a temporary file. The input is the file's bytes, then after a
// zero byte a script of lines "op|section|key|value" (op: g read, w write, k remove the key,
// s remove the section), run in order against the file. A read never gives more than the
// file holds, a value written is read back as written, and comment lines outlive every write.
#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QTemporaryDir>

#include "FuzzTarget.h"
#include "session/IniFile.h"
#include "wire/Gbk.h"

namespace {

using FuzzSupport::FuzzCheck;

constexpr qsizetype MaxValueBytes = 1023;  // what one read hands back at most

// A read gives at most 1023 GBK bytes, and never more text than the file has bytes.
QString CheckedRead(const classIniFile& ini, const QString& section, const QString& key)
{
    const QString value = ini.GetIniKey(section, key);
    FuzzCheck(Gbk::Encode(value).size() <= MaxValueBytes, "a read gives at most 1023 bytes");
    FuzzCheck(value.size() <= QFileInfo(ini.INIFileName()).size(), "a read gives no more than the file holds");
    return value;
}

bool Blank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

// Text that stands in a file as it is: GBK holds it, it breaks no line and ends no string.
bool Storable(const QString& text)
{
    return Gbk::Decode(Gbk::Encode(text)) == text && !text.contains(QChar(0)) && !text.contains(QLatin1Char('\r'))
           && !text.contains(QLatin1Char('\n'));
}

// A key and a value that a write and a read take as they are: a key that does not read as a
// comment, a header or a shorter key, and a value without surrounding blanks or enclosing
// quotes that one read can hand back whole.
bool PlainKey(const QString& key)
{
    const QString name = key.trimmed();
    return Storable(key) && !key.contains(QLatin1Char('='))
           && !(name.startsWith(QLatin1Char(';')) || name.startsWith(QLatin1Char('[')));
}

bool PlainValue(const QString& value)
{
    if (!Storable(value) || Gbk::Encode(value).size() > MaxValueBytes)
        return false;
    if (!value.isEmpty() && (Blank(value.front()) || Blank(value.back())))
        return false;
    const bool quoted = value.size() >= 2 && (value.front() == QLatin1Char('"') || value.front() == QLatin1Char('\''))
                        && value.back() == value.front();
    return !quoted;
}

// The comment lines of the file (';' after any blanks), in order, without their line ends.
QList<QByteArray> CommentLines(const QString& path)
{
    QFile file(path);
    QList<QByteArray> comments;
    if (!file.open(QIODevice::ReadOnly))
        return comments;
    for (QByteArray line : file.readAll().split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        qsizetype first = 0;
        while (first < line.size() && (line[first] == ' ' || line[first] == '\t'))
            ++first;
        if (first < line.size() && line[first] == ';')
            comments << line;
    }
    return comments;
}

// Every comment line of before is in after, in the same order.
bool CommentsKept(const QList<QByteArray>& before, const QList<QByteArray>& after)
{
    qsizetype at = 0;
    for (const QByteArray& line : after)
        if (at < before.size() && line == before[at])
            ++at;
    return at == before.size();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzSupport::EnsureApplication();
    static QTemporaryDir dir;
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const qsizetype split = input.indexOf('\0');
    const QByteArray text = split < 0 ? input : input.left(split);
    const QByteArray script = split < 0 ? QByteArray() : input.mid(split + 1);

    const QString path = dir.filePath(QStringLiteral("fuzz.ini"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(text);
    }
    classIniFile ini;
    ini.setINIFileName(path);
    // With no script, each line's name is read back in the section above it.
    if (script.isEmpty()) {
        QString section;
        for (const QByteArray& line : text.split('\n')) {
            const QString l = Gbk::Decode(line).trimmed();
            if (l.startsWith(QLatin1Char('[')))
                section = l.mid(1, l.indexOf(QLatin1Char(']')) - 1);
            else if (l.contains(QLatin1Char('=')))
                CheckedRead(ini, section, l.left(l.indexOf(QLatin1Char('='))));
        }
    }
    int steps = 0;
    for (const QByteArray& line : script.split('\n')) {
        if (++steps > 32)
            break;
        const QList<QByteArray> parts = line.split('|');
        if (parts.size() < 3 || parts[0].isEmpty())
            continue;
        const QString section = Gbk::Decode(parts[1]);
        const QString key = Gbk::Decode(parts[2]);
        const QString value = parts.size() > 3 ? Gbk::Decode(parts[3]) : QString();
        const QList<QByteArray> comments = CommentLines(path);
        switch (parts[0][0]) {
        case 'g': CheckedRead(ini, section, key); break;
        case 'w':
            ini.WriteIniKey(section, key, value);
            if (PlainKey(key) && PlainValue(value))
                FuzzCheck(CheckedRead(ini, section, key) == value, "a value written is read back as written");
            FuzzCheck(CommentsKept(comments, CommentLines(path)), "a write keeps every comment line");
            break;
        case 'k':
            ini.DelIniKey(section, key);
            FuzzCheck(CheckedRead(ini, section, key).isEmpty(), "a removed key reads as empty");
            FuzzCheck(CommentsKept(comments, CommentLines(path)), "removing a key keeps every comment line");
            break;
        case 's': ini.DelIniSec(section); break;
        default: break;
        }
    }
    return 0;
}
