#pragma once
// What a port open to a network needs, shared by the server and the relay, without sockets:
// the address to listen on, how many links one remote address and all of them may hold, and
// how often one link may chat. The callers feed it addresses and times and act on the answer.
#include <QCommandLineParser>
#include <QHostAddress>
#include <QString>

#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <string>

namespace OpenPort {

// An option with a value and its default, as both programs declare most of theirs.
QCommandLineOption ValueOption(const char* name, const char* help, const char* value, const char* fallback);

// The options both programs take alike: the address to listen on, and the cap per remote address.
QCommandLineOption ListenOption();
QCommandLineOption LinksPerAddressOption();

// Reads an integer option within [low, high]; false when it is not one.
bool IntOption(const QCommandLineParser& parser, const QCommandLineOption& option, long long low, long long high,
               long long& out);

// An IPv4 or IPv6 address, `0.0.0.0` for every IPv4 one, `::` for every address of both
// families; nothing for what is not an address.
std::optional<QHostAddress> ListenAddress(const QString& text);
// "127.0.0.1:7430", "[::1]:7430": an address and port as a person types them.
std::string Endpoint(const QHostAddress& address, quint16 port);

// Links one remote address may hold when the option gives none: on loopback only the cap in all
// counts (every test and local table comes from there); open to a network, a household's worth.
int LinksPerAddress(int given, const QHostAddress& listen);

// Links held, in all and per remote address (0: no cap of its own). Admit says why a new link is turned away, or
// nothing when it may stay (and then counts it until Release).
class LinkCaps {
public:
    LinkCaps(int total, int perAddress) : m_total(total), m_perAddress(perAddress) {}
    std::optional<std::string> Admit(const std::string& address);
    void Release(const std::string& address);
    int Held() const { return m_held; }

private:
    int m_total;
    int m_perAddress;
    int m_held = 0;
    std::map<std::string, int> m_byAddress;
};

// At most `lines` lines in any `windowMs` of one link; a line beyond that is not counted.
class ChatRate {
public:
    ChatRate(int lines, int64_t windowMs) : m_lines(lines), m_windowMs(windowMs) {}
    bool Allow(int64_t nowMs);

private:
    int m_lines;
    int64_t m_windowMs;
    std::deque<int64_t> m_sent;
};

}  // namespace OpenPort
