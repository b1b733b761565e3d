#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace qinglan {

// Ignores SIGPIPE for the whole program, so writing to a child that has died
// returns an error instead of killing us. Safe to call more than once.
void ignoreSigpipe();

// One program run directly (no shell, no arguments) with its standard input and
// output on pipes; its standard error joins its output. Nothing here ever blocks for
// long: reads take only what is waiting, writes give up after a short wait.
class ChildProcess {
public:
    // Longest a write waits for room in a full pipe before dropping the rest.
    static constexpr int WRITE_WAIT_MS = 200;
    // Longest terminate() waits for a killed child to be reaped.
    static constexpr int REAP_WAIT_MS = 2000;

    ChildProcess() = default;
    // Kills and reaps a child that is still running.
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Starts the program at path in our working directory with our environment;
    // false when the pipes or the process cannot be created (nothing is left open).
    bool start(const std::string& path);
    // The child's id; kept after it has ended, 0 before start.
    pid_t pid() const { return pid_; }
    // Bytes waiting on the child's output; 0 when none or when the pipe is closed.
    std::size_t bytesAvailable() const;
    // Our end of the child's output, for a caller that waits on several children at
    // once (poll); -1 when no pipe is open. Reading stays with read().
    int outputDescriptor() const { return outputFd_; }
    // Waits at most timeoutMs for output (or the end of the pipe); true when some came.
    bool waitForOutput(int timeoutMs) const;
    // Reads at most n bytes of what is waiting; never blocks.
    std::string read(std::size_t n);
    // Writes bytes to the child's input. A dead child is ignored; a child that does
    // not read loses what does not fit after WRITE_WAIT_MS.
    void write(std::string_view bytes);
    // True once the child has ended; the first time it is seen, the child is reaped.
    bool hasExited();
    // The exit code of a child seen to end by itself; -1 while running, when killed
    // by a signal, or when reaped elsewhere.
    int exitCode() const { return exitCode_; }
    // Kills the child and reaps it.
    void terminate();
    // Closes our ends of both pipes.
    void closePipes();

private:
    bool reap(int options);

    pid_t pid_ = 0;
    bool reaped_ = false;
    int exitCode_ = -1;
    int inputFd_ = -1; // our end of the child's standard input
    int outputFd_ = -1; // our end of the child's standard output and error
};

} // namespace qinglan
