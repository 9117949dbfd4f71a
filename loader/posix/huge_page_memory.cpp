#include "huge_page_memory.h"

#include <sys/mman.h>

#include <cstdint>
#include <new>

namespace zelko {

namespace {

constexpr std::size_t kHugePage = 2u << 20;

std::size_t WholePages(std::size_t bytes) { return (bytes + kHugePage - 1) / kHugePage * kHugePage; }

}  // namespace

void* HugePageMemory::do_allocate(std::size_t bytes, std::size_t alignment) {
  if (bytes < kHugePage) return std::pmr::new_delete_resource()->allocate(bytes, alignment);
  const std::size_t size = WholePages(bytes);
  // Map one page more than needed and trim both ends to a page boundary.
  void* mapped = ::mmap(nullptr, size + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapped == MAP_FAILED) throw std::bad_alloc();
  const auto start = reinterpret_cast<std::uintptr_t>(mapped);
  const std::uintptr_t aligned = (start + kHugePage - 1) / kHugePage * kHugePage;
  if (aligned > start) ::munmap(mapped, aligned - start);
  ::munmap(reinterpret_cast<void*>(aligned + size), start + kHugePage - aligned);
  void* block = reinterpret_cast<void*>(aligned);
  ::madvise(block, size, MADV_HUGEPAGE);  // only a hint: ordinary pages serve as well
  return block;
}

void HugePageMemory::do_deallocate(void* pointer, std::size_t bytes, std::size_t alignment) {
  if (bytes < kHugePage) {
    std::pmr::new_delete_resource()->deallocate(pointer, bytes, alignment);
  } else {
    ::munmap(pointer, WholePages(bytes));
  }
}

}  // namespace zelko
