// Running a command line as scripts do, for the tests of the command-line tool.
#pragma once

#include <array>
#include <cstdio>
#include <string>
#include <sys/wait.h>

struct CliRun {
    std::string out;
    int exitCode = -1;
};

// What command (run by the shell) printed on its standard output, and its exit code.
inline CliRun runShell(const std::string& command) {
    CliRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    std::array<char, 4096> buffer;
    while (std::size_t n = std::fread(buffer.data(), 1, buffer.size(), pipe))
        run.out.append(buffer.data(), n);
    const int status = pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}
