#pragma once

#include <QIcon>
#include <QString>

// The program's icons. Commands are addressed by the keys of the shared image list ("NEW",
// "CUT", "FORMAT PAINTER"); each key has a freedesktop icon name, so the desktop's icon theme
// supplies the picture when it has one and the bundled set (drawn for this program, compiled in)
// when it has not.
namespace Icons {
// Makes the bundled set the fallback theme and the program's icon the default icon of every
// window. Call once after the application object exists.
void install();
// The program's own icon.
QIcon application();
// The icon for an image key; a null icon for a key the program does not know.
QIcon image(const QString &key);
// The icon name an image key looks up ("edit-cut"); empty for an unknown key.
QString themeName(const QString &key);
// Every image key the program knows.
QStringList keys();
} // namespace Icons
