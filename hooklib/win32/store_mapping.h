// Size of a mapped view of the store, as the system reports it.
#pragma once
#include <windows.h>

#include <cstdint>

namespace tessel {

// The whole view: a mapping made by another process may be larger or smaller than what
// this one would ask for, and every offset is checked against what is really there.
inline uint32_t MappedViewSize(const void* view) {
  MEMORY_BASIC_INFORMATION info{};
  if (VirtualQuery(view, &info, sizeof info) == 0) return 0;
  return info.RegionSize > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(info.RegionSize);
}

}  // namespace tessel
