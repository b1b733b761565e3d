#include "AnalyseCommand.h"

#include "analysis/GameReview.h"
#include "enginelink/EngineProcess.h"
#include "records/PgnWriter.h"
#include "records/RecordFile.h"

#include <charconv>
#include <cstdio>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace qinglan {

namespace {

constexpr std::int64_t DEFAULT_MOVE_TIME_MS = 1000;
constexpr int WAIT_MS = 20;

struct AnalyseOptions {
    std::string file, engine, out;
    SearchLimits limits;
    int lines = 1;
    EngineProtocol protocol = EngineProtocol::Auto;
    std::map<std::string, std::string> engineOptions;
};

template<typename Number> bool parseNumber(std::string_view text, Number& value, Number low) {
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && value >= low;
}

bool parseFlag(AnalyseOptions& o, std::string_view flag, std::string_view value) {
    static constexpr std::pair<std::string_view, EngineProtocol> PROTOCOLS[]
        = { { "ucci", EngineProtocol::Ucci }, { "uci", EngineProtocol::Uci },
              { "auto", EngineProtocol::Auto } };
    if (flag == "--engine")
        o.engine = value;
    else if (flag == "--out")
        o.out = value;
    else if (flag == "--movetime") {
        std::int64_t ms = 0;
        if (!parseNumber<std::int64_t>(value, ms, 1)) return false;
        o.limits.moveTimeMs = ms;
    } else if (flag == "--depth") {
        int depth = 0;
        if (!parseNumber(value, depth, 1)) return false;
        o.limits.depth = depth;
    } else if (flag == "--multipv") {
        return parseNumber(value, o.lines, 1) && o.lines <= 5;
    } else if (flag == "--protocol") {
        for (const auto& [name, protocol] : PROTOCOLS)
            if (value == name) {
                o.protocol = protocol;
                return true;
            }
        return false;
    } else if (flag == "--option") {
        const std::size_t equals = value.find('=');
        if (equals == 0 || equals == std::string_view::npos) return false;
        o.engineOptions[std::string(value.substr(0, equals))] = value.substr(equals + 1);
    } else {
        return false;
    }
    return true;
}

std::optional<AnalyseOptions> parseAnalyseOptions(int argc, char** argv) {
    if (argc < 3) return std::nullopt;
    AnalyseOptions o;
    o.file = argv[2];
    for (int i = 3; i < argc; i += 2)
        if (i + 1 >= argc || !parseFlag(o, argv[i], argv[i + 1])) return std::nullopt;
    if (o.engine.empty() || o.out.empty() || (o.limits.moveTimeMs && o.limits.depth))
        return std::nullopt;
    if (!o.limits.depth && !o.limits.moveTimeMs) o.limits.moveTimeMs = DEFAULT_MOVE_TIME_MS;
    return o;
}

bool loadEngine(EngineProcess& engine, const AnalyseOptions& o) {
    EngineOptions options = engine.getOptions();
    options.protocol = o.protocol;
    options.ownOptions = o.engineOptions;
    engine.setOptions(options);
    return engine.loadProgram(o.engine);
}

// Reviews one game; false when the engine failed on the way.
bool review(EngineProcess& engine, GameRecord& game, const AnalyseOptions& o, std::size_t number,
    std::size_t count) {
    GameReview review(game, o.limits, o.lines);
    int shown = -1;
    while (review.step(engine)) {
        if (review.done() != shown)
            std::fprintf(stderr, "\rgame %zu/%zu: position %d/%d", number, count,
                shown = review.done(), review.total());
        engine.awaitOutput(WAIT_MS);
    }
    std::fprintf(stderr, "\rgame %zu/%zu: position %d/%d%s\n", number, count, review.done(),
        review.total(), review.failed() ? ": the engine stopped answering" : "");
    review.annotate(game);
    return !review.failed();
}

} // namespace

int runAnalyse(int argc, char** argv) {
    const std::optional<AnalyseOptions> o = parseAnalyseOptions(argc, argv);
    if (!o) {
        std::fprintf(stderr, "usage: %s\n", ANALYSE_USAGE);
        return 2;
    }
    RecordFileContents contents = readRecordFile(o->file);
    bool failed = !contents.error.empty();
    if (failed) std::fprintf(stderr, "%s: %s\n", o->file.c_str(), contents.error.c_str());
    if (contents.games.empty()) return 1;
    EngineProcess engine;
    if (!loadEngine(engine, *o)) {
        std::fprintf(stderr, "%s: not a UCCI or UCI engine that answers\n", o->engine.c_str());
        return 1;
    }
    std::string text;
    for (std::size_t i = 0; i < contents.games.size(); ++i) {
        ReadGame& read = contents.games[i];
        if (!read.problem.empty()) {
            std::fprintf(
                stderr, "%s: game %zu: %s\n", o->file.c_str(), i + 1, read.problem.c_str());
            failed = true;
        }
        if (engine.isRunning() && !review(engine, read.game, *o, i + 1, contents.games.size()))
            failed = true;
        text += writePgn(read.game, Notation::Chinese);
    }
    std::ofstream out(o->out, std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "cannot write %s\n", o->out.c_str());
        return 1;
    }
    return failed ? 1 : 0;
}

} // namespace qinglan
