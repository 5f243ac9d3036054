#pragma once

#include <QString>

// The program's identity constants; settings keys are composed from them.
namespace Identity {
inline const QString AppTitle = QStringLiteral("Pamphlexa");
inline const QString CompanyName = QStringLiteral("Qor Software Development");
// The maker's web site (Help > Qor Online, the About box's logo).
inline const QString WebAddress = QStringLiteral("https://qor-software.example.org/pamphlexa/");
// The legal notice and copying warning of the About box.
inline const QString LegalNotice =
    QStringLiteral("Copyright \u00A9 Qor Software Development. All rights reserved.");
inline const QString CopyWarning = QStringLiteral(
    "Warning: this computer program is protected by copyright law. Unauthorised copying or "
    "distribution of this program, or any part of it, is not permitted.");
// "SOFTWARE\<company>\<title>": the application key under the current user's root.
inline QString appKey()
{
    return QStringLiteral("SOFTWARE\\") + CompanyName + QLatin1Char('\\') + AppTitle;
}
// "SOFTWARE\<company>\GLOBAL": settings shared with the maker's other programs.
inline QString companyKey()
{
    return QStringLiteral("SOFTWARE\\") + CompanyName + QStringLiteral("\\GLOBAL");
}
} // namespace Identity
