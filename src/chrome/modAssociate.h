#pragma once

#include <QString>
#include <QStringList>

// Registers the program's rich text document types with the desktop: the association entries
// in the settings store's classes root, a shared-mime-info package per type and a desktop
// entry under the user's data folder ($XDG_DATA_HOME, else ~/.local/share). Runs at every start
// and is cheap when nothing changed: each entry and file is written only when its content
// differs, and the desktop's caches are rebuilt (in the background) only after a change.
namespace modAssociate {

// What one registration wrote; empty when everything was already in place.
struct Outcome
{
    int storeWrites = 0;
    QStringList filesWritten;
    Outcome &operator+=(const Outcome &other)
    {
        storeWrites += other.storeWrites;
        filesWritten += other.filesWritten;
        return *this;
    }
};

// The id of the installed desktop entry, MIME package, icon and AppStream data.
inline const QString ApplicationId = QStringLiteral("org.pamphlexa.Pamphlexa");

// Whether the installed desktop entry and MIME package sit beside the program folder
// (<prefix>/share/applications and <prefix>/share/mime/packages): the desktop knows the program
// already, and no per-user copies are needed.
bool installedDesktopFiles();
// The folder the per-user desktop files go to; empty when the program is installed with its
// desktop files, or when registration with the desktop is switched off (the environment
// variable PAMPHLEXA_REGISTER_TYPES set to 0, so that test and benchmark runs can keep away
// from the user's own folders).
QString dataHome();
// The MIME type the desktop files give an extension ("rtf" is the desktop's own application/rtf).
QString mimeTypeFor(const QString &extension);

// Registers one document type: extension without the dot ("rtf"), description ("Rich Text"),
// icon index ("2"). Failures are ignored; the next step runs.
Outcome ASSOCIATE(const QString &extension, const QString &description, const QString &iconIndex);

// Start-up: registers ".rtf" and ".rtt" and the program's desktop entry; rebuilds the desktop's
// caches when a file changed and runUpdaters is true.
Outcome REGISTERTYPES(bool runUpdaters = true);

// The content of the files, for the types given as (extension, description, icon index).
QByteArray mimePackage(const QString &extension, const QString &description,
                       const QString &iconIndex);
QByteArray desktopEntry(const QStringList &mimeTypes);

} // namespace modAssociate
