// libFuzzer target over PGN reading: encoding detection, tokens, notation, variations and
// comments; every game read must write and read back as itself.
#include "RecordFuzzer.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string bytes(reinterpret_cast<const char*>(data), size);
    // XQF has a target of its own.
    if (bytes.starts_with("XQ")) bytes[0] = '[';
    qinglan::requireRoundTrip(qinglan::readRecordBytes(std::move(bytes)));
    return 0;
}
