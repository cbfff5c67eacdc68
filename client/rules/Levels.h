#pragma once
// The players' levels: 1 to 40, named "第一级" to "第四十级".
#include <string>

namespace Rules {

inline constexpr int MaxPlayerLevel = 40;

// "第" + the Chinese numeral + "级", in UTF-8; a level outside 1..40 is taken as the nearest.
std::string LevelName(int level);

}  // namespace Rules
