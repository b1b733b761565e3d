#pragma once

#include <string>
#include <string_view>

namespace qinglan {

// True when bytes are well-formed UTF-8 (no overlong forms, surrogates or values
// past U+10FFFF).
bool isValidUtf8(std::string_view bytes);

// Text for showing engine output: valid UTF-8 is returned as it is, anything else is
// read as GB18030 (Chinese engines print GBK); undecodable bytes become U+FFFD.
std::string displayText(std::string_view bytes);

} // namespace qinglan
