#include "session/IniFile.h"

#include <QFile>
#include <QSaveFile>

#include <vector>

#include "wire/Gbk.h"

namespace {

// A read hands back at most this many GBK bytes of a value (a 1024-byte buffer with its
// terminating zero).
constexpr qsizetype MaxValueBytes = 1023;

struct Line {
    QByteArray text;  // the bytes of the line without its line end
    // "\r\n", "\n", empty for a last line that has none, or "\r" for a last line whose CRLF
    // the file's end cut short
    QByteArray eol;
};

struct Document {
    std::vector<Line> lines;
    QByteArray newline = "\r\n";  // line end for lines we add: the file's own, else CRLF
};

struct Section {
    size_t header;  // index of the "[name]" line
    size_t end;     // index of the next header, or the number of lines
};

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

QByteArray TrimBlanks(const QByteArray& s)
{
    qsizetype from = 0;
    qsizetype to = s.size();
    while (from < to && IsBlank(s[from]))
        ++from;
    while (to > from && IsBlank(s[to - 1]))
        --to;
    return s.mid(from, to - from);
}

// Length of the GBK character starting at i: a lead byte 0x81..0xFE takes the next byte
// with it. Trail bytes can be 0x5B '[' or 0x5D ']', so scans for brackets walk whole
// characters.
qsizetype CharLength(const QByteArray& s, qsizetype i)
{
    const auto b = static_cast<unsigned char>(s[i]);
    return (b >= 0x81 && b <= 0xFE && i + 1 < s.size()) ? 2 : 1;
}

// A name as it will stand in the file and as it compares against the file: the text ends
// at a NUL (the names travel as C strings), line breaks would split the line and become
// spaces, surrounding blanks are dropped (the file's names are read trimmed), and
// characters GBK cannot hold are replaced the same way the file would hold them.
QString CleanText(const QString& text)
{
    QString t = text;
    const qsizetype nul = t.indexOf(QChar(0));
    if (nul >= 0)
        t.truncate(nul);
    t.replace(QChar('\r'), QChar(' '));
    t.replace(QChar('\n'), QChar(' '));
    return t;
}

QString CleanName(const QString& name)
{
    const QByteArray bytes = TrimBlanks(Gbk::Encode(CleanText(name)));
    return Gbk::Decode(bytes);
}

bool SameName(const QByteArray& inFile, const QString& wanted)
{
    return QString::compare(Gbk::Decode(inFile), wanted, Qt::CaseInsensitive) == 0;
}

// "[name]": blanks allowed before '['; the name runs to the last ']' of the line, or to the
// end of the line when there is none.
bool SectionName(const QByteArray& text, QByteArray& name)
{
    qsizetype i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    if (i >= text.size() || text[i] != '[')
        return false;
    const qsizetype start = i + 1;
    qsizetype close = -1;
    for (qsizetype k = start; k < text.size(); k += CharLength(text, k))
        if (text[k] == ']')
            close = k;
    name = TrimBlanks(close < 0 ? text.mid(start) : text.mid(start, close - start));
    return true;
}

// "key=value": the key is what stands before the first '=' ('=' is never a GBK trail byte).
// Comment lines (';') and headers are not keys; neither is a line without '='.
bool KeyLine(const QByteArray& text, QByteArray& key, QByteArray& value)
{
    const QByteArray trimmed = TrimBlanks(text);
    if (trimmed.isEmpty() || trimmed[0] == ';' || trimmed[0] == '[')
        return false;
    const qsizetype eq = trimmed.indexOf('=');
    if (eq < 0)
        return false;
    key = TrimBlanks(trimmed.left(eq));
    value = TrimBlanks(trimmed.mid(eq + 1));
    return true;
}

// Reads the file into lines, keeping every byte and line end. A missing file is an empty
// document; false means the file exists but could not be read, and then nothing may be
// written over it.
bool Load(const QString& path, Document& doc, bool& exists)
{
    doc = Document{};
    exists = false;
    if (path.isEmpty())
        return false;
    QFile file(path);
    if (!file.exists())
        return true;
    exists = true;
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return false;

    bool newlineSeen = false;
    qsizetype start = 0;
    while (start < data.size()) {
        Line line;
        const qsizetype nl = data.indexOf('\n', start);
        if (nl < 0) {
            qsizetype end = data.size();
            if (data[end - 1] == '\r') {
                --end;
                line.eol = "\r";
            }
            line.text = data.mid(start, end - start);
            start = data.size();
        } else {
            qsizetype end = nl;
            if (end > start && data[end - 1] == '\r') {
                --end;
                line.eol = "\r\n";
            } else {
                line.eol = "\n";
            }
            line.text = data.mid(start, end - start);
            start = nl + 1;
            if (!newlineSeen) {
                doc.newline = line.eol;
                newlineSeen = true;
            }
        }
        doc.lines.push_back(std::move(line));
    }
    return true;
}

// Writes a new file beside the old one and renames it over it, so a process that dies in
// the middle leaves the old file whole. Failures are silent.
void Save(const QString& path, const Document& doc)
{
    QByteArray data;
    for (const Line& line : doc.lines) {
        data += line.text;
        data += line.eol;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return;
    if (file.write(data) != data.size()) {
        file.cancelWriting();
        return;
    }
    file.commit();
}

std::vector<Section> FindSections(const Document& doc, const QString& wanted)
{
    std::vector<Section> found;
    QByteArray name;
    for (size_t i = 0; i < doc.lines.size(); ++i) {
        if (!SectionName(doc.lines[i].text, name))
            continue;
        if (!found.empty() && found.back().end == doc.lines.size())
            found.back().end = i;
        if (SameName(name, wanted))
            found.push_back({i, doc.lines.size()});
    }
    return found;
}

// The value as a read returns it: enclosing quotes dropped, cut to MaxValueBytes without
// splitting a double-byte character, surrounding spaces and zero characters removed.
QString ValueText(QByteArray raw)
{
    if (raw.size() >= 2 && (raw[0] == '"' || raw[0] == '\'') && raw.back() == raw[0])
        raw = raw.mid(1, raw.size() - 2);
    qsizetype keep = 0;
    while (keep < raw.size()) {
        const qsizetype len = CharLength(raw, keep);
        if (keep + len > MaxValueBytes)
            break;
        keep += len;
    }
    raw.truncate(keep);
    QString text = Gbk::Decode(raw);
    text.remove(QChar(0));
    qsizetype from = 0;
    qsizetype to = text.size();
    while (from < to && text[from] == QChar(' '))
        ++from;
    while (to > from && text[to - 1] == QChar(' '))
        --to;
    return text.mid(from, to - from);
}

// Gives the line before index `at` a whole line end, so that a line inserted at `at` starts
// on a line of its own.
void EndLineBefore(Document& doc, size_t at)
{
    if (at == 0)
        return;
    QByteArray& eol = doc.lines[at - 1].eol;
    if (eol.isEmpty())
        eol = doc.newline;
    else if (eol == "\r")
        eol = "\r\n";
}

}  // namespace

QString classIniFile::GetIniKey(const QString& section, const QString& key) const
{
    Document doc;
    bool exists = false;
    if (!Load(fileName, doc, exists))
        return {};
    const QString wantedKey = CleanName(key);
    QByteArray name;
    QByteArray value;
    for (const Section& sec : FindSections(doc, CleanName(section)))
        for (size_t i = sec.header + 1; i < sec.end; ++i)
            if (KeyLine(doc.lines[i].text, name, value) && SameName(name, wantedKey))
                return ValueText(value);
    return {};
}

void classIniFile::WriteIniKey(const QString& section, const QString& key, const QString& value)
{
    Document doc;
    bool exists = false;
    if (!Load(fileName, doc, exists))
        return;
    const QString wantedSection = CleanName(section);
    const QString wantedKey = CleanName(key);
    const QByteArray valueBytes = Gbk::Encode(CleanText(value));
    const std::vector<Section> sections = FindSections(doc, wantedSection);

    QByteArray name;
    QByteArray old;
    for (const Section& sec : sections) {
        for (size_t i = sec.header + 1; i < sec.end; ++i) {
            if (!KeyLine(doc.lines[i].text, name, old) || !SameName(name, wantedKey))
                continue;
            // The key keeps the spelling it has in the file.
            const QByteArray text = name + '=' + valueBytes;
            if (doc.lines[i].text == text)
                return;
            doc.lines[i].text = text;
            Save(fileName, doc);
            return;
        }
    }

    const Line keyLine{Gbk::Encode(wantedKey) + '=' + valueBytes, doc.newline};
    if (!sections.empty()) {
        // New keys go after the last non-blank line of the section, so blank lines that
        // separate it from the next section stay where they are.
        const Section& sec = sections.front();
        size_t at = sec.header + 1;
        for (size_t i = sec.header + 1; i < sec.end; ++i)
            if (!TrimBlanks(doc.lines[i].text).isEmpty())
                at = i + 1;
        EndLineBefore(doc, at);
        doc.lines.insert(doc.lines.begin() + static_cast<std::ptrdiff_t>(at), keyLine);
    } else {
        EndLineBefore(doc, doc.lines.size());
        doc.lines.push_back({'[' + Gbk::Encode(wantedSection) + ']', doc.newline});
        doc.lines.push_back(keyLine);
    }
    Save(fileName, doc);
}

void classIniFile::DelIniKey(const QString& section, const QString& key)
{
    Document doc;
    bool exists = false;
    if (!Load(fileName, doc, exists) || !exists)
        return;
    const QString wantedKey = CleanName(key);
    std::vector<bool> drop(doc.lines.size(), false);
    bool changed = false;
    QByteArray name;
    QByteArray value;
    for (const Section& sec : FindSections(doc, CleanName(section)))
        for (size_t i = sec.header + 1; i < sec.end; ++i)
            if (KeyLine(doc.lines[i].text, name, value) && SameName(name, wantedKey))
                drop[i] = changed = true;
    if (!changed)
        return;
    Document kept;
    kept.newline = doc.newline;
    for (size_t i = 0; i < doc.lines.size(); ++i)
        if (!drop[i])
            kept.lines.push_back(doc.lines[i]);
    Save(fileName, kept);
}

void classIniFile::DelIniSec(const QString& section)
{
    Document doc;
    bool exists = false;
    if (!Load(fileName, doc, exists) || !exists)
        return;
    const std::vector<Section> sections = FindSections(doc, CleanName(section));
    if (sections.empty())
        return;
    std::vector<bool> drop(doc.lines.size(), false);
    for (const Section& sec : sections)
        for (size_t i = sec.header; i < sec.end; ++i)
            drop[i] = true;
    Document kept;
    kept.newline = doc.newline;
    for (size_t i = 0; i < doc.lines.size(); ++i)
        if (!drop[i])
            kept.lines.push_back(doc.lines[i]);
    Save(fileName, kept);
}
