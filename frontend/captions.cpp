#include "frontend/captions.h"

namespace tessel {

std::string DoubleAmpersands(std::string_view text) {
  std::string doubled;
  doubled.reserve(text.size());
  for (char c : text) {
    doubled += c;
    if (c == '&') doubled += '&';
  }
  return doubled;
}

}  // namespace tessel
