// libFuzzer target over XQF reading: keys, the piece table, the record stream and its
// comments; every game read must write and read back as itself.
#include "RecordFuzzer.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string bytes(reinterpret_cast<const char*>(data), size);
    // Mutations that break the signature would only test the PGN reader again.
    if (bytes.size() >= 2) bytes.replace(0, 2, "XQ");
    qinglan::requireRoundTrip(qinglan::readRecordBytes(std::move(bytes)));
    return 0;
}
