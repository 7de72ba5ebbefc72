// The documents folder the event-file dialogs start in: what a desktop's
// user-dirs file says, and the folders it falls back to.
#include "lists/user_folders.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#ifndef _WIN32
#include <unistd.h>
#endif

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
  const fs::path base = fs::temp_directory_path() / ("logwick-user-folders-" + std::to_string(::getpid()));
  const fs::path home = base / "home";
  const fs::path config = base / "config";
  fs::create_directories(home);
  fs::create_directories(config);
  ::setenv("HOME", home.c_str(), 1);
  ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
  const auto userDirs = [&](const std::string& text) { std::ofstream(config / "user-dirs.dirs") << text; };

  EXPECT_EQ(DocumentsFolder(), home.string());  // no file, no ~/Documents
  fs::create_directory(home / "Documents");
  EXPECT_EQ(DocumentsFolder(), (home / "Documents").string());  // what the file names by default
  userDirs("XDG_DOCUMENTS_DIR=\"$HOME/Документы\"\n");
  EXPECT_EQ(DocumentsFolder(), home.string());  // named, but not there
  fs::create_directory(home / "Документы");
  EXPECT_EQ(DocumentsFolder(), (home / "Документы").string());
  ::setenv("XDG_CONFIG_HOME", "relative", 1);  // ignored: ~/.config is read instead
  EXPECT_EQ(DocumentsFolder(), (home / "Documents").string());
  ::unsetenv("HOME");
  EXPECT_EQ(DocumentsFolder(), "");
  fs::remove_all(base);
}

#endif
