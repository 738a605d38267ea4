// Where frmMain's controls stand: the window design and the layout rules
// live in main_layout.cpp; these are the window's own entry points to them.
#include <QWidget>
#include <algorithm>

#include "app/layout.h"
#include "frm_main.h"
#include "main_layout.h"

namespace quexa {

double FrmMain::dpi() const {
  return twipsDpiOf(*this);
}

void FrmMain::place(QWidget* widget, double left, double top, double width, double height) const {
  const double d = dpi();
  widget->setGeometry(twipsToPixels(left, d), twipsToPixels(top, d),
                      std::max(0, twipsToPixels(width, d)), std::max(0, twipsToPixels(height, d)));
}

void FrmMain::arrangeControls() {
  arrangeMainWindow(*this);
}

void FrmMain::arrangeEachSitePage() {
  placeResultTabs(*this);
}

}  // namespace quexa
