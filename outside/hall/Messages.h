#pragma once
// What each number means on the hall channel, in Chinese and English. Some numbers mean one
// thing from the client and another from the hall.
#include <QString>

#include <cstdint>

namespace Hallmere {

enum class Direction { FromClient, ToClient };

QString Meaning(uint32_t number, Direction direction);

}  // namespace Hallmere
