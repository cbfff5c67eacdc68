#pragma once
// The accounts file: one account a line, the key, a space and a password hash (Argon2id, in
// libsodium's string form, which carries its own salt and cost). Passwords themselves are
// never stored nor logged.
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>

namespace Accounts {

// The cost of a new hash; the program uses libsodium's interactive limits.
struct HashCost {
    unsigned long long ops;
    size_t memory;
};
HashCost InteractiveCost();

// A key is 1..16 printable single-byte characters without spaces.
bool ValidKey(const std::string& key);

class Book {
public:
    // Reads the file; nothing (and why, in `error`) when it cannot be read or holds a bad line.
    static std::optional<Book> Load(const std::string& path, std::string& error);
    // True only for a known key with its own password.
    bool Check(const std::string& key, const std::string& password) const;
    size_t Size() const { return m_hashes.size(); }

private:
    std::map<std::string, std::string> m_hashes;
};

// Sets the key's password in the file (a new line, or the key's own line replaced), written
// whole to a temporary file of mode 0600 beside it and renamed over it. False with `error`.
bool Store(const std::string& path, const std::string& key, const std::string& password, HashCost cost,
           std::string& error);

}  // namespace Accounts
