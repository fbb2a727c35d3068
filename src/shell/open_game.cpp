#include "open_game.h"

#include "interpreter/code_page.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace vorn {
namespace fs = std::filesystem;
namespace {

std::string lowerAscii(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

bool validUtf8(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        const std::size_t length = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
        if (length == 0 || i + length > s.size()) return false;
        for (std::size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        i += length;
    }
    return true;
}

// Absolute, with `.` and `..` and symbolic links worked out where they exist,
// so that one game is one entry of the list however it was reached.
fs::path absoluteLocation(const fs::path& path) {
    std::error_code ec;
    fs::path p = fs::weakly_canonical(path, ec);
    if (ec) p = fs::absolute(path, ec).lexically_normal();
    return p;
}

std::string quoted(const fs::path& path) { return "\"" + gameName(path) + "\""; }

} // namespace

bool looksLikeArchive(const fs::path& path) {
    static constexpr std::array<std::string_view, 8> kinds = {".zip", ".lzh", ".lha", ".7z", ".rar", ".cab", ".iso", ".tar"};
    const std::string extension = lowerAscii(path.extension().string());
    return std::find(kinds.begin(), kinds.end(), extension) != kinds.end();
}

std::string gameName(const fs::path& location) {
    fs::path p = location;
    if (!p.has_filename()) p = p.parent_path(); // a folder given as "name/"
    const std::string name = p.filename().string();
    if (name.empty()) return p.string();
    return validUtf8(name) ? name : toUtf8(Encoding::CodePage932, name);
}

OpenedGame openGame(const fs::path& path) {
    OpenedGame opened;
    if (path.empty()) {
        opened.error = "no game was named";
        return opened;
    }
    opened.location = absoluteLocation(path);
    std::error_code ec;
    const fs::file_status status = fs::status(opened.location, ec);
    fs::path folder;
    if (status.type() == fs::file_type::not_found) {
        opened.error = quoted(opened.location) + " is not there any more (" + opened.location.string() +
                       "): it may have been moved, renamed or deleted";
        return opened;
    } else if (status.type() == fs::file_type::directory) {
        folder = opened.location;
    } else if (status.type() == fs::file_type::regular && lowerAscii(opened.location.extension().string()) == ".vrn") {
        folder = opened.location.parent_path();
        opened.location = folder;
    } else if (status.type() == fs::file_type::regular && looksLikeArchive(opened.location)) {
        opened.error = quoted(opened.location) +
                       " is an archive, and this player cannot play games from archives yet: unpack it and open the "
                       "folder that holds its code.vrn";
        return opened;
    } else if (ec || status.type() == fs::file_type::unknown) {
        opened.error = "cannot open " + quoted(opened.location) + ": " + (ec ? ec.message() : "permission denied");
        return opened;
    } else {
        opened.error = quoted(opened.location) + " is not a game: open a game folder, its code.vrn or an archive of it";
        return opened;
    }
    GameFolder game(folder);
    if (!game.resolve("code.vrn").path) {
        opened.error = "the folder " + quoted(folder) + " holds no code.vrn, so it is not a VORN game (" +
                       folder.string() + ")";
        return opened;
    }
    opened.folder = std::move(game);
    return opened;
}

} // namespace vorn
