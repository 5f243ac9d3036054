#pragma once

#include <QString>

class frmMain;

// The one-line descriptions the status bar shows for the menu item or toolbar button under the
// pointer, and the wiring that shows and clears them in the main window.
namespace StatusDescriptions {

// The description of an item from its caption (the text up to a tab; "&", a trailing "..." and
// letter case do not matter). noun is the document noun, title the application title. An
// unknown caption describes itself (without its "&").
QString describe(const QString &caption, const QString &noun, const QString &title);

// Connects every menu item and toolbar button of the main window to the status bar, creates
// the timers TMR1 (standard toolbar) and tmr2 (formatting toolbar) that clear the description
// once the pointer has left the strip, clears it when the pointer moves over the document area's
// background, and gives the menu items the icons of their toolbar buttons.
void install(frmMain &form);

// How often the timers look at the pointer, in milliseconds.
inline constexpr int TimerInterval = 200;

} // namespace StatusDescriptions
