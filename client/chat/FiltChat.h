#pragma once
// The word filter of the chat: banned words are removed from every line a player sends. The
// words are data, not code: "filtchat.txt" beside the program, one entry per line (UTF-8 or
// GBK; blank lines and lines starting with '#' are skipped), applied in the file's order, so
// an entry that contains another must stand before it.
#include <QByteArray>
#include <QString>
#include <QStringList>

namespace FiltChat {

inline const QString WordListFile = QStringLiteral("filtchat.txt");

// The entries of a word-list file's bytes, in order.
QStringList ParseWordList(const QByteArray& bytes);

// The list, read from the program folder on first use and kept; no file, no words.
const QStringList& Words();

// The text with every occurrence of every entry removed, entry by entry in list order, exact
// and case-sensitive.
QString FilterChat(const QString& text);
QString FilterChat(const QString& text, const QStringList& words);

// Forgets the list; the next use reads the file again.
void Reset();

}  // namespace FiltChat
