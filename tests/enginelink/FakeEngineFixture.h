#pragma once

#include "../support/SearchText.h"
#include "enginelink/EngineProcess.h"
#include "platform/Ticks.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <vector>

namespace qinglan::test {

// Each test runs the real EngineProcess against qinglan-fake-engine, whose behaviour
// is chosen through the environment it inherits; a private folder holds its files.
class FakeEngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/qinglan-engine-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        setenv("QINGLAN_FAKE_TRANSCRIPT", path("transcript").c_str(), 1);
        setenv("QINGLAN_FAKE_BOOK", path("missing.book").c_str(), 1);
        unsetenv("QINGLAN_FAKE_MODE");
        unsetenv("QINGLAN_FAKE_NAME");
    }
    void TearDown() override {
        engine.unload();
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }

    std::string path(const std::string& name) const { return dir + "/" + name; }
    static void mode(const char* flags) { setenv("QINGLAN_FAKE_MODE", flags, 1); }
    bool load() { return engine.loadProgram(QINGLAN_FAKE_ENGINE); }

    static std::string readFile(const std::string& file) {
        std::ifstream in(file, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    // The lines the engine has received, once it has at least `count` of them.
    std::vector<std::string> transcript(std::size_t count = 0, int waitMs = 3000) const {
        std::int64_t deadline = tickMs() + waitMs;
        while (true) {
            std::vector<std::string> lines;
            std::istringstream text(readFile(path("transcript")));
            for (std::string line; std::getline(text, line);) lines.push_back(line);
            if (lines.size() >= count || tickMs() > deadline) return lines;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    // The last line the engine has received, once it is `expected` (or the time is up).
    std::string lastSent(const std::string& expected, int waitMs = 3000) const {
        std::int64_t deadline = tickMs() + waitMs;
        while (true) {
            std::vector<std::string> lines = transcript();
            std::string last = lines.empty() ? "" : lines.back();
            if (last == expected || tickMs() > deadline) return last;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    // The next line from the engine, "" when none comes in time.
    std::string nextLine(int waitMs = 3000) {
        std::int64_t deadline = tickMs() + waitMs;
        while (tickMs() < deadline) {
            std::string line = engine.readLine();
            if (!line.empty()) return line;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return {};
    }
    // Reads until a line with this prefix arrives; "" when none does in time.
    std::string lineStartingWith(const std::string& prefix, int waitMs = 3000) {
        std::int64_t deadline = tickMs() + waitMs;
        while (tickMs() < deadline) {
            std::string line = nextLine(static_cast<int>(deadline - tickMs()));
            if (line.starts_with(prefix)) return line;
        }
        return {};
    }
    // True when no process with this id is ours, not even a zombie.
    static bool processGone(int pid) {
        errno = 0;
        return waitpid(pid, nullptr, WNOHANG) == -1 && errno == ECHILD
            && !std::filesystem::exists("/proc/" + std::to_string(pid));
    }

    std::string dir;
    EngineProcess engine;
};

} // namespace qinglan::test
