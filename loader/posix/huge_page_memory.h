#pragma once

#include <cstddef>
#include <memory_resource>

namespace zelko {

// Memory for large blocks that are filled once: anonymous mappings aligned to
// 2 MiB and marked for transparent huge pages, so that filling tens of
// megabytes takes a few dozen page faults instead of thousands. Requests
// smaller than a huge page go to the ordinary heap.
class HugePageMemory : public std::pmr::memory_resource {
 private:
  void* do_allocate(std::size_t bytes, std::size_t alignment) override;
  void do_deallocate(void* pointer, std::size_t bytes, std::size_t alignment) override;
  bool do_is_equal(const std::pmr::memory_resource& other) const noexcept override { return this == &other; }
};

}  // namespace zelko
