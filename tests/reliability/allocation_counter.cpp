#include "tests/reliability/allocation_counter.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<std::size_t> g_total{0};
std::atomic<std::size_t> g_largest{0};

void* Allocate(std::size_t n) {
  g_total += n;
  std::size_t seen = g_largest.load();
  while (n > seen && !g_largest.compare_exchange_weak(seen, n)) {
  }
  if (void* p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}

}  // namespace

void* operator new(std::size_t n) { return Allocate(n); }
void* operator new[](std::size_t n) { return Allocate(n); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace logwick::test {

AllocationScope::AllocationScope() : m_startTotal(g_total.load()) { g_largest = 0; }
std::size_t AllocationScope::TotalBytes() const { return g_total.load() - m_startTotal; }
std::size_t AllocationScope::LargestBlock() const { return g_largest.load(); }

}  // namespace logwick::test
