#pragma once
// The operator of this deployment, kept in one place.
#include <QString>

namespace SiteConfig {
inline const QString SiteName = QStringLiteral("奎乐棋牌");
inline const QString WebHost = QStringLiteral("http://127.0.0.1:8090");
inline const QString ProgramTitle = QStringLiteral("Quellor");
}  // namespace SiteConfig
