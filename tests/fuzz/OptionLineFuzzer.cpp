// libFuzzer target over what an engine announces and what is sent back: "option" lines
// of both protocols, value checks, the lines that set options, and the UCI dialect's
// reading of replies in either rank convention. Nothing an engine says may become a
// second command.
#include "FuzzSupport.h"
#include "enginelink/AnnouncedOption.h"
#include "enginelink/EngineDialect.h"
#include "enginelink/LineBuffer.h"
#include "enginelink/UciTranslation.h"
#include "rules/Board.h"

#include <cstddef>
#include <cstdint>
#include <string>

using namespace qinglan;
using fuzz::require;

namespace {

void checkOption(const AnnouncedOption& option, std::string_view value) {
    require(!option.name.empty() && option.name.size() <= MAX_OPTION_NAME_BYTES);
    require(!hasControlCharacter(option.name) && !hasControlCharacter(option.defaultValue));
    require(option.choices.size() <= MAX_OPTION_CHOICES && option.min <= option.max);
    for (const std::string& candidate : { std::string(value), option.defaultValue }) {
        if (!acceptsOptionValue(option, candidate)) continue;
        for (EngineProtocol protocol : { EngineProtocol::Ucci, EngineProtocol::Uci })
            require(!fuzz::hasLineBreak(optionCommand(option, candidate, protocol)));
    }
}

void checkTranslation(std::string_view line) {
    moveToZeroBased(line.substr(0, 5));
    moveToOneBased(line.substr(0, 4));
    positionToOneBased(line);
    detectRankBase("position startpos", line);
    const SearchRequest start { std::string(START_FEN), {}, {}, SearchMode::Play, {}, 1 };
    for (RankBase base : { RankBase::Unknown, RankBase::One }) {
        UciDialect dialect(base);
        const std::optional<EngineReply> reply = dialect.readReply(line, start);
        if (const auto* info = reply ? std::get_if<ThinkingLine>(&*reply) : nullptr)
            require(info->rank >= 1);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    // The bytes pass the line accumulator first, in two reads, as they would from a pipe.
    LineBuffer buffer(4096);
    buffer.append(text.substr(0, size / 2));
    buffer.append(text.substr(size / 2));
    std::string previous;
    while (const std::optional<std::string> next = buffer.takeLine()) {
        const std::string& line = *next;
        require(line.find('\n') == std::string::npos && line.size() <= 4096);
        if (const std::optional<AnnouncedOption> option = parseOptionLine(line))
            checkOption(*option, previous);
        checkTranslation(line);
        previous = line;
    }
    return 0;
}
