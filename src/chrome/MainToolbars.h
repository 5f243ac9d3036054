#pragma once

class frmMain;

// Builds the standard toolbar TBSTD and the formatting toolbar TBFMT (with the font name, size
// and style boxes). Buttons are addressed by their upper-case keys and run the command of the
// same name.
namespace MainToolbars {
void build(frmMain &form);
}
