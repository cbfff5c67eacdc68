// The INI reader and writer on a temporary file. The input is the file's bytes, then after a
// zero byte a script of lines "op|section|key|value" (op: g read, w write, k remove the key,
// s remove the section), run in order against the file.
#include <QByteArray>
#include <QFile>
#include <QList>
#include <QTemporaryDir>

#include "FuzzTarget.h"
#include "session/IniFile.h"
#include "wire/Gbk.h"

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
                ini.GetIniKey(section, l.left(l.indexOf(QLatin1Char('='))));
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
        switch (parts[0][0]) {
        case 'g': ini.GetIniKey(section, key); break;
        case 'w': ini.WriteIniKey(section, key, value); break;
        case 'k': ini.DelIniKey(section, key); break;
        case 's': ini.DelIniSec(section); break;
        default: break;
        }
    }
    return 0;
}
