#include "open_game.h"

#include "game_archive.h"
#include "interpreter/code_page.h"
#include "interpreter/script_stream.h"

namespace vorn {
namespace fs = std::filesystem;

OpenedGame openGame(const fs::path& path) {
    OpenedGame opened;
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (fs::is_directory(status)) {
        opened.folder.emplace(path);
        return opened;
    }
    if (!fs::exists(status)) {
        opened.error = "the game \"" + path.string() + "\" does not exist";
        return opened;
    }
    std::string extension = path.extension().string();
    for (char& c : extension) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    if (fs::is_regular_file(status) && extension == ".vrn") {
        opened.folder.emplace(path.has_parent_path() ? path.parent_path() : fs::path("."));
        return opened;
    }
    if (!fs::is_regular_file(status)) {
        opened.error = "\"" + path.string() + "\" is neither a game folder, a .vrn script nor an archive";
        return opened;
    }
    ArchiveGame archive = openArchive(path);
    if (!archive.folder) {
        opened.error = "cannot play \"" + path.string() + "\": " + archive.error + ".";
        return opened;
    }
    opened.folder = std::move(archive.folder);
    if (archive.games.size() > 1) {
        opened.notice = "\"" + path.string() + "\" holds " + std::to_string(archive.games.size()) + " games (";
        for (std::size_t i = 0; i < archive.games.size(); ++i) opened.notice += (i ? ", " : "") + archive.games[i];
        opened.notice += "); playing the top-most, \"" + archive.games.front() + "\"";
    }
    return opened;
}

std::string scriptEncodingNote(const GameFolder& folder) {
    const FileContents script = folder.read(kScriptName, ScriptStream::kMaxScriptBytes);
    if (!script.error.empty() || !looksLikeUtf8WithoutMark(script.bytes)) return "";
    return std::string(kScriptName) + ": " + kUtf8WithoutMarkNote + "; " + kUtf8WithoutMarkHint + ".";
}

} // namespace vorn
