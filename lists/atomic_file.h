// Writes a file so that it is either wholly replaced or left as it was: the
// data goes to a temporary file in the target's folder, which is flushed to the
// disk and then renamed over the target. Anything that goes wrong leaves the
// old target intact and removes the temporary file. A target this process may
// not write to is refused, as writing it in place would be.
#pragma once

#include <cstdio>
#include <string>

namespace logwick {

// How a store by path ended.
struct StoreOutcome {
  bool ok;
  std::string osError;  // the system's reason when !ok
};

class AtomicFile {
 public:
  // Creates the temporary file; throws CFileException when it cannot.
  explicit AtomicFile(std::string target);
  ~AtomicFile();  // discards the data unless committed
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  // Binary stream of the temporary file, for writing.
  std::FILE* Stream() { return m_file; }
  const std::string& Target() const { return m_target; }
  const std::string& TempPath() const { return m_temp; }

  // Flushes, syncs and renames over the target; throws CFileException on any
  // failure, after which the temporary file is gone.
  void Commit();
  // Drops the temporary file (also done by the destructor).
  void Discard();

 private:
  std::string m_target;
  std::string m_temp;
  std::FILE* m_file = nullptr;
};

}  // namespace logwick
