// The desktop program's Windows-only shell paths, without Qt, under Wine:
// registry strings and the event-file type, the documents folder and the short
// form of the program's path.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "app/file_type_registration.h"
#include "app/shell_paths.h"

using namespace logwick;

namespace {

constexpr const char* kTestKey = "Software\\Logwick tests";

std::wstring Wide(const std::string& utf8) {
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0);
  std::wstring w(static_cast<std::size_t>(n > 0 ? n - 1 : 0), L'\0');
  if (n > 1) MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, w.data(), n);
  return w;
}

// The string value `name` of HKCU\subKey in UTF-8; "<missing>" when absent.
std::string ReadString(const std::string& subKey, const std::string& name) {
  wchar_t buf[1024];
  DWORD size = sizeof buf;
  if (RegGetValueW(HKEY_CURRENT_USER, Wide(subKey).c_str(), name.empty() ? nullptr : Wide(name).c_str(),
                   RRF_RT_REG_SZ, nullptr, buf, &size) != ERROR_SUCCESS)
    return "<missing>";
  const int n = WideCharToMultiByte(CP_UTF8, 0, buf, -1, nullptr, 0, nullptr, nullptr);
  std::string s(static_cast<std::size_t>(n > 0 ? n - 1 : 0), '\0');
  if (n > 1) WideCharToMultiByte(CP_UTF8, 0, buf, -1, s.data(), n, nullptr, nullptr);
  return s;
}

class Registry : public ::testing::Test {
 protected:
  void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, Wide(kTestKey).c_str()); }
};

// A folder whose long name has blanks, so that its short form differs.
class LongFolder : public ::testing::Test {
 protected:
  void SetUp() override { std::filesystem::create_directories(dir); }
  void TearDown() override { std::filesystem::remove_all(dir); }
  std::string File(const std::string& name, const char* content) {
    const std::string path = (dir / name).string();
    std::ofstream(path) << content;
    return path;
  }
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "Logwick long folder";
};

}  // namespace

TEST_F(Registry, SetRegistryStringStoresTextAndRefusesBadArguments) {
  const std::string key = std::string(kTestKey) + "\\Тип";
  ASSERT_TRUE(SetRegistryString(HKEY_CURRENT_USER, key.c_str(), "", "Список событий ТАРВЕЛ-7К"));
  ASSERT_TRUE(SetRegistryString(HKEY_CURRENT_USER, key.c_str(), "Имя", "x"));
  ASSERT_TRUE(SetRegistryString(HKEY_CURRENT_USER, key.c_str(), "Имя", ""));  // overwritten
  EXPECT_EQ(ReadString(key, ""), "Список событий ТАРВЕЛ-7К");
  EXPECT_EQ(ReadString(key, "Имя"), "");

  struct Bad {
    HKEY root;
    const char *subKey, *name, *value;
  };
  const Bad bad[] = {{nullptr, "Software\\x", "", "t"}, {HKEY_CURRENT_USER, nullptr, "", "t"},
                     {HKEY_CURRENT_USER, "", "", "t"},    {HKEY_CURRENT_USER, kTestKey, nullptr, "t"},
                     {HKEY_CURRENT_USER, kTestKey, "n", nullptr}};
  for (const Bad& b : bad) {
    SetLastError(0);
    EXPECT_FALSE(SetRegistryString(b.root, b.subKey, b.name, b.value));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(E_INVALIDARG));
  }
}

TEST_F(LongFolder, RegistrationPointsTheShellAtTheShortPath) {
  const std::string exe = File("logwick program.exe", "MZ");
  const std::string shortPath = ShortPathOf(exe);

  ASSERT_TRUE(RegisterEventFileType(exe));
  const std::string classes = "Software\\Classes\\";
  EXPECT_EQ(ReadString(classes + ".t7kev", ""), "Ormet.T7kLogwick");
  EXPECT_EQ(ReadString(classes + "Ormet.T7kLogwick", ""), "Список событий ТАРВЕЛ-7К");
  EXPECT_EQ(ReadString(classes + "Ormet.T7kLogwick\\shell\\open\\command", ""), shortPath + " \"%1\"");
  EXPECT_EQ(ReadString(classes + "Ormet.T7kLogwick\\DefaultIcon", ""), shortPath + ",1");
}

TEST_F(LongFolder, ShortPathDocumentsAndFolders) {
  const std::string file = File("event file name.t7kev", "x");
  const std::string shortPath = ShortPathOf(file);
  EXPECT_EQ(shortPath.find(' '), std::string::npos) << shortPath;
  EXPECT_TRUE(std::filesystem::equivalent(shortPath, file));
  // No short form (the file is not there): the path itself.
  const std::string missing = (dir / "no such file.t7kev").string();
  EXPECT_EQ(ShortPathOf(missing), missing);

  const std::string documents = DocumentsFolder();
  ASSERT_GE(documents.size(), 3u);
  EXPECT_EQ(documents.substr(1, 2), ":\\") << documents;

  // Only the backslash separates folders here.
  EXPECT_EQ(DirectoryOf("C:\\Logs\\a.t7kev"), "C:\\Logs");
  EXPECT_EQ(DirectoryOf("C:\\a.t7kev"), "C:");
  EXPECT_EQ(DirectoryOf("Logs/a.t7kev"), "");
}
