#include "save_store.h"

#include "interpreter/script_stream.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>
#include <algorithm>
#include <filesystem>

namespace vorn {
namespace {

// The picture beside a save is the scene at half its size, some 100 kB; a
// file far larger is not that picture, and is not read.
constexpr qint64 kMaxSlotPictureBytes = 2 * 1024 * 1024;

std::string describe(const QFileDevice& file) { return file.errorString().toStdString(); }

// A game folder's name as a folder name of our own: letters, digits, '.', '-'
// and '_' stay, every other byte is written %XX, and no name starts with '.'.
QString folderName(const std::string& name) {
    QByteArray out;
    for (const char c : name) {
        const auto b = static_cast<unsigned char>(c);
        const bool plain = (b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') || (b >= '0' && b <= '9') || b == '-' ||
                           b == '_' || (b == '.' && !out.isEmpty());
        if (plain)
            out += c;
        else
            out += "%" + QByteArray::number(b, 16).rightJustified(2, '0').toUpper();
    }
    return out.isEmpty() ? QStringLiteral("game") : QString::fromLatin1(out);
}

bool isPictureOf(const QString& file, const std::string& slot) {
    const QString prefix = QString::fromStdString(slot) + ".";
    return file.startsWith(prefix) && file.endsWith(".png") && file.count(QChar('.')) == 2 &&
           !file.contains(QChar('/'));
}

} // namespace

// ---- in a folder ----------------------------------------------------------------

QString FolderSlotStore::userFolder(const std::string& gameName) {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/vorn/saves/" +
           folderName(gameName);
}

QString FolderSlotStore::path(const std::string& file) const { return folder_ + "/" + QString::fromStdString(file); }

std::optional<std::string> FolderSlotStore::readDocument(const std::string& slot, std::string& why) const {
    QFile file(path(slot + ".json"));
    if (!file.exists()) return std::nullopt;
    if (!file.open(QIODevice::ReadOnly)) {
        why = "it cannot be read: " + describe(file);
        return std::nullopt;
    }
    if (file.size() > qint64(kMaxSaveBytes)) { // looked at before anything is read
        why = saveTooLarge().english(); // word for word, so the window translates it
        return std::nullopt;
    }
    // Read straight into the text handed on, no more than the limit and one
    // byte to see a file that grew meanwhile.
    std::string bytes(static_cast<std::size_t>(file.size()) + 1, '\0');
    qint64 done = 0;
    while (done < qint64(bytes.size())) {
        const qint64 got = file.read(bytes.data() + done, qint64(bytes.size()) - done);
        if (got < 0) {
            why = "it cannot be read: " + describe(file);
            return std::nullopt;
        }
        if (got == 0) break;
        done += got;
    }
    if (done > qint64(kMaxSaveBytes)) {
        why = saveTooLarge().english(); // word for word, so the window translates it
        return std::nullopt;
    }
    bytes.resize(static_cast<std::size_t>(done));
    return bytes;
}

std::string FolderSlotStore::write(const std::string& slot, const std::string& png, const MakeDocument& document) {
    if (!QDir().mkpath(folder_)) return "the folder " + folder_.toStdString() + " cannot be made";
    const auto writeWhole = [this](const std::string& name, const QByteArray& bytes) -> std::string {
        QSaveFile file(path(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
            return "cannot write " + path(name).toStdString() + ": " + describe(file);
        return "";
    };
    // The picture goes under a name of its own, so the old document and the
    // old picture stay a pair until the new document replaces the old one.
    std::optional<std::string> picture;
    if (!png.empty()) {
        picture = slot + "." + std::to_string(QDateTime::currentMSecsSinceEpoch()) + ".png";
        if (std::string why = writeWhole(*picture, QByteArray::fromStdString(png)); !why.empty()) return why;
    }
    if (std::string why = writeWhole(slot + ".json", QByteArray::fromStdString(document(picture))); !why.empty()) {
        if (picture) QFile::remove(path(*picture));
        return why;
    }
    removePicturesExcept(slot, picture);
    return "";
}

void FolderSlotStore::removePicturesExcept(const std::string& slot, const std::optional<std::string>& keep) const {
    const QDir dir(folder_);
    for (const QString& name : dir.entryList({QString::fromStdString(slot) + ".*.png"}, QDir::Files))
        if (isPictureOf(name, slot) && (!keep || name.toStdString() != *keep)) QFile::remove(dir.filePath(name));
}

std::string FolderSlotStore::readPicture(const std::string& slot, const std::string& picture) const {
    if (!isPictureOf(QString::fromStdString(picture), slot)) return {}; // only a file of this slot, in this folder
    QFile file(path(picture));
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxSlotPictureBytes) return {};
    return file.read(kMaxSlotPictureBytes).toStdString();
}

std::vector<std::string> FolderSlotStore::slotNames() const {
    std::vector<std::string> names;
    for (const QString& name : QDir(folder_).entryList({"*.json"}, QDir::Files, QDir::Name)) {
        const std::string slot = name.chopped(5).toStdString();
        if (isSlotName(slot)) names.push_back(slot);
    }
    return names;
}

std::string FolderSlotStore::remove(const std::string& slot) {
    QFile file(path(slot + ".json"));
    if (file.exists() && !file.remove())
        return "cannot delete " + file.fileName().toStdString() + ": " + describe(file);
    removePicturesExcept(slot, std::nullopt);
    return "";
}

// ---- the desktop's saves ----------------------------------------------------------

Saves::Saves(Interpreter& interpreter, const GameFolder& folder, SlotStore& store)
    : Saves(interpreter, folder, store, gameName(folder), &Saves::scriptHash) {}

std::string Saves::gameName(const GameFolder& folder) {
    std::error_code ec;
    // The folder on disk, or the archive and the folder inside it that holds the game.
    const std::filesystem::path described(folder.describe());
    std::filesystem::path path = std::filesystem::weakly_canonical(described, ec);
    if (ec) path = std::filesystem::absolute(described, ec);
    std::string name = path.filename().string();
    if (name.empty()) name = path.parent_path().filename().string(); // a path that ends in '/'
    return name;
}

std::string Saves::scriptHash(std::string_view script) {
    const QByteArray bytes = QByteArray::fromRawData(script.data(), static_cast<qsizetype>(script.size()));
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex().toStdString();
}

QString saveFolder(const GameFolder& game, const std::optional<std::filesystem::path>& saveDir) {
    if (saveDir) return QFile::decodeName(saveDir->c_str());
    return FolderSlotStore::userFolder(Saves::gameName(game));
}

// The game's own kept place, as Saves::ownSlot() finds it for the script in
// the folder. A slot that cannot be read counts, so that going on tells the
// reader why it cannot; one of another game (all games share the folder given
// by --save-dir) does not.
bool hasContinueSlot(const GameFolder& game, const std::optional<std::filesystem::path>& saveDir) {
    const FolderSlotStore store(saveFolder(game, saveDir));
    const FileContents script = game.read(kScriptName, ScriptStream::kMaxScriptBytes);
    const GameIdentity owner{Saves::gameName(game), script.error.empty() ? Saves::scriptHash(script.bytes) : ""};
    std::string why;
    const std::optional<std::string> bytes = store.readDocument(ownSlot(store, kContinueSlot, owner, false), why);
    if (!bytes) return !why.empty();
    const std::optional<SaveDocument> document = decodeSave(*bytes, why);
    return !document || document->game.name == Saves::gameName(game);
}

} // namespace vorn
