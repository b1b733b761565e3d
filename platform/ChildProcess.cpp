#include "platform/ChildProcess.h"

#include "platform/Ticks.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace qinglan {

namespace {

void closeFd(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

void setNonBlocking(int fd) {
    int flags = fcntl(fd, F_GETFL);
    if (flags >= 0) fcntl(fd, F_SETFL, flags | O_NONBLOCK);
}

// The child gets SIGPIPE back at its default and no blocked signals, whatever we use.
bool spawnChild(const std::string& path, int childIn, int childOut, pid_t& pid) {
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attr;
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_init(&attr);
    posix_spawn_file_actions_adddup2(&actions, childIn, STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, childOut, STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, childOut, STDERR_FILENO);
    sigset_t defaults, mask;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    sigemptyset(&mask);
    posix_spawnattr_setsigdefault(&attr, &defaults);
    posix_spawnattr_setsigmask(&attr, &mask);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    char* argv[] = { const_cast<char*>(path.c_str()), nullptr };
    int error = posix_spawn(&pid, path.c_str(), &actions, &attr, argv, environ);
    posix_spawnattr_destroy(&attr);
    posix_spawn_file_actions_destroy(&actions);
    return error == 0;
}

} // namespace

void ignoreSigpipe() {
    std::signal(SIGPIPE, SIG_IGN);
}

ChildProcess::~ChildProcess() {
    if (pid_ > 0 && !reaped_) terminate();
    closePipes();
}

bool ChildProcess::start(const std::string& path) {
    if (pid_ > 0) return false;
    // Close-on-exec on every end, or a second child would inherit the first one's
    // input and that engine would never see end of file.
    int in[2], out[2];
    if (pipe2(in, O_CLOEXEC) != 0) return false;
    if (pipe2(out, O_CLOEXEC) != 0) {
        ::close(in[0]);
        ::close(in[1]);
        return false;
    }
    pid_t pid = 0;
    bool started = spawnChild(path, in[0], out[1], pid);
    ::close(in[0]);
    ::close(out[1]);
    if (!started) {
        ::close(in[1]);
        ::close(out[0]);
        return false;
    }
    pid_ = pid;
    reaped_ = false;
    exitCode_ = -1;
    inputFd_ = in[1];
    outputFd_ = out[0];
    setNonBlocking(inputFd_);
    setNonBlocking(outputFd_);
    return true;
}

std::size_t ChildProcess::bytesAvailable() const {
    int count = 0;
    if (outputFd_ < 0 || ioctl(outputFd_, FIONREAD, &count) != 0 || count < 0) return 0;
    return static_cast<std::size_t>(count);
}

bool ChildProcess::waitForOutput(int timeoutMs) const {
    if (outputFd_ < 0) return false;
    pollfd output { outputFd_, POLLIN, 0 };
    return poll(&output, 1, timeoutMs) > 0;
}

std::string ChildProcess::read(std::size_t n) {
    std::string bytes(n, '\0');
    if (outputFd_ < 0 || n == 0) return {};
    ssize_t got;
    do got = ::read(outputFd_, bytes.data(), n);
    while (got < 0 && errno == EINTR);
    bytes.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return bytes;
}

void ChildProcess::write(std::string_view bytes) {
    if (inputFd_ < 0) return;
    const std::int64_t deadline = tickMs() + WRITE_WAIT_MS;
    while (!bytes.empty()) {
        ssize_t done = ::write(inputFd_, bytes.data(), bytes.size());
        if (done > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(done));
            continue;
        }
        if (done < 0 && errno == EINTR) continue;
        if (done < 0 && errno != EAGAIN && errno != EWOULDBLOCK) return; // EPIPE: child gone
        std::int64_t left = deadline - tickMs();
        if (left <= 0) return;
        pollfd room { inputFd_, POLLOUT, 0 };
        poll(&room, 1, static_cast<int>(left));
    }
}

bool ChildProcess::reap(int options) {
    if (pid_ <= 0 || reaped_) return reaped_;
    int status = 0;
    pid_t result;
    do result = waitpid(pid_, &status, options);
    while (result < 0 && errno == EINTR);
    // ECHILD: somebody else reaped it; it has ended all the same.
    if (result == pid_) exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (result == pid_ || (result < 0 && errno == ECHILD)) reaped_ = true;
    return reaped_;
}

bool ChildProcess::hasExited() {
    if (pid_ <= 0) return true;
    return reap(WNOHANG);
}

void ChildProcess::terminate() {
    if (pid_ <= 0 || reaped_) return;
    kill(pid_, SIGKILL);
    // A killed process goes at once unless stuck in the kernel; never wait forever.
    const std::int64_t deadline = tickMs() + REAP_WAIT_MS;
    while (!reap(WNOHANG) && tickMs() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

void ChildProcess::closePipes() {
    closeFd(inputFd_);
    closeFd(outputFd_);
}

} // namespace qinglan
