#include "session/Launch.h"

#include <QHostAddress>

#include "wire/Gbk.h"

namespace Launch {

namespace {

// A 16-bit signed number: optional blanks and sign around decimal digits.
bool ToInt16(const QString& field, int16_t& out)
{
    const QString t = field.trimmed();
    if (t.isEmpty())
        return false;
    bool ok = false;
    const int value = t.toInt(&ok, 10);
    if (!ok || value < -32768 || value > 32767)
        return false;
    out = static_cast<int16_t>(value);
    return true;
}

// A TCP port. Ports above 32767 are as real as any other, so the field is unsigned.
bool ToPort(const QString& field, uint16_t& out)
{
    const QString t = field.trimmed();
    bool ok = false;
    const int value = t.toInt(&ok, 10);
    if (t.isEmpty() || !ok || value < 0 || value > 65535)
        return false;
    out = static_cast<uint16_t>(value);
    return true;
}

bool ToNumber(const QString& field, double& out)
{
    bool ok = false;
    out = field.trimmed().toDouble(&ok);
    return ok && !field.trimmed().isEmpty();
}

// Every character must be one byte of the code page; the wire carries them byte by byte.
bool SingleByteText(const QString& text)
{
    for (QChar c : text)
        if (Gbk::SingleByte(c) < 0)
            return false;
    return true;
}

}  // namespace

QString JoinArguments(const QStringList& arguments)
{
    return arguments.mid(1).join(QLatin1Char(' '));
}

ParseOutcome ParseCommandLine(const QString& rawLine, CommandLine& out)
{
    const QString line = rawLine.trimmed();
    if (line.isEmpty())
        return ParseOutcome::Empty;

    CommandLine parsed;
    parsed.spectator = !line.endsWith(QLatin1Char('$'));

    QStringList fields;
    qsizetype from = 0;
    for (int i = 0; i < 13; ++i) {
        const qsizetype dollar = line.indexOf(QLatin1Char('$'), from);
        if (dollar < 0)
            return ParseOutcome::Invalid;  // fewer than thirteen fields
        fields << line.mid(from, dollar - from);
        from = dollar + 1;
    }
    const QString rest = line.mid(from);
    if (parsed.spectator) {
        if (!ToNumber(rest, parsed.spectatorSeatValue))
            return ParseOutcome::Invalid;
    }

    parsed.userKey = fields[0];
    parsed.password = fields[1];
    parsed.serverHost = fields[2];
    parsed.location = fields[4];
    parsed.proxyHost = fields[6];
    parsed.proxyUser = fields[8];
    parsed.proxyPassword = fields[9];
    parsed.hallCaption = fields[11];
    parsed.ownCaption = fields[12];

    double captionSwitch = 0;
    if (!ToPort(fields[3], parsed.serverPort) || !ToInt16(fields[5], parsed.proxyType)
        || !ToPort(fields[7], parsed.proxyPort) || !ToNumber(fields[10], captionSwitch))
        return ParseOutcome::Invalid;
    parsed.customCaption = captionSwitch == 1;

    for (const QString* text : {&parsed.userKey, &parsed.password, &parsed.proxyUser, &parsed.proxyPassword})
        if (!SingleByteText(*text))
            return ParseOutcome::Invalid;
    // The name has 16 bytes before the password starts, and the password must end before
    // the session code; longer texts would corrupt the request.
    if (parsed.userKey.size() > 16 || parsed.password.size() > 228)
        return ParseOutcome::Invalid;
    // The proxy request carries the lengths in one byte each.
    if (parsed.proxyUser.size() > 255 || parsed.proxyPassword.size() > 255)
        return ParseOutcome::Invalid;
    // Through a proxy the server is named by its IPv4 address in the connect request.
    if (parsed.proxyType == 5 && QHostAddress(parsed.serverHost).protocol() != QAbstractSocket::IPv4Protocol)
        return ParseOutcome::Invalid;
    parsed.proxyUserLength = static_cast<uint8_t>(parsed.proxyUser.size());
    parsed.proxyPasswordLength = static_cast<uint8_t>(parsed.proxyPassword.size());

    out = parsed;
    Wipe(parsed.password);
    Wipe(parsed.proxyPassword);
    return ParseOutcome::Ok;
}

void Wipe(QString& text)
{
    text.fill(QChar(u'\0'));
    text.clear();
    text.squeeze();
}

}  // namespace Launch
