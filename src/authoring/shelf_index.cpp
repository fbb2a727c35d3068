#include "authoring/shelf_index.h"

#include "game_files/game_archive.h"
#include "game_files/open_game.h"
#include "interpreter/code_page.h"
#include "presentation/picture_decoder.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QSaveFile>
#include <QString>
#include <QUrl>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <map>
#include <ostream>
#include <system_error>

namespace fs = std::filesystem;

namespace vorn {

namespace {

// back.bmp is read within the start screen's bound for a thumbnail's source.
constexpr std::size_t kMaxPictureSourceBytes = 32 * 1024 * 1024;

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); });
    return text;
}

bool playedByThePage(const fs::path& file) {
    const std::string extension = lower(file.extension().string());
    return extension == ".zip" || extension == ".lzh" || extension == ".lha";
}

// Archives the desktop player reads but the page does not.
bool otherArchive(const fs::path& file) {
    static const char* const kinds[] = {".7z", ".rar", ".cab", ".iso", ".tar", ".gz", ".tgz", ".xz", ".bz2"};
    const std::string extension = lower(file.extension().string());
    return std::any_of(std::begin(kinds), std::end(kinds), [&](const char* kind) { return extension == kind; });
}

// The game's title: the last folder of the place that holds its code.vrn, or
// the archive's own name without its extension where code.vrn is at the top.
std::string titleOf(const fs::path& archive, const std::string& gameFolder) {
    std::string folder = gameFolder;
    while (!folder.empty() && folder.back() == '/') folder.pop_back();
    if (folder.empty() || folder == ".") return gameName(archive.parent_path() / archive.stem());
    const std::size_t slash = folder.rfind('/');
    return fileNameReading(slash == std::string::npos ? folder : folder.substr(slash + 1));
}

// back.bmp scaled to fit the picture's size, as a PNG; empty where the game
// has none or it is no picture.
QByteArray pictureOf(const GameFolder& game) {
    if (!game.resolve("back.bmp").place) return {};
    const FileContents back = game.read("back.bmp", kMaxPictureSourceBytes);
    if (!back.error.empty()) return {};
    const auto picture = decodePicture(back.bytes);
    if (!picture) return {};
    const QImage small = picture->scaled(kShelfPictureWidth, kShelfPictureHeight, Qt::KeepAspectRatio,
                                         Qt::SmoothTransformation);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    small.save(&buffer, "PNG");
    return png;
}

// A file name as an address relative to index.json: '#', '?' and '%' in a
// name would otherwise end or change the address.
std::string address(const std::string& name) {
    return QUrl::toPercentEncoding(QString::fromStdString(name)).toStdString();
}

bool writeAtomically(const fs::path& path, const QByteArray& bytes, std::string& why) {
    QSaveFile file(QString::fromStdString(path.string()));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        why = file.errorString().toStdString();
        return false;
    }
    return true;
}

struct Made {
    Shelf shelf;
    std::map<std::string, QByteArray> pictures; // by file name
};

Made readAll(const fs::path& folder) {
    Made made;
    std::vector<fs::path> files;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (it->is_regular_file(ec)) files.push_back(it->path());
    }
    if (ec) {
        made.shelf.errors.push_back(folder.string() + ": cannot read the folder: " + ec.message());
        return made;
    }
    std::sort(files.begin(), files.end());
    for (const fs::path& file : files) {
        const std::string name = file.filename().string();
        if (otherArchive(file)) {
            made.shelf.skipped.push_back(name + ": the page plays .zip and .lzh archives only");
            continue;
        }
        if (!playedByThePage(file)) continue;
        ArchiveGame game = openArchive(file);
        if (!game.folder) {
            made.shelf.errors.push_back(file.string() + ": cannot list it: " + game.error);
            continue;
        }
        ShelfGame listed{titleOf(file, game.games.front()), name, {}};
        if (QByteArray png = pictureOf(*game.folder); !png.isEmpty()) {
            listed.picture = name + ".png";
            made.pictures[listed.picture] = std::move(png);
        }
        made.shelf.games.push_back(std::move(listed));
    }
    return made;
}

} // namespace

Shelf readShelf(const fs::path& folder) { return readAll(folder).shelf; }

std::string shelfIndex(const Shelf& shelf) {
    nlohmann::ordered_json games = nlohmann::ordered_json::array();
    for (const ShelfGame& game : shelf.games) {
        nlohmann::ordered_json entry;
        entry["title"] = game.title;
        entry["archive"] = address(game.archive);
        if (!game.picture.empty()) entry["picture"] = address(game.picture);
        games.push_back(std::move(entry));
    }
    nlohmann::ordered_json index;
    index["games"] = std::move(games);
    // Titles read from archives may hold bytes that are no UTF-8: replaced, not refused.
    return index.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

int makeShelf(const fs::path& folder, std::ostream& out, std::ostream& err) {
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) {
        err << "vorn-shelf: " << folder.string() << ": no such folder; name the folder of the site's game archives\n";
        return 1;
    }
    const Made made = readAll(folder);
    for (const std::string& skipped : made.shelf.skipped) err << "vorn-shelf: skipped " << skipped << "\n";
    if (!made.shelf.errors.empty()) {
        for (const std::string& error : made.shelf.errors) err << "vorn-shelf: " << error << "\n";
        err << "vorn-shelf: nothing written; mend or remove the archives above and run it again\n";
        return 1;
    }
    std::string why;
    for (const auto& [name, png] : made.pictures) {
        if (!writeAtomically(folder / name, png, why)) {
            err << "vorn-shelf: " << (folder / name).string() << ": cannot write it: " << why << "\n";
            return 1;
        }
    }
    const std::string index = shelfIndex(made.shelf);
    if (!writeAtomically(folder / "index.json", QByteArray::fromStdString(index), why)) {
        err << "vorn-shelf: " << (folder / "index.json").string() << ": cannot write it: " << why << "\n";
        return 1;
    }
    out << (folder / "index.json").string() << ": " << made.shelf.games.size() << " game"
        << (made.shelf.games.size() == 1 ? "" : "s") << "\n";
    return 0;
}

} // namespace vorn
