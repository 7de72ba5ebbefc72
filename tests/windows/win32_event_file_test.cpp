// Reading an event file under Wine: others are denied write access while it
// is read, so a file another program holds open for writing is refused with
// the message every failed read gives, and one that is only being read opens.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>

#include "events/codec.h"
#include "lists/event_file.h"

using namespace logwick;

namespace {

// A handle on the file as another program would hold it.
class OtherProgram {
 public:
  OtherProgram(const std::string& path, DWORD access)
      : m_handle(CreateFileW(Utf8ToWide(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)) {}
  ~OtherProgram() {
    if (m_handle != INVALID_HANDLE_VALUE) CloseHandle(m_handle);
  }
  bool Holds() const { return m_handle != INVALID_HANDLE_VALUE; }

 private:
  HANDLE m_handle;
};

}  // namespace

TEST(Win32EventFile, AFileOpenForWritingElsewhereIsNotRead) {
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "logwick-share-test";
  std::filesystem::create_directories(dir);
  const std::string path = WideToUtf8((dir / L"события.t7kev").wstring());
  CT7KEventList stored;
  stored.m_nPanelType = 1;
  stored.m_nSerNum = 4660;
  stored.AddTail(CT7KEvent());
  ASSERT_TRUE(StoreEventFile(path, stored).ok);

  CT7KEventList list;
  {
    const OtherProgram writer(path, GENERIC_WRITE);
    ASSERT_TRUE(writer.Holds());
    const LoadOutcome outcome = LoadEventFile(path, list);
    EXPECT_EQ(outcome.status, LoadStatus::ReadError) << outcome.osError;
    EXPECT_EQ(LoadMessage(outcome.status, path), "Не могу прочитать файл\r\n" + path);
    EXPECT_EQ(list.GetCount(), 0u);
  }
  {
    const OtherProgram reader(path, GENERIC_READ);
    ASSERT_TRUE(reader.Holds());
    EXPECT_EQ(LoadEventFile(path, list).status, LoadStatus::Loaded);
    EXPECT_EQ(list.m_nSerNum, 4660);
  }
  std::filesystem::remove_all(dir);
}
