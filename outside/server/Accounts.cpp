#include "Accounts.h"

#include <sodium.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <unistd.h>
#include <vector>

namespace Accounts {

namespace {

bool Ready()
{
    static const bool ready = sodium_init() >= 0;
    return ready;
}

// Key and hash of one line; false for a line that is neither.
bool ParseLine(const std::string& line, std::string& key, std::string& hash)
{
    const size_t blank = line.find(' ');
    if (blank == std::string::npos)
        return false;
    key = line.substr(0, blank);
    hash = line.substr(blank + 1);
    return ValidKey(key) && !hash.empty() && hash.size() < crypto_pwhash_STRBYTES;
}

std::string SystemError(const std::string& what)
{
    return what + ": " + std::strerror(errno);
}

}  // namespace

HashCost InteractiveCost()
{
    return {crypto_pwhash_OPSLIMIT_INTERACTIVE, crypto_pwhash_MEMLIMIT_INTERACTIVE};
}

bool ValidKey(const std::string& key)
{
    if (key.empty() || key.size() > 16)
        return false;
    for (char c : key)
        if (c <= 0x20 || c >= 0x7F)
            return false;
    return true;
}

std::optional<Book> Book::Load(const std::string& path, std::string& error)
{
    std::ifstream in(path);
    if (!in) {
        error = SystemError("cannot read " + path);
        return std::nullopt;
    }
    Book book;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (line.empty())
            continue;
        std::string key, hash;
        if (!ParseLine(line, key, hash)) {
            error = path + " line " + std::to_string(number) + " is not a key and a password hash";
            return std::nullopt;
        }
        book.m_hashes[key] = hash;
    }
    return book;
}

bool Book::Check(const std::string& key, const std::string& password) const
{
    if (!Ready())
        return false;
    const auto it = m_hashes.find(key);
    if (it == m_hashes.end())
        return false;
    return crypto_pwhash_str_verify(it->second.c_str(), password.data(), password.size()) == 0;
}

bool Store(const std::string& path, const std::string& key, const std::string& password, HashCost cost,
           std::string& error)
{
    if (!ValidKey(key)) {
        error = "a key is 1 to 16 printable characters without spaces";
        return false;
    }
    if (!Ready()) {
        error = "libsodium cannot start";
        return false;
    }
    char hash[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(hash, password.data(), password.size(), cost.ops, cost.memory) != 0) {
        error = "out of memory for the password hash";
        return false;
    }

    // Every other line stays as it is; the key's own line is replaced in its place.
    std::vector<std::string> lines;
    bool replaced = false;
    if (std::ifstream in(path); in) {
        for (std::string line; std::getline(in, line);) {
            std::string other, otherHash;
            if (ParseLine(line, other, otherHash) && other == key) {
                line = key + " " + hash;
                replaced = true;
            }
            lines.push_back(line);
        }
    } else if (errno != ENOENT) {
        error = SystemError("cannot read " + path);
        return false;
    }
    if (!replaced)
        lines.push_back(key + " " + hash);
    std::ostringstream text;
    for (const std::string& line : lines)
        text << line << '\n';
    const std::string bytes = text.str();

    const std::string temporary = path + ".new";
    ::unlink(temporary.c_str());
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        error = SystemError("cannot write " + temporary);
        return false;
    }
    bool ok = true;
    for (size_t done = 0; ok && done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        ok = n > 0;
        done += ok ? static_cast<size_t>(n) : 0;
    }
    ok = ok && ::fsync(fd) == 0;
    if (!ok)
        error = SystemError("cannot write " + temporary);
    ::close(fd);
    if (ok && ::rename(temporary.c_str(), path.c_str()) != 0) {
        error = SystemError("cannot replace " + path);
        ok = false;
    }
    if (!ok)
        ::unlink(temporary.c_str());
    return ok;
}

}  // namespace Accounts
