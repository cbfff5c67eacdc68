#include "chat/FiltChat.h"

#include <QFile>
#include <optional>

#include "session/Platform.h"
#include "wire/Gbk.h"

namespace FiltChat {

namespace {

// A word list is a few dozen short lines; anything far beyond that is not one.
constexpr qint64 MaxFileBytes = 256 * 1024;
constexpr int MaxEntries = 2000;

std::optional<QStringList> g_words;

}  // namespace

QStringList ParseWordList(const QByteArray& bytes)
{
    QStringList words;
    const QString text = Gbk::DecodeTextFile(bytes);
    for (QStringView line : QStringView(text).split(QLatin1Char('\n'))) {
        const QStringView entry = line.trimmed();
        if (entry.isEmpty() || entry.startsWith(QLatin1Char('#')))
            continue;
        words << entry.toString();
        if (words.size() >= MaxEntries)
            break;
    }
    return words;
}

const QStringList& Words()
{
    if (!g_words) {
        g_words.emplace();
        QFile file(Platform::DataDir() + QLatin1Char('/') + WordListFile);
        if (file.open(QIODevice::ReadOnly))
            *g_words = ParseWordList(file.read(MaxFileBytes));
    }
    return *g_words;
}

QString FilterChat(const QString& text, const QStringList& words)
{
    QString filtered = text;
    for (const QString& word : words)
        filtered.remove(word, Qt::CaseSensitive);
    return filtered;
}

QString FilterChat(const QString& text)
{
    return FilterChat(text, Words());
}

void Reset()
{
    g_words.reset();
}

}  // namespace FiltChat
