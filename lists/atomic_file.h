// Writes a file so that it is either wholly replaced or left as it was. Where
// the file system can (Linux, O_TMPFILE), the data goes to a file without a
// name in the target's folder, which gets a name only once it is complete and
// on the disk, just before that name is renamed over the target; elsewhere it
// goes to a named temporary file beside the target. Anything that goes wrong
// leaves the old target intact and removes the temporary file. A target this
// process may not write to is refused, as writing it in place would be.
//
// A save killed while it writes leaves nothing behind on the first kind of
// file system and `<target>.<8 hex digits>.tmp` on the second; each save
// removes such leftovers of its own target first, sparing those that a save
// still running holds locked.
#pragma once

#include <cstdio>
#include <string>

#include "lists/file_outcome.h"

namespace logwick {

// Whether a file could be saved as `target` now: makes the temporary file a
// save would make in the target's folder and drops it again. Tells a folder
// that does not exist or cannot be written, and a target that is a folder or
// write-protected, before the work whose result is to go there.
FileOutcome CheckCanCreate(const std::string& target);

class AtomicFile {
 public:
  // Creates the temporary file; throws CFileException when it cannot.
  explicit AtomicFile(std::string target);
  ~AtomicFile();  // discards the data unless committed
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  // Binary stream of the temporary file, for writing.
  std::FILE* Stream() { return m_file; }

  // Flushes, syncs and renames over the target; throws CFileException on any
  // failure, after which the temporary file is gone.
  void Commit();
  // Drops the temporary file (also done by the destructor).
  void Discard();

  // Whether files without a name are used where the file system has them (the
  // default). Tests switch it off to take the path of the other file systems.
  static void UseUnnamedFiles(bool use);

 private:
  void CreateNamed();
  void PutUnnamedInPlace();

  std::string m_target;
  std::string m_temp;  // the temporary file's name, once it has one
  std::FILE* m_file = nullptr;
};

}  // namespace logwick
