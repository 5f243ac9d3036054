#pragma once

#include <QString>

// The program's identity constants; settings keys are composed from them.
namespace Identity {
inline const QString AppTitle = QStringLiteral("Pamphlexa");
inline const QString CompanyName = QStringLiteral("Qor Software Development");
// "SOFTWARE\<company>\<title>": the application key under the current user's root.
inline QString appKey() { return QStringLiteral("SOFTWARE\\") + CompanyName + QLatin1Char('\\') + AppTitle; }
// "SOFTWARE\<company>\GLOBAL": settings shared with the maker's other programs.
inline QString companyKey() { return QStringLiteral("SOFTWARE\\") + CompanyName + QStringLiteral("\\GLOBAL"); }
} // namespace Identity
