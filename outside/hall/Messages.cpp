#include "Messages.h"

namespace Hallmere {

QString Meaning(uint32_t number, Direction direction)
{
    if (direction == Direction::FromClient) {
        switch (number) {
        case 22: return QStringLiteral("连接中 / connecting");
        case 771: return QStringLiteral("已登录 / logged in");
        case 1024: return QStringLiteral("空闲 / not playing");
        case 1125: return QStringLiteral("正在游戏 / playing");
        case 1126: return QStringLiteral("登录中 / still logging in");
        case 1127: return QStringLiteral("已发牌 / dealt");
        case 61728: return QStringLiteral("请求回到大厅 / bring the hall back");
        case 61472: return QStringLiteral("请求最小化大厅 / put the hall aside");
        default: break;
        }
    } else {
        switch (number) {
        case 22: return QStringLiteral("重新连接 / connect again");
        case 771: return QStringLiteral("忙吗？ / are you busy?");
        case 1024: return QStringLiteral("关闭牌桌 / close the table");
        case 1125: return QStringLiteral("在玩吗？ / are you playing?");
        default: break;
        }
    }
    return QStringLiteral("未知 / unknown");
}

}  // namespace Hallmere
