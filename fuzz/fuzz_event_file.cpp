// Arbitrary bytes loaded as a real file (size known, counts checked against it) and as a memory
// stream (size unknown): both end the same way, a refused or short file leaves the caller's list
// alone, a loaded list stores and loads back unchanged.
#include <fstream>

#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace logwick;
  static const std::string path = fuzz::ScratchPath(".t7kev");
  if (!std::ofstream(path, std::ios::binary)
           .write(reinterpret_cast<const char*>(data), std::streamsize(size)))
    return 0;
  CT7KEventList fromFile = fuzz::Sentinel(), fromMemory = fuzz::Sentinel();
  const FileOutcome file = LoadEventFile(path, fromFile);
  std::remove(path.c_str());
  if (file.status == FileStatus::ReadError) fuzz::Fail("a readable file gave a read error");
  if (file.status != FileStatus::Done && !(fromFile == fuzz::Sentinel()))
    fuzz::Fail("a refused file changed the list");
  if (fuzz::LoadFromBytes(data, size, fromMemory) != file.status)
    fuzz::Fail("file and stream loads disagree");
  if (file.status != FileStatus::Done) return 0;
  if (!(fromMemory == fromFile)) fuzz::Fail("file and stream loads read different lists");
  if (fromFile.GetCount() > CT7KEventList::kMaxEvents) fuzz::Fail("more events than allowed");
  if (!fuzz::SurvivesAFile(fromFile)) fuzz::Fail("a list changed on its way through a file");
  return 0;
}
