#include "rules/Levels.h"

#include <algorithm>
#include <array>

namespace Rules {

namespace {

constexpr std::array<const char*, 10> Digits{"", "一", "二", "三", "四", "五", "六", "七", "八", "九"};

}  // namespace

std::string LevelName(int level)
{
    level = std::clamp(level, 1, MaxPlayerLevel);
    std::string numeral;
    const int tens = level / 10;
    const int units = level % 10;
    if (tens >= 2)
        numeral += Digits[static_cast<size_t>(tens)];
    if (tens >= 1)
        numeral += "十";
    if (units > 0)
        numeral += Digits[static_cast<size_t>(units)];
    return "第" + numeral + "级";
}

}  // namespace Rules
