#include "OpenPort.h"

namespace OpenPort {

QCommandLineOption ValueOption(const char* name, const char* help, const char* value, const char* fallback)
{
    return QCommandLineOption(QString::fromLatin1(name), QString::fromLatin1(help), QString::fromLatin1(value),
                              QString::fromLatin1(fallback));
}

QCommandLineOption ListenOption()
{
    return ValueOption("listen", "Address to listen on: IPv4 or IPv6, 0.0.0.0 or :: for all.", "address", "127.0.0.1");
}

QCommandLineOption LinksPerAddressOption()
{
    return ValueOption("max-links-per-address",
                       "Links held at once from one remote address; 0: 16, or no cap of its own on loopback.", "n",
                       "0");
}

bool IntOption(const QCommandLineParser& parser, const QCommandLineOption& option, long long low, long long high,
               long long& out)
{
    bool ok = false;
    const long long v = parser.value(option).toLongLong(&ok);
    if (!ok || v < low || v > high)
        return false;
    out = v;
    return true;
}

std::optional<QHostAddress> ListenAddress(const QString& text)
{
    QHostAddress address;
    // A scope or host name is not an address to listen on.
    if (text.contains(QLatin1Char('%')) || !address.setAddress(text))
        return std::nullopt;
    // Bound as it is, "::" would take IPv6 links only; a person who writes it means every
    // address, so it listens on both families at once.
    if (address == QHostAddress(QHostAddress::AnyIPv6))
        return QHostAddress(QHostAddress::Any);
    return address;
}

std::string Endpoint(const QHostAddress& address, quint16 port)
{
    QString host = address.toString();
    if (address == QHostAddress(QHostAddress::Any))
        host = QStringLiteral("::");
    if (address.protocol() == QAbstractSocket::IPv6Protocol || address == QHostAddress(QHostAddress::Any))
        host = QLatin1Char('[') + host + QLatin1Char(']');
    return host.toStdString() + ":" + std::to_string(port);
}

int LinksPerAddress(int given, const QHostAddress& listen)
{
    if (given > 0)
        return given;
    return listen.isLoopback() ? 0 : 16;
}

std::optional<std::string> LinkCaps::Admit(const std::string& address)
{
    if (m_held >= m_total)
        return "all " + std::to_string(m_total) + " links are taken";
    int& mine = m_byAddress[address];
    if (m_perAddress > 0 && mine >= m_perAddress)
        return "its address holds " + std::to_string(m_perAddress) + " links already";
    ++mine;
    ++m_held;
    return std::nullopt;
}

void LinkCaps::Release(const std::string& address)
{
    const auto it = m_byAddress.find(address);
    if (it == m_byAddress.end())
        return;
    --m_held;
    if (--it->second <= 0)
        m_byAddress.erase(it);
}

bool ChatRate::Allow(int64_t nowMs)
{
    while (!m_sent.empty() && nowMs - m_sent.front() >= m_windowMs)
        m_sent.pop_front();
    if (static_cast<int>(m_sent.size()) >= m_lines)
        return false;
    m_sent.push_back(nowMs);
    return true;
}

}  // namespace OpenPort
