#include "Seat.h"

#include <QRegularExpression>
#include <QStringList>

namespace Hallmere {

namespace {

bool FitsAField(const QString& text)
{
    return !text.contains(QLatin1Char('$'));
}

}  // namespace

std::optional<QString> Seat::Problem() const
{
    static const QRegularExpression space(QStringLiteral("\\s"));
    if (host.isEmpty() || !FitsAField(host) || host.contains(space))
        return QStringLiteral("服务器地址不对 / the server is not a host name or address");
    if (port < 1 || port > 65535)
        return QStringLiteral("端口不对 / the port is not between 1 and 65535");
    if (user.isEmpty() || !FitsAField(user))
        return QStringLiteral("用户名不对 / the user name is empty or holds '$'");
    if (!FitsAField(password))
        return QStringLiteral("密码不能含有 '$' / the password cannot hold '$'");
    if (!FitsAField(location) || !FitsAField(hallCaption) || !FitsAField(tableCaption))
        return QStringLiteral("名称不能含有 '$' / a caption or location cannot hold '$'");
    return std::nullopt;
}

QString Seat::Line() const
{
    const bool captions = hallCaption != DefaultCaption;
    const QStringList fields = {user,
                                password,
                                host,
                                QString::number(port),
                                location,
                                QStringLiteral("0"),
                                QString(),
                                QStringLiteral("0"),
                                QString(),
                                QString(),
                                captions ? QStringLiteral("1") : QStringLiteral("0"),
                                captions ? hallCaption : QString(),
                                captions ? tableCaption : QString()};
    return fields.join(QLatin1Char('$')) + QLatin1Char('$');
}

QString Seat::Summary() const
{
    return QStringLiteral("%1 @ %2 · %3").arg(user, Server(), location);
}

bool Seat::SetServer(const QString& text)
{
    const QString t = text.trimmed();
    static const QRegularExpression bracketed(QStringLiteral("^\\[([^\\]]+)\\](?::(\\d+))?$"));
    static const QRegularExpression withPort(QStringLiteral("^([^:\\s]+):(\\d+)$"));
    static const QRegularExpression plain(QStringLiteral("^[^\\s\\[\\]]+$"));
    QString newHost;
    QString newPort;
    if (const auto m = bracketed.match(t); m.hasMatch()) {
        newHost = m.captured(1);
        newPort = m.captured(2);
    } else if (const auto m2 = withPort.match(t); m2.hasMatch()) {
        newHost = m2.captured(1);
        newPort = m2.captured(2);
    } else if (plain.match(t).hasMatch()) {
        newHost = t;  // a name, an IPv4 address, or an IPv6 address without a port
    } else {
        return false;
    }
    int number = port;
    if (!newPort.isEmpty()) {
        bool ok = false;
        number = newPort.toInt(&ok);
        if (!ok || number < 1 || number > 65535)
            return false;
    }
    host = newHost;
    port = number;
    return true;
}

QString Seat::Server() const
{
    const QString shown = host.contains(QLatin1Char(':')) ? QLatin1Char('[') + host + QLatin1Char(']') : host;
    return shown + QLatin1Char(':') + QString::number(port);
}

}  // namespace Hallmere
