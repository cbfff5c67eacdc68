#pragma once
// Who sits at the table: the player information the seat message carries, for computer
// players made up here and for human players entering with their account key.
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "rules/Levels.h"

namespace Server {

struct PlayerProfile {
    std::string key;          // account key, single-byte text
    std::string nickname;     // GBK bytes
    std::string logName;      // the same name in UTF-8, for the log
    std::string face = "m1";  // "m" or "w" and a digit
    uint8_t sex = 1;          // 1 man, 0 woman
    std::string area;         // GBK, two-byte characters only
    std::string title;        // GBK, two-byte characters only
    uint64_t points = 0;
    uint64_t credit = 100;
    uint64_t coins = 0;
    int32_t logins = 1;
    int32_t disconnects = 0;
    int32_t wins = 0;
    int32_t losses = 0;
    bool bot = false;
};

using Rules::MaxPlayerLevel;

// Player level 1..40 from points: a level for every hundred points.
int PlayerLevel(uint64_t points);

// "第N级" for 1..40, in UTF-8 and in GBK.
std::string LevelNameUtf8(int level);
std::string LevelNameGbk(int level);

// UTF-8 text to GBK bytes.
std::string ToGbk(const std::string& utf8);

// A computer player with a Chinese name not used by anyone in `taken` (keys and names both
// differ), coins, points and history drawn from rng.
PlayerProfile MakeBotProfile(std::mt19937& rng, const std::vector<PlayerProfile>& taken);

// A human player known only by the account key the entry request carries.
PlayerProfile MakeHumanProfile(const std::string& key, uint64_t coins);

}  // namespace Server
