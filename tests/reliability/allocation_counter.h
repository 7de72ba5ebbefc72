// Counts what the program allocates through operator new, so that a test can
// bound the memory a piece of work takes without relying on timing or on the
// process's resident size.
#pragma once

#include <cstddef>

namespace logwick::test {

class AllocationScope {
 public:
  AllocationScope();
  // Bytes requested by operator new since the scope began (frees not subtracted).
  std::size_t TotalBytes() const;
  // The largest single request since the scope began.
  std::size_t LargestBlock() const;

 private:
  std::size_t m_startTotal;
};

}  // namespace logwick::test
