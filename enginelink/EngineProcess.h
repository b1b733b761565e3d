#pragma once

#include "enginelink/AnnouncedOption.h"
#include "enginelink/EngineDialect.h"
#include "enginelink/LineBuffer.h"
#include "enginelink/UciTranslation.h"
#include "settings/SettingsRecords.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <span>
#include <string>

namespace qinglan {

class ChildProcess;

// Analysing: a search whose best move is never played (it still ends with one).
enum class EngineState : int {
    Unloaded = 0,
    Idle = 1,
    Pondering = 2,
    Thinking = 3,
    Exited = 4,
    Analysing = 5,
};

// One line from the engine, and what it answers when it answers a search.
struct ReceivedLine {
    std::string text; // as received
    std::optional<EngineReply> reply;
};

// What an engine says about itself in its "id ..." lines; raw bytes as received.
struct EngineIdentity {
    std::string name;
    std::string copyright;
    std::string author;
    std::string user;
};

// Colour prefixes of the communication log: lines sent are red, lines received blue.
inline constexpr const char* LOG_SENT_PREFIX = "<font color=\"red\">";
inline constexpr const char* LOG_RECEIVED_PREFIX = "<font color=\"blue\">";

// One UCCI or UCI engine program run as a child process. Everything happens on the
// caller's thread: output is only collected when a line is asked for, and the few waits
// (handshake, stop, quit) are bounded by the named constants below. Searches are asked
// for and answered as values; the engine's dialect (UCCI or UCI) writes and reads the
// lines, and the state follows the searches asked for and the replies read.
class EngineProcess {
public:
    // The handshake waits this long for its last line, however many lines come first.
    static constexpr int HANDSHAKE_ATTEMPTS = 300;
    static constexpr int HANDSHAKE_POLL_MS = 20;
    // The automatic protocol gives up on a protocol after this long without a line of
    // its handshake ("id", "option", the closing word): a program that is no engine
    // keeps the window for seconds, not the whole handshake wait per protocol. A UCCI
    // engine starting on a busy machine can take over a second; the protocol found is
    // kept, so the wait is paid once per program.
    static constexpr int AUTO_PROBE_QUIET_MS = 2000;
    static constexpr int QUIT_ATTEMPTS = 50;
    // After a failed handshake the program may be no engine at all: a short grace.
    static constexpr int HANDSHAKE_QUIT_ATTEMPTS = 10;
    static constexpr int QUIT_POLL_MS = 20;
    static constexpr int STOP_POLL_MS = 10;
    static constexpr int UNLOAD_STOP_TIMEOUT_MS = 1000;
    static constexpr int KILL_SETTLE_MS = 10;
    // Longest drainOutput keeps reading an engine that never pauses.
    static constexpr int DRAIN_LIMIT_MS = 200;
    // An engine line longer than this is cut off (and logged) so that output that
    // never ends a line cannot grow the buffer without bound.
    static constexpr std::size_t MAX_LINE_BYTES = 1 << 20;

    EngineProcess();
    // Unloads a running engine: "stop" when busy, "quit", termination after ~1 s.
    ~EngineProcess();
    EngineProcess(const EngineProcess&) = delete;
    EngineProcess& operator=(const EngineProcess&) = delete;

    // Back to Unloaded without touching the process; options are kept.
    void reset();

    // The search asked for last; none before the first.
    const std::optional<SearchRequest>& searched() const { return searched_; }
    // How the last search ended (a best move or none); cleared by the next search.
    const std::optional<EngineReply>& lastReply() const { return lastReply_; }
    const std::string& programPath() const { return programPath_; }
    // The book the engine named in its "option bookfiles ... default X" line.
    const std::string& defaultBookFile() const { return defaultBookFile_; }
    const EngineIdentity& identity() const { return identity_; }
    const std::string& name() const { return identity_.name; }
    EngineOptions getOptions() const { return options_; }
    // The protocol the running engine speaks (Ucci or Uci); Auto while none is known.
    EngineProtocol protocol() const { return protocol_; }
    // How a UCI engine numbers ranks, once one of its moves has told.
    RankBase rankBase() const { return rankBase_; }
    // The lines of the protocol the engine speaks (UCCI until another is found).
    const EngineDialect& dialect() const { return *dialect_; }
    // The options the running engine announced in its handshake, in its order.
    const std::vector<AnnouncedOption>& announcedOptions() const { return announced_; }

    // One entry of the communication log, when the options name a log file.
    void appendLog(const std::string& text, const char* prefix) const;

    // Notices an ended process: its last output is logged and the state becomes Exited.
    void pollExit();
    bool isRunning();
    // Running and Thinking, Pondering or Analysing.
    bool isBusy();
    EngineState state();
    // The state as last seen, without asking the process (for drawing).
    EngineState knownState() const { return state_; }
    // 0 when no process runs.
    int processId() const;
    // The descriptor the engine's output arrives on, to wait on beside others (poll);
    // -1 when no process runs. Lines are still taken with readLine.
    int outputDescriptor() const;

