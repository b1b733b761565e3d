#pragma once

#include <string>

// Where the default engines are looked for: beside the program (a build, or a copy in
// a folder of its own) and in the package's engine folder of an installed program.

namespace qinglan {

// The package's engine folder relative to the program's folder: an installation puts
// the program in <prefix>/bin and the engines in <prefix>/lib/qinglan.
inline constexpr const char* PACKAGE_ENGINE_FOLDER = "../lib/qinglan";

// <programDir>/../lib/qinglan, normalised ("/usr/lib/qinglan" for "/usr/bin").
std::string packageEngineFolder(const std::string& programDir);
// The slot's default program ("青岚引擎1.0.exe" for the main engine): the file beside
// the program when there is one, else the one in the package's engine folder when
// there is one, else the path beside the program (which then fails to load).
std::string defaultEnginePath(const std::string& programDir, bool main);
// True when the program in programDir is an installed one: its package's engine folder
// is there. Such a program keeps its settings in the user's folder, never beside itself.
bool isInstalledProgram(const std::string& programDir);

} // namespace qinglan
