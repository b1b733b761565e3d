#pragma once

#include <QStringList>
#include <optional>
#include <string>
#include <vector>

// The window program's command line: "qinglan [--version | --help | FILE]".

namespace qinglan {

struct CommandLine {
    enum class Action { Run, ShowVersion, ShowHelp, Refuse };
    Action action = Action::Run;
    std::string file; // the file to open at start, "" for none
    std::string error; // why the line was refused
};

// args without the program's name. Qt's own options must be gone already (QApplication
// takes them out). "--" ends the options, so a file may begin with "-".
CommandLine parseCommandLine(const std::vector<std::string>& args);
// The same for QApplication's arguments (the program's name first).
CommandLine parseCommandLine(const QStringList& arguments);
// "qinglan 5.0 (commit)" and the program's name in Chinese.
std::string versionMessage();
// What --help prints.
std::string helpMessage();
// Before anything else: prints the version or the help when argv asks for one and
// returns the exit code (0); nothing otherwise.
std::optional<int> answerVersionOrHelp(int argc, char** argv);
// Prints why the line was refused, and the help, to stderr; returns the exit code (2).
int refuse(const CommandLine& line);

} // namespace qinglan
