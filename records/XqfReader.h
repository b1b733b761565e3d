#pragma once

#include "GameRecord.h"

#include <optional>
#include <string>
#include <string_view>

namespace qinglan {

// True when bytes begin as an XQF file does.
bool looksLikeXqf(std::string_view bytes);

// One game from the bytes of an XQF file (version 10, plain, and the keyed versions 11
// and later). problem says why a line ended early or the file ended short; what came
// before is kept. Nothing when the file is no XQF at all (problem says why).
std::optional<GameRecord> readXqf(std::string_view bytes, std::string& problem);

} // namespace qinglan