    // Waits at most timeoutMs for the engine to write or end (after its waiting lines
    // were read).
    void awaitOutput(int timeoutMs);
    // Reads and discards lines until two reads in a row find none.
    void drainOutput();
    // Sends "stop" to a busy engine and waits for its reply, at most timeoutMs
    // (no limit when negative). True when the engine is running and no longer busy.
    bool stopSearch(int timeoutMs);
    void clearReply() { lastReply_.reset(); }

    // Starts a search on an Idle engine: Thinking, Pondering or Analysing by its mode.
    // False (and nothing sent) unless the engine is running and Idle. When there is
    // nothing to ask (UCI with every move banned) the answer waits to be read as if
    // the engine had given it.
    bool startSearch(const SearchRequest& request);
    // A Pondering engine's guess came true: it searches on as a real search.
    void ponderHit();
    // Asks a busy engine to end its search now; the reply comes as usual.
    void requestStop();

    // Sends one line (CR LF appended) as it stands, except that UCCI option lines mean
    // nothing to a UCI engine ("setoption newgame" becomes "ucinewgame"); does nothing
    // unless running. A dead pipe is ignored. Searches go through startSearch.
    void sendLine(const std::string& line);
    // One complete line and what it answers, or nothing when no line is ready. Never
    // blocks. A reply that ends the search makes the engine Idle.
    std::optional<ReceivedLine> receive();
    // The text of receive(), or "" when no line is ready.
    std::string readLine();

    // true when no process is left afterwards.
    bool unload();
    // unload for several engines at once: each is told to stop and quit before any
    // is waited for, so leaving takes as long as the slowest, not the sum.
    static bool unloadTogether(std::span<EngineProcess* const> engines);
    // Starts the program (no shell, no arguments) and runs the handshake of the
    // options' protocol; Auto starts again with "uci" when the engine refuses "ucci" or
    // keeps quiet. True only when the handshake ended ("ucciok", or "uciok" and
    // "readyok"); the protocol found is then kept in the options. Another program than
    // the options were kept for starts with Auto, no rank base and no own options.
    // A missing file changes nothing; a program that ends during the handshake fails
    // at once. loadProgram is startLoad and finishLoad in one.
    bool loadProgram(const std::string& path);
    // Starts the program and sends the first line of its handshake without waiting
    // for the answer, so that two engines start up side by side; false when it did
    // not start. finishLoad waits for the handshake: false when none was begun or it
    // failed.
    bool startLoad(const std::string& path);
    bool finishLoad();
    // Stores the options (an empty book becomes the engine's default book, in the
    // caller's record too; a stored value for an option that would switch the engine's
    // protocol is dropped) and sends them when the engine is Idle; false otherwise. A
    // busy engine gets them, in the same order, as soon as its search ends.
    // Own options are sent only when the engine announced them and the value suits.
    bool setOptions(EngineOptions& options);
    // Sends an announced button option of that name; false unless the engine is Idle.
    bool pressOptionButton(const std::string& name);

private:
    void truncateLog(const std::string& path) const;
    bool startProcess(const std::string& path);
    enum class Handshake { Done, Refused, Failed };
    void sayHello(EngineProtocol protocol);
    Handshake awaitUcciHandshake(bool probing);
    bool awaitUciHandshake(bool probing);
    bool awaitUciLine(const std::string& wanted, bool probing, std::int64_t asked);
    bool abandonHandshake();
    static bool unloadTogether(std::span<EngineProcess* const> engines, int quitAttempts);
    void takeHandshakeLine(const std::string& line);
    const AnnouncedOption* announced(std::string_view name) const;
    void adoptProgram(const std::string& path);
    void sendUciOptions();
    void sendOptions();
    void sendOwnOptions();
    void sendUcciOptions();
    bool finishUcciLoad();
    void sendUciLine(const std::string& line);
    void setProtocol(EngineProtocol protocol);
    void writeLine(const std::string& line);
    void takeIdentityLine(const std::string& line);
    void trackReceivedLine(const ReceivedLine& line);
    void collectOutput();

    std::unique_ptr<ChildProcess> process_;
    EngineState state_ = EngineState::Unloaded;
    LineBuffer receiveBuffer_ { MAX_LINE_BYTES };
    EngineIdentity identity_;
    EngineOptions options_;
    std::optional<SearchRequest> searched_;
    std::optional<EngineReply> lastReply_;
    std::string defaultBookFile_;
    std::string programPath_;
    EngineProtocol protocol_ = EngineProtocol::Auto;
    RankBase rankBase_ = RankBase::Unknown;
    std::unique_ptr<EngineDialect> dialect_ = makeDialect(EngineProtocol::Ucci, RankBase::Unknown);
    std::vector<AnnouncedOption> announced_;
    std::deque<EngineReply> madeUpReplies_; // replies given in the engine's name
    int linesAsked_ = 1; // best lines the engine was last told to report
    bool optionsPending_ = false; // options given during a search, sent at its reply
    // Between startLoad and finishLoad: the protocol asked for and when the first
    // line of the handshake went out.
    std::optional<EngineProtocol> loading_;
    std::int64_t helloSentAt_ = 0;
};

} // namespace qinglan
