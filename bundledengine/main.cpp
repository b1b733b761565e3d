// qinglan-engine: the bundled UCCI and UCI engine. Started as "青岚引擎1.0.exe" or
// "松涛引擎1.0.exe" it names itself after that file. Arguments, when given, are run
// as one command (for example "bench", "bench 12 2" for depth 12 on two threads, or
// "perft 4") and the program exits.
#include "EngineLoop.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    using namespace qinglan::bundled;
    EngineLoop engine(engineNameFromPath(argc > 0 ? argv[0] : "qinglan-engine"), stdout);
    if (argc > 1) {
        std::string command;
        for (int i = 1; i < argc; ++i) {
            if (i > 1) command += ' ';
            command += argv[i];
        }
        engine.handle(command);
        return 0;
    }
    return engine.run(stdin);
}
