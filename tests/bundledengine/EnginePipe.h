#pragma once

// Runs the engine binary through the program's own process layer and talks to it
// line by line with raw transcripts. Reads wait with a deadline so a silent engine
// fails the test instead of hanging it.

#include "platform/ChildProcess.h"
#include "platform/Ticks.h"

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace qinglan::test {

class EnginePipe {
public:
    // argv[0] is the path itself, as the program starts engines.
    explicit EnginePipe(const std::string& path) {
        ignoreSigpipe();
        process_.start(path);
    }

    void send(const std::string& line) { process_.write(line + "\n"); }

    // The next line, or "<timeout>" / "<eof>".
    std::string readLine(int timeoutMs = 20000) {
        const std::int64_t deadline = tickMs() + timeoutMs;
        for (;;) {
            const std::size_t end = buffer_.find('\n');
            if (end != std::string::npos) {
                std::string line = buffer_.substr(0, end);
                buffer_.erase(0, end + 1);
                lines_.push_back(line);
                return line;
            }
            if (const std::size_t n = process_.bytesAvailable()) {
                buffer_ += process_.read(n);
                continue;
            }
            if (process_.hasExited()) return "<eof>";
            if (tickMs() > deadline) return "<timeout>";
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }

    // Reads until a line starts with prefix; returns it (or "<timeout>" / "<eof>").
    std::string waitFor(const std::string& prefix, int timeoutMs = 20000) {
        for (;;) {
            std::string line = readLine(timeoutMs);
            if (line.rfind(prefix, 0) == 0 || line[0] == '<') return line;
        }
    }

    // Exit code once the process ended by itself within the deadline, -1 otherwise.
    int exitCode(int timeoutMs = 5000) {
        const std::int64_t deadline = tickMs() + timeoutMs;
        while (!process_.hasExited() && tickMs() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return process_.exitCode();
    }

    // The engine's resident memory in KiB (-1 when unknown).
    long residentKiB() const { return statusField("VmRSS:"); }
    // Its address space in KiB, touched or not (-1 when unknown).
    long virtualKiB() const { return statusField("VmSize:"); }
    // Its threads running now (-1 when unknown).
    long threadCount() const { return statusField("Threads:"); }

    // Every line read so far.
    const std::vector<std::string>& lines() const { return lines_; }

private:
    long statusField(const std::string& field) const {
        std::ifstream status("/proc/" + std::to_string(process_.pid()) + "/status");
        for (std::string line; std::getline(status, line);)
            if (line.rfind(field, 0) == 0)
                return std::strtol(line.c_str() + field.size(), nullptr, 10);
        return -1;
    }

    ChildProcess process_;
    std::string buffer_;
    std::vector<std::string> lines_;
};

// The word after "key " in a line ("" when the key is missing).
inline std::string wordAfter(const std::string& line, const std::string& key) {
    size_t at = line.find(key + " ");
    if (at == std::string::npos) return "";
    at += key.size() + 1;
    return line.substr(at, line.find(' ', at) - at);
}

} // namespace qinglan::test
