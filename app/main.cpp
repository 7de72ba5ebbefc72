#include <QApplication>

#include <cstdio>
#include <string>
#include <vector>

#include "desk/command_line.h"
#include "app/logwick_app.h"
#include "app/qt_translation.h"
#include "version/program_version.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

// --version and --help: printed before Qt starts, so they need no display
// (the manual page is made from them at build time).
bool AnswerInfoRequest(int argc, char* argv[]) {
  const logwick::InfoRequest request =
      logwick::FindInfoRequest(std::vector<std::string>(argv + 1, argv + argc));
  if (request == logwick::InfoRequest::kNone) return false;
#ifdef _WIN32
  // A windowed program has no console of its own: write to the one it was started from.
  if (AttachConsole(ATTACH_PARENT_PROCESS)) std::freopen("CONOUT$", "w", stdout);
#endif
  const std::string text = request == logwick::InfoRequest::kVersion ? logwick::VersionLine("logwick") + "\n"
                                                                     : logwick::DesktopHelpText();
  std::fputs(text.c_str(), stdout);
  return true;
}

}  // namespace

int main(int argc, char* argv[]) {
  if (AnswerInfoRequest(argc, argv)) return 0;
  QApplication qapp(argc, argv);
  logwick::InstallRussianTranslation();
  CLogwickApp app;
  return app.InitInstance(QCoreApplication::arguments().mid(1));
}
