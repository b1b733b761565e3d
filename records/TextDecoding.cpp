#include "TextDecoding.h"

#include <cerrno>
#include <iconv.h>

namespace qinglan {

namespace {

constexpr std::string_view REPLACEMENT = "\xEF\xBF\xBD";
constexpr std::string_view BYTE_ORDER_MARK = "\xEF\xBB\xBF";
// How much of a file decides its encoding.
constexpr std::size_t SAMPLE_BYTES = 64 * 1024;

const char* iconvName(Charset charset) {
    return charset == Charset::Big5 ? "BIG5" : charset == Charset::Gb18030 ? "GB18030" : "UTF-8";
}

// Converts bytes; each byte that cannot be read becomes U+FFFD (or "?" when the target
// cannot hold it). Returns how many were replaced; with no out it only counts them.
std::size_t convert(std::string_view bytes, const char* from, const char* to, std::string* out) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return bytes.size();
    const std::string_view replacement = std::string_view(to) == "UTF-8" ? REPLACEMENT : "?";
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size(), failures = 0;
    char buffer[4096];
    while (inLeft > 0) {
        char* end = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t result = iconv(cd, &in, &inLeft, &end, &outLeft);
        if (out) out->append(buffer, static_cast<std::size_t>(end - buffer));
        if (result != static_cast<std::size_t>(-1) || errno == E2BIG) continue;
        ++failures;
        if (out) out->append(replacement);
        ++in;
        --inLeft;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    iconv_close(cd);
    return failures;
}

// Characters that game records are full of, in both scripts.
int chessCharacters(std::string_view utf8) {
    static constexpr std::string_view COMMON[] = { "车", "車", "马", "馬", "炮", "砲", "兵", "卒",
        "相", "象", "仕", "士", "帅", "帥", "将", "將", "进", "進", "退", "平", "前", "后", "後",
        "红", "紅", "黑", "胜", "勝", "和", "负", "負", "一", "二", "三", "四", "五", "六", "七",
        "八", "九", "１", "２", "３", "４", "５", "６", "７", "８", "９" };
    int count = 0;
    for (std::string_view glyph : COMMON)
        for (std::size_t at = utf8.find(glyph); at != std::string_view::npos;
             at = utf8.find(glyph, at + glyph.size()))
            ++count;
    return count;
}

Charset guessCharset(std::string_view bytes) {
    // A cut-off character at the end of the sample must not count against an encoding.
    const std::string_view sample = bytes.substr(0, SAMPLE_BYTES);
    const std::size_t tolerated = sample.size() < bytes.size() ? 1 : 0;
    Charset best = Charset::Gb18030;
    std::size_t bestFailures = 0;
    int bestScore = -1;
    for (Charset charset : { Charset::Gb18030, Charset::Big5 }) {
        std::string text;
        std::size_t failures = convert(sample, iconvName(charset), "UTF-8", &text);
        failures = failures > tolerated ? failures - tolerated : 0;
        const int score = chessCharacters(text);
        if (bestScore < 0 || failures < bestFailures
            || (failures == bestFailures && score > bestScore)) {
            best = charset;
            bestFailures = failures;
            bestScore = score;
        }
    }
    return best;
}

} // namespace

std::string decodeText(std::string bytes, Charset* found) {
    if (found) *found = Charset::Utf8;
    if (std::string_view(bytes).starts_with(BYTE_ORDER_MARK))
        bytes.erase(0, BYTE_ORDER_MARK.size());
    if (convert(bytes, "UTF-8", "UTF-16LE", nullptr) == 0) return bytes;
    const Charset charset = guessCharset(bytes);
    if (found) *found = charset;
    std::string text;
    text.reserve(bytes.size() + bytes.size() / 2);
    convert(bytes, iconvName(charset), "UTF-8", &text);
    return text;
}

std::string encodeGbk(std::string_view utf8) {
    std::string bytes;
    bytes.reserve(utf8.size());
    convert(utf8, "UTF-8", "GB18030", &bytes);
    return bytes;
}

} // namespace qinglan
