#pragma once
// Reaching the game server through a SOCKS5 proxy with user name and password offered.
// The handshake is a small state machine fed by the socket's arrivals; on success the socket
// is handed to the packet transport and the entry request goes out.
#include <cstdint>
#include <QByteArray>

namespace Mod_Proxy {

struct ProxyRecord {
    // 0 connected, nothing sent; 1 greeting to send; 2 waiting for the method choice;
    // 3 authentication to send; 4 waiting for its result; 5 connect request to send;
    // 6 waiting for the connect result; 7 done, the socket belongs to the transport.
    uint8_t ProxyStep = 0;
};
inline ProxyRecord State;

// Opens the connection to the proxy and sends the greeting.
void StartProxyConnection();
// Sends the request of step 1, 3 or 5 and moves to 2, 4 or 6.
void SendProxyRequest();
// Judges what has arrived in the proxy buffer for the current step.
void HandleProxyReply();

// The requests, built from the command line values.
QByteArray GreetingRequest();
QByteArray AuthenticationRequest();
// Empty when the server host is not a dotted IPv4 address.
QByteArray ConnectRequest();

// Back to the start-up record (step 0).
void Reset();

}  // namespace Mod_Proxy
