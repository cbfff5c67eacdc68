#include "Players.h"

#include <QString>

#include <algorithm>
#include <array>

#include "rules/Levels.h"
#include "wire/Gbk.h"

namespace Server {

namespace {

struct BotName {
    const char* name;
    uint8_t sex;
};

// Ordinary given names; two or three characters each so they fit every name field.
constexpr std::array<BotName, 16> BotNames{{
    {"陈志强", 1}, {"刘晓燕", 0}, {"王建华", 1}, {"李桂兰", 0},
    {"张国栋", 1}, {"杨丽娟", 0}, {"黄海涛", 1}, {"周秀芳", 0},
    {"吴俊杰", 1}, {"孙美玲", 0}, {"马德胜", 1}, {"胡静怡", 0},
    {"郑大勇", 1}, {"何春梅", 0}, {"罗振宇", 1}, {"高雪", 0},
}};

constexpr std::array<const char*, 10> Areas{"北京", "上海", "广州", "成都", "杭州",
                                            "西安", "武汉", "南京", "沈阳", "昆明"};

// Keeps a log line readable whatever bytes a client sent as its key.
std::string Printable(const std::string& bytes)
{
    std::string out;
    for (char c : bytes)
        out += (c >= 0x20 && c < 0x7F) ? c : '?';
    return out;
}

}  // namespace

int PlayerLevel(uint64_t points)
{
    return static_cast<int>(std::min<uint64_t>(MaxPlayerLevel, 1 + points / 100));
}

std::string LevelNameUtf8(int level) { return Rules::LevelName(level); }

std::string LevelNameGbk(int level) { return ToGbk(LevelNameUtf8(level)); }

std::string ToGbk(const std::string& utf8)
{
    return Gbk::Encode(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()))).toStdString();
}

PlayerProfile MakeBotProfile(std::mt19937& rng, const std::vector<PlayerProfile>& taken)
{
    auto pick = [&rng](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };

    std::vector<size_t> free;
    for (size_t i = 0; i < BotNames.size(); ++i) {
        const bool used = std::any_of(taken.begin(), taken.end(), [&](const PlayerProfile& p) {
            return p.logName == BotNames[i].name;
        });
        if (!used)
            free.push_back(i);
    }
    const size_t index = free.empty() ? static_cast<size_t>(pick(static_cast<int>(BotNames.size())))
                                      : free[static_cast<size_t>(pick(static_cast<int>(free.size())))];

    PlayerProfile p;
    p.bot = true;
    p.logName = BotNames[index].name;
    p.nickname = ToGbk(p.logName);
    p.sex = BotNames[index].sex;
    p.face = std::string(p.sex ? "m" : "w") + std::to_string(1 + pick(9));
    p.area = ToGbk(Areas[static_cast<size_t>(pick(static_cast<int>(Areas.size())))]);
    p.title = ToGbk("电脑");
    p.points = static_cast<uint64_t>(pick(1500));
    p.credit = 100;
    p.coins = static_cast<uint64_t>(20000 + 1000 * pick(61));
    p.logins = 1 + pick(500);
    p.disconnects = pick(5);
    p.wins = pick(300);
    p.losses = pick(300);

    // A key no one else holds: "cpu" and a number.
    for (int n = 1;; ++n) {
        const std::string key = "cpu" + std::to_string(n);
        if (std::none_of(taken.begin(), taken.end(), [&](const PlayerProfile& t) { return t.key == key; })) {
            p.key = key;
            break;
        }
    }
    return p;
}

PlayerProfile MakeHumanProfile(const std::string& key, uint64_t coins)
{
    PlayerProfile p;
    p.key = key;
    p.logName = key.empty() ? std::string("玩家") : Printable(key);
    p.nickname = key.empty() ? ToGbk("玩家") : key;
    p.face = "m1";
    p.sex = 1;
    p.area = ToGbk("本地");
    p.title = ToGbk("玩家");
    p.coins = coins;
    return p;
}

}  // namespace Server
