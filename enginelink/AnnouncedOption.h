#pragma once

#include "settings/SettingsRecords.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The options an engine announces about itself, read from its "option ..." lines
// (UCCI "option NAME type ..." and UCI "option name NAME type ..."), and the lines
// that set them. Engines are not trusted: whatever they announce is bounded here.

namespace qinglan {

// AnnouncedOption itself is a settings record: it is part of an EngineProfile.

// Bounds on what one engine may announce.
inline constexpr std::size_t MAX_ENGINE_OPTIONS = 500;
inline constexpr std::size_t MAX_OPTION_CHOICES = 200;
inline constexpr std::size_t MAX_OPTION_NAME_BYTES = 100;

// True when text holds a byte below 0x20 or DEL: such text could end or split a line
// sent to an engine, so it is never sent.
bool hasControlCharacter(std::string_view text);

// A number option's text as an integer, saturated at the ends of the long long range;
// nullopt for text that is no integer.
std::optional<long long> optionInteger(std::string_view text);

// The option an "option ..." line announces; nullopt for other lines, for names that
// are empty, too long or hold a control character, for a default with a control
// character, and for types the program has no control for. Choices with a control
// character are left out.
std::optional<AnnouncedOption> parseOptionLine(std::string_view line);

// Whether value suits the option as announced: "true"/"false" for a check box, an
// integer within the limits for a number, one of the choices for a list, text without
// control characters for a string. Buttons take no value.
bool acceptsOptionValue(const AnnouncedOption& option, std::string_view value);

// The line that sets the option ("setoption name X value V" in UCI, "setoption X V" in
// UCCI); a button's line has no value.
std::string optionCommand(
    const AnnouncedOption& option, std::string_view value, EngineProtocol protocol);

// Options the program sets itself from the general page (hash size, threads, pondering,
// the UCCI book and style options, UCI's MultiPV), so they are not offered again.
bool isProgramOption(std::string_view name, EngineProtocol protocol);

// An option that would switch the protocol the engine speaks ("Protocol"): never
// offered, stored or sent, since the engine would then stop understanding us.
bool switchesProtocol(std::string_view name);

// The value the program always gives an option, whatever was stored: "xiangqi" for a
// "UCI_Variant" list that offers it, since this program plays nothing else.
std::optional<std::string> fixedOptionValue(const AnnouncedOption& option);

// A string option that names a file or folder, judged by its name or default.
bool looksLikePath(const AnnouncedOption& option);

// Option names match without ASCII case, as UCI's do, and "_" matches a blank (UCCI's
// "Skill_Level" is UCI's "Skill Level" in engines that speak both).
bool sameOptionName(std::string_view a, std::string_view b);

// The stored value for the option, matched without ASCII case as UCI names are.
const std::string* storedOptionValue(
    const std::map<std::string, std::string>& stored, std::string_view name);
// Removes every stored value of that name, matched the same way.
void eraseStoredOption(std::map<std::string, std::string>& stored, std::string_view name);

} // namespace qinglan
