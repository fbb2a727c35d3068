#pragma once
// How the player would fare with a file that the script or the player names:
// found by the player's own resolver (exactly, or only by its fallback), read
// with the player's own limits, and decoded by the player's own decoder.

#include "interpreter/game_folder.h"

#include <map>
#include <string>

namespace vorn::authoring {

enum class FileStatus {
    Found,
    FoundByFallback, // only by ignoring letter case or reading '\' as a folder separator
    Missing,
    Unreadable,  // a folder, a device, too large, or a read error
    NotAPicture, // read, but the player cannot decode it
};

struct FileReport {
    FileStatus status = FileStatus::Found;
    std::string actualName; // FoundByFallback: the name the file really has, relative to the folder
    std::string detail;     // Unreadable: why
};

class GameFiles {
  public:
    explicit GameFiles(const GameFolder& folder) : folder_(folder) {}

    // Names in UTF-8, exactly as the script gives them. Each name is looked at once.
    const FileReport& picture(const std::string& name) { return look(name, Kind::Picture); }
    const FileReport& icon(const std::string& name) { return look(name, Kind::Icon); }
    const FileReport& music(const std::string& name) { return look(name, Kind::Music); }

  private:
    enum class Kind { Picture, Icon, Music };
    const FileReport& look(const std::string& name, Kind kind);

    const GameFolder& folder_;
    std::map<std::pair<int, std::string>, FileReport> seen_;
};

// Decodes a picture the way the player does, each file name once.
class PictureDecodeCache {
  public:
    bool decodes(const std::string& name, const std::string& bytes);

  private:
    std::map<std::string, bool> seen_;
};

} // namespace vorn::authoring
