#pragma once
// Who makes the program: the about box, the status bar links and the
// Internet commands show and open these.

#include <QString>

namespace MakerInfo {
inline QString Publisher() { return QStringLiteral("Orbelle软件"); }
inline QString Telephone() { return QStringLiteral("400-800-6688"); }
inline QString WebSite() { return QStringLiteral("https://www.orbelle.example/"); }
inline QString Email() { return QStringLiteral("support@orbelle.example"); }
} // namespace MakerInfo
