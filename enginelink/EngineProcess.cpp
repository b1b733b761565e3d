#include "enginelink/EngineProcess.h"

#include "platform/ChildProcess.h"
#include "platform/Ticks.h"
#include "rules/Board.h"

#include <algorithm>
#include <cctype>
#include <fcntl.h>
#include <mutex>
#include <sstream>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace qinglan {

namespace {

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

void sleepMs(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// A file, or anything else that is not a folder.
bool fileExists(const std::string& path) {
    struct stat info;
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

// The log shows exactly what crossed the pipe, so markup in engine text is escaped.
std::string escapeHtml(std::string_view text) {
    std::string escaped;
    escaped.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&':
            escaped += "&amp;";
            break;
        case '<':
            escaped += "&lt;";
            break;
        case '>':
            escaped += "&gt;";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

// What an engine that only speaks UCI says to "ucci" ("Unknown command: ucci").
bool refusesUcci(std::string_view line) {
    std::string lower(line);
    std::transform(lower.begin(), lower.end(), lower.begin(),
        [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower.find("unknown") != std::string::npos;
}

// The lines of a handshake under way: identity, options and the closing words. Anything
// else (a banner, an echo, an error) shows no engine at work.
bool isHandshakeLine(std::string_view line) {
    return startsWith(line, "id ") || startsWith(line, "option ") || line == "ucciok"
        || line == "uciok" || line == "readyok";
}

void writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t done = ::write(fd, bytes.data(), bytes.size());
        if (done <= 0) return;
        bytes.remove_prefix(static_cast<std::size_t>(done));
    }
}

} // namespace

EngineProcess::EngineProcess() = default;

EngineProcess::~EngineProcess() {
    unload();
}

void EngineProcess::reset() {
    // A process still running here would be orphaned; its object kills and reaps it.
    process_.reset();
    state_ = EngineState::Unloaded;
    receiveBuffer_.clear();
    identity_ = {};
    defaultBookFile_.clear();
    programPath_.clear();
    searched_.reset();
    lastReply_.reset();
    rankBase_ = RankBase::Unknown;
    setProtocol(EngineProtocol::Auto);
    announced_.clear();
    madeUpReplies_.clear();
    optionsPending_ = false;
    loading_.reset();
}

void EngineProcess::appendLog(const std::string& text, const char* prefix) const {
    if (options_.logFile.empty()) return;
    std::string colour = prefix ? prefix : "";
    std::string entry = colour + escapeHtml(text) + (colour.empty() ? "" : "</font>") + "<br>\r\n";
    int fd = ::open(options_.logFile.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) return;
    writeAll(fd, entry);
    ::close(fd);
}

void EngineProcess::truncateLog(const std::string& path) const {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd >= 0) ::close(fd);
}

void EngineProcess::pollExit() {
    if (state_ == EngineState::Unloaded || state_ == EngineState::Exited) return;
    if (!process_ || !process_->hasExited()) return;
    // Whatever the engine wrote last is logged in one piece. The cap keeps a process
    // that still holds the pipe open (a grandchild) from keeping us here.
    std::size_t budget = MAX_LINE_BYTES;
    while (std::size_t waiting = std::min(process_->bytesAvailable(), budget)) {
        std::string chunk = process_->read(waiting);
        if (chunk.empty()) break;
        budget -= chunk.size();
        receiveBuffer_.append(chunk);
    }
    appendLog(std::string(receiveBuffer_.pending()), LOG_RECEIVED_PREFIX);
    process_->closePipes();
    state_ = EngineState::Exited;
}

bool EngineProcess::isRunning() {
    pollExit();
    return state_ != EngineState::Unloaded && state_ != EngineState::Exited;
}

bool EngineProcess::isBusy() {
    if (!isRunning()) return false;
    return state_ == EngineState::Thinking || state_ == EngineState::Pondering
        || state_ == EngineState::Analysing;
}

EngineState EngineProcess::state() {
    pollExit();
    return state_;
}

int EngineProcess::processId() const {
    return process_ ? static_cast<int>(process_->pid()) : 0;
}

int EngineProcess::outputDescriptor() const {
    return process_ ? process_->outputDescriptor() : -1;
}

void EngineProcess::drainOutput() {
    // An engine that prints lines faster than we take them would keep us here for
    // ever; past the limit the rest waits for the next read.
    const std::int64_t deadline = tickMs() + DRAIN_LIMIT_MS;
    bool lastWasEmpty = false;
    while (tickMs() < deadline) {
        bool empty = readLine().empty();
        if (empty && lastWasEmpty) return;
        lastWasEmpty = empty;
    }
}

bool EngineProcess::stopSearch(int timeoutMs) {
    if (!isRunning()) return false;
    drainOutput();
    const std::int64_t deadline = tickMs() + timeoutMs;
    if (!isBusy()) return true;
    requestStop();
    while (timeoutMs < 0 || tickMs() < deadline) {
        drainOutput();
        if (!isBusy()) break;
        sleepMs(STOP_POLL_MS);
    }
    drainOutput();
    if (isBusy()) return false;
    return isRunning();
}

void EngineProcess::setProtocol(EngineProtocol protocol) {
    protocol_ = protocol;
    dialect_ = makeDialect(protocol, rankBase_);
    linesAsked_ = 1; // a new handshake leaves the engine at one line
}

bool EngineProcess::startSearch(const SearchRequest& request) {
    if (!isRunning() || state_ != EngineState::Idle) return false;
    searched_ = request;
    lastReply_.reset();
    // Several lines only from an engine that offers them; the rest report one.
    if (request.lines != linesAsked_ && announced(dialect_->linesOptionName())) {
        writeLine(dialect_->linesOptionLine(request.lines));
        linesAsked_ = request.lines;
    }
    EngineDialect::SearchStart start
        = dialect_->startSearch(request, options_.compatFlags & COMPAT_STARTPOS);
    if (start.answer) madeUpReplies_.push_back(std::move(*start.answer));
    for (const std::string& line : start.lines) writeLine(line);
    switch (request.mode) {
    case SearchMode::Ponder:
        state_ = EngineState::Pondering;
        break;
    case SearchMode::Analyse:
        state_ = EngineState::Analysing;
        break;
    default:
        state_ = EngineState::Thinking;
    }
    return true;
}

void EngineProcess::ponderHit() {
    if (!isRunning() || state_ != EngineState::Pondering) return;
    writeLine(dialect_->ponderHitLine());
    state_ = EngineState::Thinking;
}

void EngineProcess::requestStop() {
    if (isBusy()) writeLine(dialect_->stopLine());
}

void EngineProcess::sendLine(const std::string& line) {
    if (!isRunning()) return;
    if (protocol_ == EngineProtocol::Uci)
        sendUciLine(line);
    else
        writeLine(line);
}

void EngineProcess::sendUciLine(const std::string& line) {
    if (line == "setoption newgame")
        writeLine("ucinewgame");
    else if (!startsWith(line, "setoption ") || startsWith(line, "setoption name "))
        writeLine(line); // UCCI option lines mean nothing to a UCI engine
}

void EngineProcess::writeLine(const std::string& line) {
    const std::string_view body
        = std::string_view(line).substr(0, line.ends_with("\r\n") ? line.size() - 2 : line.size());
    // One line is one command: a line break or NUL inside would be read as more.
    if (body.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos) return;
    appendLog(std::string(body), LOG_SENT_PREFIX);
    process_->write(std::string(body) + "\r\n");
}

void EngineProcess::trackReceivedLine(const ReceivedLine& line) {
    if (startsWith(line.text, "option bookfiles ")) {
        std::size_t at = line.text.find("default ");
        defaultBookFile_ = at == std::string::npos ? "" : line.text.substr(at + 8);
        // It is sent back in "setoption bookfiles": a control character could smuggle a line.
        if (hasControlCharacter(defaultBookFile_)) defaultBookFile_.clear();
    }
    if (!line.reply || std::holds_alternative<ThinkingLine>(*line.reply) || !isBusy()) return;
    lastReply_ = line.reply;
    state_ = EngineState::Idle;
    // Options chosen during the search go before anything else is asked of it.
    if (optionsPending_) sendOptions();
}

void EngineProcess::awaitOutput(int timeoutMs) {
    // The pipe wakes us as soon as the engine writes (or ends) instead of a fixed sleep.
    if (!process_ || !process_->waitForOutput(timeoutMs)) return;
    // A pipe that stays readable at its end would make this spin: let the exit show.
    if (process_->bytesAvailable() == 0) sleepMs(1);
}

void EngineProcess::collectOutput() {
    if (std::size_t waiting = process_->bytesAvailable())
        receiveBuffer_.append(process_->read(waiting));
}

std::optional<ReceivedLine> EngineProcess::receive() {
    if (!isRunning()) return std::nullopt;
    ReceivedLine received;
    if (!madeUpReplies_.empty()) {
        received.text = std::holds_alternative<NoMove>(madeUpReplies_.front()) ? "nobestmove" : "";
        received.reply = std::move(madeUpReplies_.front());
        madeUpReplies_.pop_front();
        trackReceivedLine(received);
        return received;
    }
    // The pipe is read only when no complete line is waiting, so the buffer holds at
    // most one read beyond a partial line however fast the engine writes.
    std::optional<std::string> line = receiveBuffer_.takeLine();
    if (!line) {
        collectOutput();
        line = receiveBuffer_.takeLine();
    }
    if (!line) return std::nullopt;
    appendLog(*line, LOG_RECEIVED_PREFIX);
    received.text = std::move(*line);
    // Replies count only while a search runs; the handshake's lines answer nothing.
    if (searched_ && isBusy()) {
        received.reply = dialect_->readReply(received.text, *searched_);
        if (protocol_ == EngineProtocol::Uci) options_.rankBase = rankBase_ = dialect_->rankBase();
    }
    trackReceivedLine(received);
    return received;
}

std::string EngineProcess::readLine() {
    std::optional<ReceivedLine> received = receive();
    return received ? std::move(received->text) : std::string();
}

bool EngineProcess::unload() {
    EngineProcess* self = this;
    return unloadTogether({ &self, 1 });
}

bool EngineProcess::unloadTogether(std::span<EngineProcess* const> engines) {
    return unloadTogether(engines, QUIT_ATTEMPTS);
}

bool EngineProcess::unloadTogether(std::span<EngineProcess* const> engines, int quitAttempts) {
    const auto anyOf = [engines](bool (EngineProcess::*test)()) {
        return std::ranges::any_of(engines, [test](EngineProcess* e) { return (e->*test)(); });
    };
    // Each engine gets what unloading one gets ("stop" when busy, "quit", termination
    // after the grace time), but the waits run side by side.
    const std::int64_t stopDeadline = tickMs() + UNLOAD_STOP_TIMEOUT_MS;
    for (EngineProcess* engine : engines) {
        engine->drainOutput();
        if (engine->isBusy()) engine->sendLine("stop");
    }
    while (anyOf(&EngineProcess::isBusy) && tickMs() < stopDeadline) {
        sleepMs(STOP_POLL_MS);
        for (EngineProcess* engine : engines) engine->drainOutput();
    }
    for (EngineProcess* engine : engines) {
        engine->drainOutput();
        if (engine->isRunning()) engine->sendLine("quit");
    }
    // The grace is a time: an engine that writes a lot, or has closed its output,
    // wakes the wait early and often.
    const std::int64_t quitDeadline = tickMs() + std::int64_t(quitAttempts) * QUIT_POLL_MS;
    while (anyOf(&EngineProcess::isRunning) && tickMs() < quitDeadline) {
        for (EngineProcess* engine : engines) engine->readLine();
        // Woken by the first engine still running as it writes or leaves.
        auto running
            = std::ranges::find_if(engines, [](EngineProcess* e) { return e->isRunning(); });
        if (running != engines.end()) (*running)->awaitOutput(QUIT_POLL_MS);
    }
    if (anyOf(&EngineProcess::isRunning)) {
        for (EngineProcess* engine : engines)
            if (engine->isRunning()) engine->process_->terminate();
        sleepMs(KILL_SETTLE_MS);
    }
    bool allGone = true;
    for (EngineProcess* engine : engines) {
        if (engine->isRunning())
            allGone = false;
        else
            engine->reset();
    }
    return allGone;
}

bool EngineProcess::startProcess(const std::string& path) {
    static std::once_flag sigpipeIgnored;
    std::call_once(sigpipeIgnored, ignoreSigpipe);
    auto process = std::make_unique<ChildProcess>();
    if (!process->start(path)) return false;
    process_ = std::move(process);
    programPath_ = path;
    state_ = EngineState::Idle;
    return true;
}

void EngineProcess::takeIdentityLine(const std::string& line) {
    static constexpr std::pair<std::string_view, std::string EngineIdentity::*> FIELDS[] = {
        { "id name ", &EngineIdentity::name },
        { "id copyright ", &EngineIdentity::copyright },
        { "id author ", &EngineIdentity::author },
        { "id user ", &EngineIdentity::user },
    };
    for (const auto& [prefix, field] : FIELDS) {
        if (startsWith(line, prefix)) {
            identity_.*field = line.substr(prefix.size());
            return;
        }
    }
}

void EngineProcess::sayHello(EngineProtocol protocol) {
    if (protocol == EngineProtocol::Uci) {
        rankBase_ = options_.rankBase;
        setProtocol(EngineProtocol::Uci);
    }
    sendLine(protocol == EngineProtocol::Uci ? "uci" : "ucci");
    helloSentAt_ = tickMs();
}

EngineProcess::Handshake EngineProcess::awaitUcciHandshake(bool probing) {
    // A deadline rather than a count of reads: a long list of options is no failure.
    const std::int64_t deadline = helloSentAt_ + HANDSHAKE_ATTEMPTS * HANDSHAKE_POLL_MS;
    std::int64_t heardSince = helloSentAt_;
    while (tickMs() < deadline) {
        std::string line = readLine();
        if (line == "ucciok") return Handshake::Done;
        if (!line.empty()) {
            if (probing && refusesUcci(line)) return Handshake::Refused;
            if (isHandshakeLine(line)) heardSince = tickMs();
            takeHandshakeLine(line);
        } else if (!isRunning()) {
            return Handshake::Failed;
        } else if (probing && tickMs() - heardSince >= AUTO_PROBE_QUIET_MS) {
            return Handshake::Refused;
        } else {
            awaitOutput(HANDSHAKE_POLL_MS);
        }
    }
    return Handshake::Failed;
}

bool EngineProcess::awaitUciLine(const std::string& wanted, bool probing, std::int64_t asked) {
    const std::int64_t deadline = asked + HANDSHAKE_ATTEMPTS * HANDSHAKE_POLL_MS;
    std::int64_t heardSince = asked;
    while (tickMs() < deadline) {
        std::string line = readLine();
        if (line == wanted) return true;
        if (!line.empty()) {
            if (isHandshakeLine(line)) heardSince = tickMs();
            takeHandshakeLine(line);
        } else if (!isRunning() || (probing && tickMs() - heardSince >= AUTO_PROBE_QUIET_MS)) {
            return false;
        } else {
            awaitOutput(HANDSHAKE_POLL_MS);
        }
    }
    return false;
}

void EngineProcess::takeHandshakeLine(const std::string& line) {
    takeIdentityLine(line);
    std::optional<AnnouncedOption> option = parseOptionLine(line);
    if (!option) return;
    // A name announced twice keeps its last form, in its first place.
    auto same = std::ranges::find_if(announced_,
        [&](const AnnouncedOption& known) { return sameOptionName(known.name, option->name); });
    if (same != announced_.end())
        *same = std::move(*option);
    else if (announced_.size() < MAX_ENGINE_OPTIONS)
        announced_.push_back(std::move(*option));
}

const AnnouncedOption* EngineProcess::announced(std::string_view name) const {
    auto option = std::ranges::find_if(
        announced_, [&](const AnnouncedOption& known) { return sameOptionName(known.name, name); });
    return option == announced_.end() ? nullptr : &*option;
}

bool EngineProcess::awaitUciHandshake(bool probing) {
    if (!awaitUciLine("uciok", probing, helloSentAt_)) return false;
    sendUciOptions();
    sendLine("isready");
    return awaitUciLine("readyok", probing, tickMs());
}

void EngineProcess::sendUciOptions() {
    // Only options the engine announced: the rest would only earn error lines.
    if (announced("Ponder")) sendLine("setoption name Ponder value true");
    if (options_.hashSizeMb > 0 && announced("Hash"))
        sendLine("setoption name Hash value " + std::to_string(options_.hashSizeMb));
    if (options_.threads > 0 && announced("Threads"))
        sendLine("setoption name Threads value " + std::to_string(options_.threads));
    // The thinking window shows one line of play.
    const AnnouncedOption* multiPv = announced("MultiPV");
    if (multiPv && multiPv->defaultValue != "1") sendLine("setoption name MultiPV value 1");
    sendOwnOptions();
}

void EngineProcess::sendOwnOptions() {
    for (const AnnouncedOption& option : announced_) {
        if (isProgramOption(option.name, protocol_) || fixedOptionValue(option)) continue;
        const std::string* value = storedOptionValue(options_.ownOptions, option.name);
        // Values kept for an older version of the engine may no longer fit; skipped.
        if (value && acceptsOptionValue(option, *value))
            sendLine(optionCommand(option, *value, protocol_));
    }
    // Last, so that a variant file named among the options above is already read.
    for (const AnnouncedOption& option : announced_)
        if (std::optional<std::string> value = fixedOptionValue(option))
            sendLine(optionCommand(option, *value, protocol_));
}

bool EngineProcess::pressOptionButton(const std::string& name) {
    const AnnouncedOption* button = announced(name);
    if (!button || button->kind != OptionKind::Button || state() != EngineState::Idle) return false;
    sendLine(optionCommand(*button, "", protocol_));
    return true;
}

void EngineProcess::adoptProgram(const std::string& path) {
    if (options_.programPath == path) return;
    // What was learnt about another program says nothing about this one; a record
    // that names no program yet (chosen before the first load) is kept.
    if (!options_.programPath.empty()) {
        options_.protocol = EngineProtocol::Auto;
        options_.rankBase = RankBase::Unknown;
        options_.ownOptions.clear();
    }
    options_.programPath = path;
}

bool EngineProcess::loadProgram(const std::string& path) {
    return startLoad(path) && finishLoad();
}

bool EngineProcess::startLoad(const std::string& path) {
    loading_.reset();
    if (!fileExists(path)) return false;
    if (!unload()) return false;
    if (!options_.logFile.empty()) truncateLog(options_.logFile);
    adoptProgram(path);
    if (!startProcess(path)) return false;
    loading_ = options_.protocol;
    sayHello(*loading_ == EngineProtocol::Uci ? EngineProtocol::Uci : EngineProtocol::Ucci);
    return true;
}

bool EngineProcess::finishLoad() {
    if (!loading_) return false;
    const EngineProtocol wanted = *loading_;
    loading_.reset();
    const bool automatic = wanted == EngineProtocol::Auto;
    if (wanted != EngineProtocol::Uci) {
        const Handshake ucci = awaitUcciHandshake(automatic);
        if (ucci == Handshake::Done) return finishUcciLoad();
        // A copy: unloading clears the engine's own.
        const std::string path = programPath_;
        // Quit (or kill) the engine that would not speak UCCI; Auto tries UCI next.
        const bool gone = abandonHandshake();
        if (ucci == Handshake::Failed || !gone || !startProcess(path)) return false;
        sayHello(EngineProtocol::Uci);
    }
    if (awaitUciHandshake(automatic)) {
        options_.protocol = EngineProtocol::Uci;
        return true;
    }
    abandonHandshake();
    return false;
}

bool EngineProcess::abandonHandshake() {
    // A program that has not spoken the protocol gets "quit" but not the long grace.
    EngineProcess* self = this;
    return unloadTogether({ &self, 1 }, HANDSHAKE_QUIT_ATTEMPTS);
}

bool EngineProcess::finishUcciLoad() {
    setProtocol(options_.protocol = EngineProtocol::Ucci);
    setOptions(options_);
    return true;
}

bool EngineProcess::setOptions(EngineOptions& options) {
    if (options.bookFile.empty()) options.bookFile = defaultBookFile_;
    if (options.logFile != options_.logFile) truncateLog(options.logFile);
    // Such a value would leave the engine speaking a protocol we do not.
    std::erase_if(options.ownOptions, [](const auto& own) { return switchesProtocol(own.first); });
    options_ = options;
    const EngineState now = state();
    optionsPending_ = now == EngineState::Thinking || now == EngineState::Pondering;
    if (now != EngineState::Idle) return false;
    sendOptions();
    return true;
}

void EngineProcess::sendOptions() {
    optionsPending_ = false;
    if (protocol_ == EngineProtocol::Uci)
        sendUciOptions();
    else
        sendUcciOptions();
}

void EngineProcess::sendUcciOptions() {
    sendLine("setoption usemillisec true");
    sendLine("setoption ponder true");
    sendLine("setoption randomness " + options_.randomness);
    sendLine("setoption pruning " + options_.pruning);
    sendLine("setoption style " + options_.style);
    sendLine("setoption hashsize " + std::to_string(options_.hashSizeMb));
    sendLine("setoption threads " + std::to_string(options_.threads));
    if (fileExists(options_.bookFile)) {
        sendLine("setoption bookfiles " + options_.bookFile);
        sendLine("setoption usebook true");
    } else {
        sendLine("setoption bookfiles ");
        sendLine("setoption usebook false");
    }
    sendOwnOptions();
}

} // namespace qinglan
