#pragma once

#include <string>
#include <string_view>

namespace qinglan {

// The encodings game records come in.
enum class Charset { Utf8, Gb18030, Big5 };

// A text file's bytes as UTF-8: a byte order mark is dropped, valid UTF-8 kept as it is,
// anything else read as GB18030 (which covers GBK) or Big5, whichever reads as Chinese
// chess text; bytes neither can read become U+FFFD. found, when given, says which it was.
std::string decodeText(std::string bytes, Charset* found = nullptr);

// UTF-8 text in GB18030: GBK bytes for every character GBK has, so GBK readers read it.
std::string encodeGbk(std::string_view utf8);

} // namespace qinglan
