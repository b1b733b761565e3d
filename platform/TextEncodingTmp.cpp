#include "platform/TextEncoding.h"
namespace qinglan {
std::string displayText(std::string_view b) { return std::string(b); }
}
