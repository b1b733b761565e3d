#include "engine/EngineProcess.h"

#include "platform/ChildProcess.h"
#include "platform/Ticks.h"

#include <fcntl.h>
#include <mutex>
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
    lastPositionCommand_.clear();
    lastReply_.clear();
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
    return state_ == EngineState::Thinking || state_ == EngineState::Pondering;
}

EngineState EngineProcess::state() {
    pollExit();
    return state_;
}

int EngineProcess::processId() const {
    return process_ ? static_cast<int>(process_->pid()) : 0;
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
    sendLine("stop");
    while (timeoutMs < 0 || tickMs() < deadline) {
        drainOutput();
        if (!isBusy()) break;
        sleepMs(STOP_POLL_MS);
    }
    drainOutput();
    if (isBusy()) return false;
    return isRunning();
}

void EngineProcess::trackSentLine(const std::string& line) {
    if (startsWith(line, "position ")) {
        lastPositionCommand_ = line;
        lastReply_.clear();
    } else if (startsWith(line, "go ponder ")) {
        state_ = EngineState::Pondering;
    } else if (startsWith(line, "go ")) {
        state_ = EngineState::Thinking;
    } else if (startsWith(line, "ponderhit")) {
        if (state_ == EngineState::Pondering) state_ = EngineState::Thinking;
    }
}

void EngineProcess::sendLine(const std::string& line) {
    if (!isRunning()) return;
    trackSentLine(line);
    appendLog(line, LOG_SENT_PREFIX);
    if (line.ends_with("\r\n"))
        process_->write(line);
    else
        process_->write(line + "\r\n");
}

void EngineProcess::trackReceivedLine(const std::string& line) {
    if (startsWith(line, "option bookfiles ")) {
        std::size_t at = line.find("default ");
        defaultBookFile_ = at == std::string::npos ? "" : line.substr(at + 8);
    }
    if (state_ != EngineState::Thinking && state_ != EngineState::Pondering) return;
    // "bestmove (none)" is how some engines say "nobestmove"; it ends the search too.
    if (startsWith(line, "bestmove ") || startsWith(line, "nobestmove")) {
        lastReply_ = line;
        state_ = EngineState::Idle;
    }
}

void EngineProcess::collectOutput() {
    if (std::size_t waiting = process_->bytesAvailable())
        receiveBuffer_.append(process_->read(waiting));
}

std::string EngineProcess::readLine() {
    if (!isRunning()) return {};
    // The pipe is read only when no complete line is waiting, so the buffer holds at
    // most one read beyond a partial line however fast the engine writes.
    std::optional<std::string> line = receiveBuffer_.takeLine();
    if (!line) {
        collectOutput();
        line = receiveBuffer_.takeLine();
    }
    if (!line) return {};
    appendLog(*line, LOG_RECEIVED_PREFIX);
    trackReceivedLine(*line);
    return std::move(*line);
}

bool EngineProcess::unload() {
    stopSearch(UNLOAD_STOP_TIMEOUT_MS);
    if (!isRunning()) {
        reset();
        return true;
    }
    sendLine("quit");
    for (int attempt = 0; attempt < QUIT_ATTEMPTS; ++attempt) {
        readLine();
        if (!isRunning()) {
            reset();
            return true;
        }
        sleepMs(QUIT_POLL_MS);
    }
    if (isRunning()) process_->terminate();
    sleepMs(KILL_SETTLE_MS);
    if (isRunning()) return false;
    reset();
    return true;
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

bool EngineProcess::runHandshake() {
    sendLine("ucci");
    for (int attempt = 1;; ++attempt) {
        if (attempt > HANDSHAKE_ATTEMPTS) {
            unload();
            return false;
        }
        std::string line = readLine();
        if (line.empty()) {
            sleepMs(HANDSHAKE_POLL_MS);
        } else if (line == "ucciok") {
            setOptions(options_);
            return true;
        } else {
            takeIdentityLine(line);
        }
    }
}

bool EngineProcess::loadProgram(const std::string& path) {
    if (!fileExists(path)) return false;
    if (!unload()) return false;
    if (!options_.logFile.empty()) truncateLog(options_.logFile);
    if (!startProcess(path)) return false;
    return runHandshake();
}

bool EngineProcess::setOptions(EngineOptions& options) {
    if (options.bookFile.empty()) options.bookFile = defaultBookFile_;
    if (options.logFile != options_.logFile) truncateLog(options.logFile);
    options_ = options;
    if (state() != EngineState::Idle) return false;
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
    return true;
}

} // namespace qinglan
