// frmMain's geometry: the window design (the vertical positions and the
// widths of the fixed-size controls) and the steps that apply the layout
// rules of app/layout.h to the real controls. Every length is in twips of
// the window's client area; the controls on the result tabs are placed by
// the same numbers, shifted by where the tab's page sits in the window.
#pragma once

#include "app/layout.h"

namespace quexa {

class FrmMain;

// The widths of the fixed-size controls and the lefts the rules start from.
LayoutDesign mainWindowDesign();

// The dots per inch that twips convert at: the window's twipsDpi when set,
// otherwise the screen's logical DPI.
double twipsDpiOf(const FrmMain& form);

// Form_Resize: the size rule (minimum width, fixed height), then the whole
// layout for the current client width, then savedFormWidth. A minimized
// window is left alone.
void formResize(FrmMain& form);

// Lays the window out for its current width without touching its size
// (start-up, before the window is shown) and places every control.
void arrangeMainWindow(FrmMain& form);

// Places the status line again: the failure field, while it shows, takes
// the right end of dispFile.
void placeStatusFields(FrmMain& form);

// Places the controls of both result tabs from form.layout again; the tab
// control moves its pages when it lays itself out, so this follows it.
void placeResultTabs(FrmMain& form);

// The splitter drag: the bar follows the mouse within its limits; only the
// bar moves. x is the mouse's position inside the bar, in pixels.
void dragDivider(FrmMain& form, int x);
// The release: the 4000-twip rule, the tree and the page pane follow the
// bar, and splitterLeft keeps the bar's place.
void releaseDivider(FrmMain& form);

// The geometry of a switch between the result tabs (dispTab_Click, before
// its status label is set).
void layOutResultTab(FrmMain& form, int tabIndex);

}  // namespace quexa
