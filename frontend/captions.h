// Texts the front end shows in captions, labels and menus.
#pragma once
#include <string>
#include <string_view>

namespace tessel {

// Every "&" doubled, so that a name shows literally and makes no accelerator.
std::string DoubleAmpersands(std::string_view text);

}  // namespace tessel
