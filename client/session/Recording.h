#pragma once
// A recording of the packets the client handles, with the moment each was handled, so that a
// table can be replayed later from the recording alone (quellor-replay). Switched on by the
// environment variable QUELLOR_RECORD=<file>, never by default. Only received packets are kept:
// the entry request, and with it the password, never enters a recording.
//
// The file: the 8 bytes "QREC0001", then one record per packet: the milliseconds since the
// recording began (32 bits, little-endian) and the 272 bytes of the packet.
#include <cstdint>
#include <vector>
#include <QString>

#include "wire/Packet.h"

namespace Recording {

inline constexpr char Magic[] = "QREC0001";
constexpr int MagicSize = 8;
constexpr int RecordSize = 4 + PacketSize;

struct Entry {
    uint32_t ms = 0;
    Packet packet{};
};

// Opens the file anew; false when it cannot be written (the client then records nothing).
bool Start(const QString& path);
void Stop();
bool Active();
// One handled packet (the transport calls it for every packet it delivers).
void Add(const Packet& packet);

// Reads a recording. A file that does not begin with the magic is refused with a reason; a
// last record cut short (the client ended while writing) is left out.
bool Read(const QString& path, std::vector<Entry>& entries, QString& error);

}  // namespace Recording
