// Bytes of a font's "cmap" table -> the characters it covers. The ranges are sorted,
// apart and within Unicode, CoversAny agrees with them, and the selector's pages lie in
// their blocks.
#include "frontend/char_grid.h"
#include "frontend/font_coverage.h"

#include <cstdlib>
#include <string>

using namespace tessel;

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0 || size > 1 << 20) return 0;
  // An odd first byte puts the rest behind a header with one Unicode subtable record, so
  // that the subtables' own parsing is reached at once; an even one gives the bytes as they are.
  std::string table;
  if (data[0] & 1) table.assign("\0\0\0\1\0\3\0\12\0\0\0\14", 12);
  table.append(reinterpret_cast<const char*>(data) + 1, size - 1);
  const FontCoverage coverage = FontCoverage::FromCmapTable(table);
  const auto& ranges = coverage.Ranges();
  for (size_t i = 0; i < ranges.size(); ++i) {
    Check(ranges[i].first <= ranges[i].last && ranges[i].last <= 0x10FFFF);
    if (i > 0) Check(ranges[i - 1].last + 1 < ranges[i].first);
    Check(coverage.Covers(ranges[i].first) && coverage.Covers(ranges[i].last));
    if (ranges[i].first > 0) Check(!coverage.Covers(ranges[i].first - 1));
  }
  for (const GridPage& page : GridPages(coverage)) {
    if (page.codePage) continue;
    Check(page.first <= page.last && page.last - page.first < kGridCells);
    Check(coverage.CoversAny(page.first, page.last));
  }
  return 0;
}
