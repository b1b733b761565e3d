#pragma once

namespace qinglan {

// Answers of a message box.
constexpr int MESSAGE_OK = 0;
constexpr int MESSAGE_YES = 5;
constexpr int MESSAGE_NO = 6;

// Flags: 0 OK, 4 Yes/No, 48 warning icon, 52 Yes/No with warning, 64 information.
constexpr int MESSAGE_FLAG_YES_NO = 4;
constexpr int MESSAGE_FLAG_WARNING = 48;
constexpr int MESSAGE_FLAG_INFORMATION = 64;

} // namespace qinglan
