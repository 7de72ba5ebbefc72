// The documents folder the event-file dialogs start in: what a desktop's
// user-dirs file says, and the folders it falls back to.
#include "lists/user_folders.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "tests/lists/test_files.h"

using namespace logwick;

constexpr const char* kKey = "XDG_DOCUMENTS_DIR";

TEST(UserFolders, UserDirsEntryReadsTheFileAsTheShellWould) {
  const std::string home = "/home/инженер";
  const std::pair<const char*, const char*> cases[] = {
      {"XDG_DOCUMENTS_DIR=\"$HOME/Документы\"\n", "/home/инженер/Документы"},
      {"# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\n", ""},
      {"  XDG_DOCUMENTS_DIR = \"/srv/docs/\"", "/srv/docs"},
      {"XDG_DOCUMENTS_DIR=\"$HOME/\"\n", "/home/инженер"},
      {"XDG_DOCUMENTS_DIR=\"$HOME\"\n", "/home/инженер"},
      {"XDG_DOCUMENTS_DIR=\"$HOMEWORK/x\"\n", ""},
      {"XDG_DOCUMENTS_DIR=\"Documents\"\n", ""},
      {"XDG_DOCUMENTS_DIR=\"$HOME/A\"\nXDG_DOCUMENTS_DIR=\"$HOME/B\"\n", "/home/инженер/B"},
      {"XDG_DOCUMENTS_DIR=\"$HOME/A\"\nXDG_DOCUMENTS_DIR=\"relative\"\n", "/home/инженер/A"},
      {"XDG_DOCUMENTS_DIRS=\"$HOME/A\"\n", ""},
      {"#XDG_DOCUMENTS_DIR=\"$HOME/A\"\n", ""},
      {"XDG_DOCUMENTS_DIR=\"$HOME/Мои \\\"док\\\"\"\r\n", "/home/инженер/Мои \"док\""},
      {"XDG_DOCUMENTS_DIR=\"$HOME/never closed\n", ""},
      {"XDG_DOCUMENTS_DIR=$HOME/unquoted\n", ""},
      {"", ""},
  };
  for (const auto& [text, folder] : cases) EXPECT_EQ(UserDirsEntry(text, kKey, home), folder) << text;
}

#ifndef _WIN32

TEST(UserFolders, DocumentsFolderFallsBackToHomeOnlyWhenItIsMissing) {
  namespace fs = std::filesystem;
  logwick::test::TempDir dir;
  const std::string home = dir.File("home"), config = dir.File("config");
  fs::create_directories(home);
  fs::create_directories(config);
  ::setenv("HOME", home.c_str(), 1);
  ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
  EXPECT_EQ(DocumentsFolder(), home);  // no file, no ~/Documents
  fs::create_directory(home + "/Documents");
  EXPECT_EQ(DocumentsFolder(), home + "/Documents");  // what the file names by default
  std::ofstream(config + "/user-dirs.dirs") << "XDG_DOCUMENTS_DIR=\"$HOME/Документы\"\n";
  EXPECT_EQ(DocumentsFolder(), home);  // named, but not there
  fs::create_directory(home + "/Документы");
  EXPECT_EQ(DocumentsFolder(), home + "/Документы");
  ::setenv("XDG_CONFIG_HOME", "relative", 1);  // ignored: ~/.config is read instead
  EXPECT_EQ(DocumentsFolder(), home + "/Documents");
  ::unsetenv("HOME");
  EXPECT_EQ(DocumentsFolder(), "");
}

#endif
