#pragma once

#include "Dialect.h"
#include "Position.h"
#include "Search.h"

#include <cstdio>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace qinglan::bundled {

// The command loop for UCCI and UCI: the handshake line chooses the dialect, everything
// else is shared. Lines are handled on the caller's thread while a search runs on its
// own, so "stop", "ponderhit", "isready" and "quit" are answered at once.
class EngineLoop {
public:
    EngineLoop(std::string name, std::FILE* out);
    ~EngineLoop();

    // False after "quit" (the search is over and the dialect's farewell written).
    bool handle(std::string_view line);
    // Reads lines until "quit" or the end of input; returns the exit code.
    int run(std::FILE* in);

private:
    void send(const std::string& line);
    void finishSearch();
    bool handleAnyTime(const std::string& command);
    void handshake(const Dialect& dialect);
    void setOption(const std::vector<std::string>& words);
    void setPosition(const std::vector<std::string>& words);
    void go(const std::vector<std::string>& words);
    void searchThread(Position position, std::vector<Move> banned, GoLimits limits);

    std::string name_;
    std::FILE* out_;
    std::mutex outMutex_;
    const Dialect* dialect_ = &defaultDialect();
    bool milliseconds_ = false;
    Position position_;
    std::vector<Move> banned_;
    Searcher searcher_;
    SearchSignals signals_;
    std::thread worker_;
};

// The engine's name from the path it was started as: the file name without ".exe".
std::string engineNameFromPath(std::string_view path);

// Searches a fixed set of positions to a fixed depth; prints one node count (the
// same in every run on one thread) and the speed.
void runBench(int depth, int threads, const Searcher::Output& out);

} // namespace qinglan::bundled
