#include "open_game.h"

#include "archive_names.h"
#include "game_archive.h"
#include "interpreter/code_page.h"
#include "interpreter/script_stream.h"

#include <new>

namespace vorn {
namespace fs = std::filesystem;
namespace {

constexpr const char* kNoGameNamed = VORN_TR("no game was named");
constexpr const char* kNoSuchGame = VORN_TR("the game \"%1\" does not exist");
constexpr const char* kNoGame = VORN_TR("\"%1\" is neither a game folder, a .vrn script nor an archive");

// Why nothing can be played, in English and for wording in the reader's language.
OpenedGame& fail(OpenedGame& opened, Message problem) {
    opened.error = problem.english();
    opened.problem = std::move(problem);
    return opened;
}

// Absolute, with `.` and `..` and symbolic links worked out where they exist,
// so that one game is one entry of the list however it was reached.
fs::path absoluteLocation(const fs::path& path) {
    std::error_code ec;
    fs::path p = fs::weakly_canonical(path, ec);
    if (ec) p = fs::absolute(path, ec).lexically_normal();
    return p;
}

} // namespace

std::string gameName(const fs::path& location) {
    fs::path p = location;
    if (!p.has_filename()) p = p.parent_path(); // a folder given as "name/"
    const std::string name = p.filename().string();
    if (name.empty()) return p.string();
    return fileNameReading(name);
}

bool holdsGame(const OpenedGame& opened) { return opened.folder && opened.folder->resolve("code.vrn").place; }

namespace {

OpenedGame openWhatIsNamed(const fs::path& path) {
    OpenedGame opened;
    if (path.empty()) return fail(opened, Message(kNoGameNamed));
    opened.location = absoluteLocation(path);
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (fs::is_directory(status)) {
        opened.folder.emplace(path);
        return opened;
    }
    if (!fs::exists(status)) return fail(opened, Message(kNoSuchGame, {Message::words(path.string())}));
    if (fs::is_regular_file(status) && asciiLower(path.extension().string()) == ".vrn") {
        opened.folder.emplace(path.has_parent_path() ? path.parent_path() : fs::path("."));
        opened.location = opened.location.parent_path();
        return opened;
    }
    if (!fs::is_regular_file(status)) return fail(opened, Message(kNoGame, {Message::words(path.string())}));
    ArchiveGame archive = openArchive(path);
    if (!archive.folder)
        return fail(opened, Message(kArchiveUnplayable, {Message::words(path.string()), archive.problem}));
    opened.folder = std::move(archive.folder);
    opened.notice = severalGamesNotice(path.string(), archive.games);
    return opened;
}

} // namespace

OpenedGame openGame(const fs::path& path) {
    // A hostile archive's index, or a game too large for this machine, may
    // need more memory than there is: that is a reason not to play, told
    // like any other, never an exception out of the front end.
    try {
        return openWhatIsNamed(path);
    } catch (const std::bad_alloc&) {
        OpenedGame opened;
        return fail(opened,
                    Message(kArchiveUnplayable, {Message::words(path.string()), Message(kNotEnoughMemoryToOpen)}));
    }
}

std::string scriptEncodingNote(const GameFolder& folder) {
    const FileContents script = folder.read(kScriptName, ScriptStream::kMaxScriptBytes);
    if (!script.error.empty() || !looksLikeUtf8WithoutMark(script.bytes)) return "";
    return std::string(kScriptName) + ": " + kUtf8WithoutMarkNote + "; " + kUtf8WithoutMarkHint + ".";
}

} // namespace vorn
