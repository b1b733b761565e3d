#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// A profile-string file: "[section]" lines followed by "key=value" lines, UTF-8.
// Sections and keys match case-insensitively (ASCII); lines the program never
// writes (comments, other sections, keys without "=") are kept as they were.
// The file is read once when the object is made; writes stay in memory until
// save(), so the writes of a whole session reach the disk together.

namespace qinglan {

// The integer reading rule of the settings file: leading blanks skipped, an optional
// sign, then decimal digits up to the first other character; no digits gives 0.
// Values past the int range are clamped to it.
int parseProfileInt(std::string_view text);
// Plain decimal: no sign for non-negative values, no leading zeros or blanks.
std::string formatProfileInt(int value);

class ProfileFile {
public:
    enum class LoadState {
        Loaded, // read, possibly empty
        Missing, // no file: every read gives its default
        Unreadable, // there, but not readable (or a folder): reads give defaults
    };

    // Reads readPath now; save() writes savePath (they differ when the file beside the
    // program cannot be written and the user's configuration folder is used instead).
    ProfileFile(const std::string& readPath, std::string savePath);
    explicit ProfileFile(const std::string& path)
        : ProfileFile(path, path) { }
    ProfileFile(ProfileFile&&) noexcept;
    ProfileFile& operator=(ProfileFile&&) noexcept;
    ~ProfileFile();

    LoadState loadState() const { return loadState_; }
    const std::string& savePath() const { return savePath_; }

    // The stored text, or fallback when the section or key is missing. A first
    // duplicate of a key wins; one pair of surrounding double quotes is removed.
    std::string read(
        std::string_view section, std::string_view key, std::string_view fallback) const;
    int readInt(std::string_view section, std::string_view key, int fallback) const;
    // Every key of the section with its value (read as read() does), in file order.
    std::vector<std::pair<std::string, std::string>> entries(std::string_view section) const;

    // False, and nothing changes, when the text cannot be kept on one line (a line
    // break or NUL anywhere, "]" in a section, "=" in a key, blank or empty names).
    // Leading or trailing blanks and surrounding quotes are kept by quoting the value.
    bool write(std::string_view section, std::string_view key, std::string_view value);
    bool writeInt(std::string_view section, std::string_view key, int value);
    // Drops the section with all its keys.
    void removeSection(std::string_view section);

    // Writes the whole file (no byte-order mark), creating its folder when needed.
    // False when it could not be written; also false, without touching the disk, when
    // the same file was there but unreadable, so that it is never overwritten blind.
    bool save();

private:
    struct Store;
    std::unique_ptr<Store> store_;
    LoadState loadState_ = LoadState::Missing;
    bool sameFile_ = true;
    std::string savePath_;
};

} // namespace qinglan
