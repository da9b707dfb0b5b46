// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/MemoryAdvice.h"

#include <cstdint>

#include <sys/mman.h>
#include <unistd.h>

namespace kivspc {

void AdviseHugePages(const void* data, std::size_t bytes) {
#ifdef MADV_HUGEPAGE
    constexpr std::size_t kWorthIt = std::size_t{8} << 20;
    if (!data || bytes < kWorthIt) return;
    const auto page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
    const auto begin = (reinterpret_cast<std::uintptr_t>(data) + page - 1) / page * page;
    const auto end = (reinterpret_cast<std::uintptr_t>(data) + bytes) / page * page;
    if (end > begin) ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
    (void)data;
    (void)bytes;
#endif
}

} // namespace kivspc
