#pragma once
// A game played straight from an archive (zip, lzh, 7z, rar, cab, a CD image,
// whatever libarchive reads): its folders are listed once, and each file is
// unpacked into memory when the game asks for it, and the latest kept within
// a budget. Nothing is written to disk.

#include "interpreter/game_folder.h"
#include "interpreter/message.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace vorn {

struct ArchiveGame {
    std::optional<GameFolder> folder; // empty when the archive cannot be played
    std::string error;                // then: why, for the reader (English)
    Message problem;                  // the same, for wording in the reader's language
    // Every folder in the archive that holds a code.vrn, as read, the one
    // played first: the top-most, among equals the first in byte order.
    std::vector<std::string> games;
};

ArchiveGame openArchive(const std::filesystem::path& archive);

} // namespace vorn
