#pragma once
// The operator of this deployment, kept in one place.
#include <QString>

namespace SiteConfig {
inline const QString SiteName = QStringLiteral("奎乐棋牌");
// Host name and port of the operator's web site; pages are "http://" + WebHost + path.
inline const QString WebHost = QStringLiteral("127.0.0.1:8090");
inline const QString ProgramTitle = QStringLiteral("Quellor");
}  // namespace SiteConfig
