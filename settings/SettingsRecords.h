#pragma once

#include <map>
#include <string>
#include <vector>

// The settings records handed between the parts of the program. Plain values: every
// hand-over copies the whole record.

namespace qinglan {

// compatFlags bits.
constexpr int COMPAT_STARTPOS = 1; // position lines use "startpos" from the standard start
constexpr int COMPAT_RESTART_AT_CAPTURE = 2; // position lines restart at the latest capture
constexpr int COMPAT_PONDER = 4; // think on the opponent's time

// How the program talks to an engine. Auto tries UCCI first and falls back to UCI.
enum class EngineProtocol : int { Ucci = 0, Uci = 1, Auto = 2 };

// How a UCI engine numbers ranks in moves: from 0 like UCCI ("h2e2"), or from 1 with
// a two-digit tenth rank ("h3e3", "a10a9"). Unknown until a move tells.
enum class RankBase : int { Unknown = 0, Zero = 1, One = 2 };

// What the user chose for an engine slot, whatever program runs in it. Written only
// by the options dialog, the settings file reader and the command line; the engine
// link keeps a copy and never changes it.
struct EngineOptions {
    std::string bookFile; // "" = the engine's own default book
    int hashSizeMb = 0; // 0 = the engine chooses
    std::string randomness = "small";
    std::string pruning = "medium";
    std::string style = "normal";
    int threads = 0; // 0 = the engine chooses
    std::string logFile; // "" = no communication log
    int compatFlags = COMPAT_STARTPOS;

    bool operator==(const EngineOptions&) const = default;
};

enum class OptionKind : int { Check, Spin, Combo, String, Button };

// One option an engine announced about itself ("option ..." lines).
struct AnnouncedOption {
    std::string name; // as announced
    OptionKind kind = OptionKind::String;
    std::string defaultValue; // UCI's "<empty>" reads as ""
    long long min = 0; // spin only; min <= max always
    long long max = 0;
    std::vector<std::string> choices; // combo only; may be empty

    bool operator==(const AnnouncedOption&) const = default;
};

// Everything kept about one engine program, all of it belonging to programPath: only
// the engine link writes it (the user's choices of protocol and own options reach it
// through the link's calls), everybody else reads it. Loading another program starts
// a fresh one.
struct EngineProfile {
    std::string programPath; // "" until a program is loaded
    // The protocol to speak to the program: found by the automatic choice, or chosen;
    // Auto while neither happened.
    EngineProtocol protocol = EngineProtocol::Auto;
    RankBase rankBase = RankBase::Unknown;
    // The user's values for the program's own options, by name (only those that differ
    // from its defaults).
    std::map<std::string, std::string> ownOptions;
    // Learnt afresh in every handshake; not saved.
    std::vector<AnnouncedOption> announced; // in the engine's order
    std::string defaultBookFile; // named in "option bookfiles ... default X"

    bool operator==(const EngineProfile&) const = default;
};

struct DisplaySettings {
    std::string backgroundImage; // "" none, "默认" built-in, else an image path
    int boardTransparency = 0; // percent
    int pieceTransparency = 0; // percent
    int listTransparency = 0; // percent
    int animationSteps = 0; // steps of a piece slide

    bool operator==(const DisplaySettings&) const = default;
};

// Values the settings file falls back to when it has none.
inline DisplaySettings defaultDisplaySettings() {
    return { "默认", 40, 10, 30, 30 };
}

enum LevelMode : int {
    LEVEL_MOVE_TIME = 0,
    LEVEL_NODES = 1,
    LEVEL_DEPTH = 2,
    LEVEL_TIME_MOVES_TO_GO = 3,
    LEVEL_TIME_INCREMENT = 4,
    LEVEL_INFINITE = 5,
};

// The time per move of the preset levels 初级, 中级 and 高级, in tenths of a second.
inline constexpr int PRESET_LEVEL_TENTHS[] = { 5, 30, 150 };

struct LevelSettings {
    int moveTimeTenths = 0; // preset time per move, tenths of a second
    int nodeLimit = 0;
    int depthLimit = 0; // plies
    int gameTimeMs = 0; // per side
    int movesToGo = 0;
    int incrementMs = 0;
    int mode = LEVEL_MOVE_TIME;

    bool operator==(const LevelSettings&) const = default;
    // Modes 3 and 4 count down: the remaining time shows and running out loses.
    bool isCountdown() const {
        return mode == LEVEL_TIME_MOVES_TO_GO || mode == LEVEL_TIME_INCREMENT;
    }
};

} // namespace qinglan
