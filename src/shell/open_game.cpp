#include "open_game.h"

#include "game_archive.h"

namespace vorn {
namespace fs = std::filesystem;
namespace {

constexpr const char* kNoSuchGame = VORN_TR("the game \"%1\" does not exist");
constexpr const char* kNoGame = VORN_TR("\"%1\" is neither a game folder, a .vrn script nor an archive");
constexpr const char* kArchiveUnplayable = VORN_TR("cannot play \"%1\": %2.");

OpenedGame failed(Message problem) {
    OpenedGame opened;
    opened.error = problem.english();
    opened.problem = std::move(problem);
    return opened;
}

} // namespace

OpenedGame openGame(const fs::path& path) {
    OpenedGame opened;
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (fs::is_directory(status)) {
        opened.folder.emplace(path);
        return opened;
    }
    if (!fs::exists(status)) return failed(Message(kNoSuchGame, {Message::words(path.string())}));
    std::string extension = path.extension().string();
    for (char& c : extension) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    if (fs::is_regular_file(status) && extension == ".vrn") {
        opened.folder.emplace(path.has_parent_path() ? path.parent_path() : fs::path("."));
        return opened;
    }
    if (!fs::is_regular_file(status)) return failed(Message(kNoGame, {Message::words(path.string())}));
    ArchiveGame archive = openArchive(path);
    if (!archive.folder)
        return failed(Message(kArchiveUnplayable, {Message::words(path.string()), Message::sentence(archive.error)}));
    opened.folder = std::move(archive.folder);
    if (archive.games.size() > 1) {
        opened.notice = "\"" + path.string() + "\" holds " + std::to_string(archive.games.size()) + " games (";
        for (std::size_t i = 0; i < archive.games.size(); ++i) opened.notice += (i ? ", " : "") + archive.games[i];
        opened.notice += "); playing the top-most, \"" + archive.games.front() + "\"";
    }
    return opened;
}

} // namespace vorn
