// The event-file type on a freedesktop desktop: the files the program writes and the databases it updates.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>

#include "desk/desktop_databases.h"
#include "desk/file_type_registration.h"
#include "tests/desk/desk_samples.h"

using namespace logwick;
using logwick::test::FileText;
namespace fs = std::filesystem;

// The installed copies are the files the program writes (the MIME package whole, the entry with a bare Exec).
TEST(DesktopFiles, TheInstalledCopiesAreTheProgramsOwnAndTheDatabasesFollowThem) {
  for (auto [exe, exec] : {std::pair{"/opt/log wick/lw", "\"/opt/log wick/lw\""},
                           {"/opt/100%/lw", "/opt/100%%/lw"},
                           {"/o\"p\\t/lw", "\"/o\\\\\"p\\\\\\\\t/lw\""}})
    EXPECT_NE(FreedesktopDesktopEntry(exe).find("Exec=" + std::string(exec) + " %f\n"), std::string::npos);
  EXPECT_FALSE(WriteFreedesktopFileType("/proc/none", "/x"));  // a failed write is reported
  const std::string res = fs::path(LOGWICK_TEST_DATA_DIR).parent_path().parent_path().string() + "/res/";
  EXPECT_EQ(FileText(res + "logwick-t7kev.xml"), FreedesktopMimeXml());
  EXPECT_EQ(FileText(res + "logwick.desktop"), FreedesktopDesktopEntry("logwick"));

  // A database is rebuilt only when its cache is missing or older than the program's file; a missing tool
  // is skipped and one that hangs is stopped.
  const fs::path data = logwick::test::Scratch("databases");
  fs::remove_all(data);
  const fs::path mimeCache = data / "mime/mime.cache", appsCache = data / "applications/mimeinfo.cache";
  const fs::path icon = data / "icons/hicolor/48x48/mimetypes/application-x-t7kev.png";
  const DesktopIcons icons{"program picture", "event-file picture"};
  const std::string path = std::getenv("PATH");
  setenv("PATH", (data / "no-tools").c_str(), 1);
  WriteFreedesktopFileType(data.string(), "/opt/lw", icons);
  UpdateDesktopDatabases(data.string());
  EXPECT_FALSE(fs::exists(mimeCache) || fs::exists(appsCache));
  EXPECT_FALSE(RunQuietly({"update-mime-database", data.string()}, std::chrono::seconds(5)));
  setenv("PATH", path.c_str(), 1);

  EXPECT_EQ(FileText(icon.string()), "event-file picture");
  auto stamps = [&] {
    return std::vector{fs::last_write_time(mimeCache), fs::last_write_time(appsCache),
                       fs::last_write_time(icon)};
  };
  UpdateDesktopDatabases(data.string());
  ASSERT_TRUE(fs::exists(mimeCache) && fs::exists(appsCache));
  const auto built = stamps();
  EXPECT_TRUE(WriteFreedesktopFileType(data.string(), "/opt/lw", icons));
  UpdateDesktopDatabases(data.string());
  EXPECT_EQ(stamps(), built);  // nothing changed, nothing rewritten or rebuilt
  EXPECT_TRUE(WriteFreedesktopFileType(data.string(), "/opt/moved/lw", icons));
  UpdateDesktopDatabases(data.string());
  EXPECT_EQ(stamps()[0], built[0]);
  EXPECT_GT(stamps()[1], built[1]);

  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(RunQuietly({"sleep", "10"}, std::chrono::milliseconds(200)));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  EXPECT_TRUE(RunQuietly({"true"}, std::chrono::seconds(5)));
}
