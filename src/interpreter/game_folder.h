#pragma once
// The game folder: every file the player opens ("code.vrn", pictures, the
// cursor, music) is found here, by one set of rules.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace vorn {

struct FileLookup {
    std::optional<std::filesystem::path> path; // empty when nothing matches
    bool byFallback = false; // found only by treating `\` as a separator or ignoring case
};

struct FileContents {
    std::string bytes;
    std::string error; // empty on success; otherwise why the file could not be read
};

class GameFolder {
  public:
    explicit GameFolder(std::filesystem::path root);

    const std::filesystem::path& root() const { return root_; }

    // A name as a script or the program gives it, in UTF-8. The name as written
    // is tried first; failing that, backslashes separate folders and each part
    // matches a directory entry whatever its ASCII letter case (the first of
    // several in byte order), as games made on Windows expect.
    FileLookup resolve(std::string_view name) const;

    // Reads a whole regular file found by resolve(). Never blocks on a FIFO or a
    // device and refuses files larger than `maxBytes`.
    FileContents read(std::string_view name, std::size_t maxBytes) const;

  private:
    std::filesystem::path root_;
};

} // namespace vorn
