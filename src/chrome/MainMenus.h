#pragma once

class frmMain;

// Builds the main window's menu bar: every item with its control name, caption, shortcut and
// separators, each routed to the clsMain operation it names.
namespace MainMenus {
void build(frmMain &form);
}
