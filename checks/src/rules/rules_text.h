// The text of the rules catalogue (crypto/RULES.md), built into the checker.
#pragma once

#include <string_view>

namespace checks::rules {

std::string_view CatalogueText();

}  // namespace checks::rules
