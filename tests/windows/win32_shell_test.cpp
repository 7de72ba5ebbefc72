// The desktop program's Windows-only shell paths, without Qt, under Wine: registry strings and the
// event-file type, the documents folder and the short form of the program's path.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <fstream>

#include "desk/file_type_registration.h"
#include "desk/shell_paths.h"
#include "events/codec.h"
#include "lists/user_folders.h"

using namespace logwick;

namespace {

constexpr const char* kTestKey = "Software\\Logwick tests";

// The string value `name` of root\subKey in UTF-8; "<missing>" when absent.
std::string ReadString(const std::string& subKey, const std::string& name, HKEY root = HKEY_CURRENT_USER) {
  wchar_t buf[1024];
  DWORD size = sizeof buf;
  const std::wstring wName = Utf8ToWide(name);
  if (RegGetValueW(root, Utf8ToWide(subKey).c_str(), name.empty() ? nullptr : wName.c_str(), RRF_RT_REG_SZ,
                   nullptr, buf, &size) != ERROR_SUCCESS)
    return "<missing>";
  return WideToUtf8(buf);
}

// Removes the test key; gives a folder whose long name has blanks, so that its short form differs.
class Shell : public ::testing::Test {
 protected:
  void SetUp() override { std::filesystem::create_directories(dir); }
  void TearDown() override {
    RegDeleteTreeW(HKEY_CURRENT_USER, Utf8ToWide(kTestKey).c_str());
    std::filesystem::remove_all(dir);
  }
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "Logwick long folder";
};

}  // namespace

TEST_F(Shell, SetRegistryStringStoresTextAndRefusesBadArguments) {
  const std::string key = std::string(kTestKey) + "\\Тип";
  ASSERT_TRUE(SetRegistryString(HKEY_CURRENT_USER, key.c_str(), "", "Список событий ТАРВЕЛ-7К"));
  ASSERT_TRUE(SetRegistryString(HKEY_CURRENT_USER, key.c_str(), "Имя", "x"));
  ASSERT_TRUE(SetRegistryString(HKEY_CURRENT_USER, key.c_str(), "Имя", ""));  // overwritten
  EXPECT_EQ(ReadString(key, ""), "Список событий ТАРВЕЛ-7К");
  EXPECT_EQ(ReadString(key, "Имя"), "");

  const HKEY cu = HKEY_CURRENT_USER;
  const struct {
    HKEY root;
    const char *subKey, *name, *value;
  } bad[] = {{nullptr, "Software\\x", "", "t"},
             {cu, nullptr, "", "t"},
             {cu, "", "", "t"},
             {cu, kTestKey, nullptr, "t"},
             {cu, kTestKey, "n", nullptr}};
  for (const auto& b : bad) {
    SetLastError(0);
    EXPECT_FALSE(SetRegistryString(b.root, b.subKey, b.name, b.value));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(E_INVALIDARG));
  }
}

TEST_F(Shell, ShortPathsRegistrationDocumentsAndFolders) {
  const std::string exe = (dir / "logwick program.exe").string();
  std::ofstream(exe) << "MZ";
  const std::string shortPath = ShortPathOf(exe);
  EXPECT_EQ(shortPath.find(' '), std::string::npos) << shortPath;
  EXPECT_TRUE(std::filesystem::equivalent(shortPath, exe));
  // No short form (the file is not there): the path itself.
  EXPECT_EQ(ShortPathOf((dir / "no such file.t7kev").string()), (dir / "no such file.t7kev").string());

  // The shell is pointed at the short path, quoted; without a short form (as on a volume without
  // 8.3 names) the long path with its blanks is quoted too. The type is the user's, and is seen
  // in HKEY_CLASSES_ROOT as well.
  const std::string noShortForm = (dir / "not built yet.exe").string();
  for (const auto& [program, path] : {std::pair{exe, shortPath}, {noShortForm, noShortForm}}) {
    ASSERT_TRUE(RegisterEventFileType(program));
    for (const auto& [root, classes] : {std::pair{HKEY_CURRENT_USER, std::string("Software\\Classes\\")},
                                        {HKEY_CLASSES_ROOT, std::string()}}) {
      EXPECT_EQ(ReadString(classes + ".t7kev", "", root), "Ormet.T7kLogwick");
      EXPECT_EQ(ReadString(classes + "Ormet.T7kLogwick", "", root), "Список событий ТАРВЕЛ-7К");
      EXPECT_EQ(ReadString(classes + "Ormet.T7kLogwick\\shell\\open\\command", "", root),
                "\"" + path + "\" \"%1\"");
      EXPECT_EQ(ReadString(classes + "Ormet.T7kLogwick\\DefaultIcon", "", root), path + ",1");
    }
  }

  EXPECT_TRUE(DocumentsFolder().size() >= 3 && DocumentsFolder().substr(1, 2) == ":\\") << DocumentsFolder();

  // Only the backslash separates folders here.
  EXPECT_EQ(DirectoryOf("C:\\Logs\\a.t7kev"), "C:\\Logs");
  EXPECT_EQ(DirectoryOf("C:\\a.t7kev"), "C:");
  EXPECT_EQ(DirectoryOf("Logs/a.t7kev"), "");
}
