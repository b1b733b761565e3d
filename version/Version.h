#pragma once

#include <string>

// What the build says about itself.

namespace qinglan {

// The project version, "5.0".
std::string programVersion();
// The commit the program was built from as git describes it ("3dd3637a1c",
// "3dd3637a1c-dirty"); "" when it was built outside a git checkout.
std::string buildCommit();
// The version with the commit in brackets when known: "5.0 (3dd3637a1c)".
std::string versionText();
// The licence the program is distributed under, as an SPDX name ("GPL-3.0-or-later").
std::string programLicence();

} // namespace qinglan
