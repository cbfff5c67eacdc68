#include "session/Recording.h"

#include <QElapsedTimer>
#include <QFile>

#include <memory>

namespace Recording {

namespace {

std::unique_ptr<QFile> g_file;
QElapsedTimer g_clock;

}  // namespace

bool Start(const QString& path)
{
    Stop();
    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    if (file->write(Magic, MagicSize) != MagicSize)
        return false;
    g_file = std::move(file);
    g_clock.start();
    return true;
}

void Stop()
{
    if (g_file)
        g_file->close();
    g_file.reset();
}

bool Active()
{
    return g_file != nullptr;
}

void Add(const Packet& packet)
{
    if (!g_file)
        return;
    const auto ms = static_cast<uint32_t>(g_clock.elapsed());
    char record[RecordSize];
    for (int i = 0; i < 4; ++i)
        record[i] = static_cast<char>((ms >> (8 * i)) & 0xFF);
    std::copy(packet.begin(), packet.end(), record + 4);
    g_file->write(record, RecordSize);
    // A recording is for finding faults: what was handled must be on disk if the client dies.
    g_file->flush();
}

bool Read(const QString& path, std::vector<Entry>& entries, QString& error)
{
    entries.clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("cannot open %1").arg(path);
        return false;
    }
    if (file.read(MagicSize) != QByteArray(Magic, MagicSize)) {
        error = QStringLiteral("%1 is not a recording of the table").arg(path);
        return false;
    }
    while (true) {
        const QByteArray record = file.read(RecordSize);
        if (record.size() < RecordSize)
            break;
        Entry e;
        for (int i = 0; i < 4; ++i)
            e.ms |= static_cast<uint32_t>(static_cast<uint8_t>(record[i])) << (8 * i);
        std::copy(record.begin() + 4, record.end(), e.packet.begin());
        entries.push_back(e);
    }
    return true;
}

}  // namespace Recording
