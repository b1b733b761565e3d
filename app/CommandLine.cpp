#include "app/CommandLine.h"

#include "version/Version.h"

#include <QStringList>
#include <algorithm>
#include <cstdio>

namespace qinglan {

CommandLine parseCommandLine(const std::vector<std::string>& args) {
    CommandLine line;
    bool optionsEnded = false;
    for (const std::string& arg : args) {
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && (arg == "--version" || arg == "-v")) {
            return { CommandLine::Action::ShowVersion, {}, {} };
        } else if (!optionsEnded && (arg == "--help" || arg == "-h")) {
            return { CommandLine::Action::ShowHelp, {}, {} };
        } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
            return { CommandLine::Action::Refuse, {}, "unknown option: " + arg };
        } else if (!line.file.empty()) {
            return { CommandLine::Action::Refuse, {}, "only one file can be opened: " + arg };
        } else {
            line.file = arg;
        }
    }
    return line;
}

CommandLine parseCommandLine(const QStringList& arguments) {
    std::vector<std::string> args;
    for (const QString& arg : arguments.mid(1)) args.push_back(arg.toStdString());
    return parseCommandLine(args);
}

std::optional<int> answerVersionOrHelp(int argc, char** argv) {
    const CommandLine line
        = parseCommandLine(std::vector<std::string>(argv + std::min(argc, 1), argv + argc));
    if (line.action == CommandLine::Action::ShowVersion) {
        std::fputs(versionMessage().c_str(), stdout);
        return 0;
    }
    if (line.action == CommandLine::Action::ShowHelp) {
        std::fputs(helpMessage().c_str(), stdout);
        return 0;
    }
    return std::nullopt;
}

int refuse(const CommandLine& line) {
    std::fprintf(stderr, "qinglan: %s\n%s", line.error.c_str(), helpMessage().c_str());
    return 2;
}

std::string versionMessage() {
    return "qinglan " + versionText() + "\n青岚象棋 " + programVersion() + "\n";
}

std::string helpMessage() {
    return "用法 (usage): qinglan [--version | --help | FILE]\n"
           "青岚象棋：与 UCCI/UCI 引擎对弈的中国象棋程序。\n"
           "\n"
           "  FILE          启动时打开的棋谱或局面文件（.pgn、.xqf、.fen）\n"
           "  -v, --version 显示版本后退出\n"
           "  -h, --help    显示本说明后退出\n"
           "\n"
           "设置文件：程序目录下的“青岚象棋配置.ini”，安装后为 ~/.config/qinglan/。\n"
           "默认引擎“青岚引擎1.0.exe”“松涛引擎1.0.exe”：程序目录，或安装目录的 lib/qinglan/。\n"
           "更多说明见菜单 帮助 → 帮助主题（F1）与 man qinglan。\n";
}

} // namespace qinglan
