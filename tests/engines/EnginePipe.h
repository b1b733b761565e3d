#pragma once

// Runs the engine binary on a pair of pipes and talks to it line by line, as the
// program does. Reads wait with a deadline so a silent engine fails the test
// instead of hanging it.

#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace qinglan::test {

class EnginePipe {
public:
    // argv[0] is the path itself, as the program starts engines.
    explicit EnginePipe(const std::string& path) {
        int toChild[2], fromChild[2];
        if (pipe(toChild) != 0 || pipe(fromChild) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            dup2(toChild[0], 0);
            dup2(fromChild[1], 1);
            close(toChild[1]);
            close(fromChild[0]);
            execl(path.c_str(), path.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        close(toChild[0]);
        close(fromChild[1]);
        in_ = toChild[1];
        out_ = fromChild[0];
        std::signal(SIGPIPE, SIG_IGN);
    }

    ~EnginePipe() {
        if (in_ >= 0) close(in_);
        if (out_ >= 0) close(out_);
        if (pid_ > 0 && !reaped_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }

    void send(const std::string& line) {
        std::string text = line + "\n";
        [[maybe_unused]] auto written = write(in_, text.data(), text.size());
    }

    // The next line, or "<timeout>" / "<eof>".
    std::string readLine(int timeoutMs = 20000) {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        for (;;) {
            size_t end = buffer_.find('\n');
            if (end != std::string::npos) {
                std::string line = buffer_.substr(0, end);
                buffer_.erase(0, end + 1);
                lines_.push_back(line);
                return line;
            }
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now())
                            .count();
            if (left <= 0) return "<timeout>";
            pollfd fd { out_, POLLIN, 0 };
            if (poll(&fd, 1, int(left)) <= 0) continue;
            char chunk[4096];
            ssize_t n = read(out_, chunk, sizeof chunk);
            if (n <= 0) return "<eof>";
            buffer_.append(chunk, size_t(n));
        }
    }

    // Reads until a line starts with prefix; returns it (or "<timeout>" / "<eof>").
    std::string waitFor(const std::string& prefix, int timeoutMs = 20000) {
        for (;;) {
            std::string line = readLine(timeoutMs);
            if (line.rfind(prefix, 0) == 0 || line[0] == '<') return line;
        }
    }

    // Exit status once the process ended within the deadline, -1 otherwise.
    int exitCode(int timeoutMs = 5000) {
        for (int waited = 0; waited < timeoutMs; waited += 10) {
            int status = 0;
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                reaped_ = true;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            usleep(10000);
        }
        return -1;
    }

    // Every line read so far.
    const std::vector<std::string>& lines() const { return lines_; }

private:
    pid_t pid_ = -1;
    int in_ = -1, out_ = -1;
    bool reaped_ = false;
    std::string buffer_;
    std::vector<std::string> lines_;
};

} // namespace qinglan::test
