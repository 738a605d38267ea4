// quexa: the window program. The splash comes first; its timer loads the
// main window.
#include <QApplication>

#include "frm_splash.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Quexa");
  QApplication::setApplicationVersion("2.0");
  quexa::FrmSplash splash;
  splash.show();
  return app.exec();
}

// The font configuration library keeps a cache that it never frees; checked
// builds are told so and still report every leak of the program's own.
extern "C" const char* __lsan_default_suppressions();
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}
