// Arbitrary bytes as an event file. The file is loaded twice: from a real file
// (whose size the loader knows and checks every count against) and from a
// memory stream (size unknown). Both must end the same way; a refused or short
// file must leave the caller's list alone; a loaded list must store and load
// back unchanged.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz/fuzz_input.h"
#include "fuzz/memory_files.h"
#include "lists/event_file.h"

namespace {

std::string ScratchPath() {
  const char* dir = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
  return std::string(dir) + "/logwick-fuzz-" + std::to_string(getpid()) + ".t7kev";
}

CT7KEventList Sentinel() {
  CT7KEventList l;
  l.m_nPanelType = 2;
  l.m_nSerNum = 4242;
  l.m_texts = {"прежний текст"};
  l.AddTail(CT7KEvent{});
  return l;
}

// Kept alive past the static destructors so that the exit hook can remove it.
const std::string& Path() {
  static const std::string* path = [] {
    auto* p = new std::string(ScratchPath());
    std::atexit([] { std::remove(Path().c_str()); });
    return p;
  }();
  return *path;
}

bool WriteFile(const std::string& path, const std::uint8_t* data, std::size_t size) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(data, 1, size, f) == size;
  return std::fclose(f) == 0 && ok;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace logwick;
  const std::string& path = Path();
  static const CT7KEventList sentinel = Sentinel();

  if (!WriteFile(path, data, size)) return 0;
  CT7KEventList fromFile = sentinel;
  const LoadOutcome file = LoadEventFile(path, fromFile);
  if (file.status == LoadStatus::ReadError) fuzz::Fail("a readable file gave a read error");
  if (file.status != LoadStatus::Loaded && !(fromFile == sentinel))
    fuzz::Fail("a refused file changed the list");

  CT7KEventList fromMemory = sentinel;
  const LoadStatus memory = fuzz::LoadFromBytes(data, size, fromMemory);
  if (memory != file.status) fuzz::Fail("file and stream loads disagree");
  if (file.status != LoadStatus::Loaded) return 0;
  if (!(fromMemory == fromFile)) fuzz::Fail("file and stream loads read different lists");
  if (fromFile.GetCount() > CT7KEventList::kMaxEvents) fuzz::Fail("more events than allowed");

  const std::vector<std::uint8_t> stored = fuzz::StoreToBytes(fromFile);
  CT7KEventList again;
  if (fuzz::LoadFromBytes(stored.data(), stored.size(), again) != LoadStatus::Loaded)
    fuzz::Fail("a stored list does not load");
  if (!(again == fromFile)) fuzz::Fail("a list changed on its way through a file");
  return 0;
}
