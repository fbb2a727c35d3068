#include "archive_names.h"

#include "interpreter/code_page.h"
#include "interpreter/script_stream.h"

#include <algorithm>
#include <charconv>

namespace vorn {
namespace {

constexpr const char* kAbsoluteEntry =
    VORN_TR("the archive holds an entry with an absolute path (\"%1\"); the player refuses such archives");
constexpr const char* kEntryOutside =
    VORN_TR("the archive holds an entry that points out of it (\"%1\"); the player refuses such archives");
constexpr const char* kTooManyEntries = VORN_TR("the archive holds more than %1 entries");

// The parts of a stored name, split at '/' and '\' where they are whole
// characters: a code page 932 name keeps its 0x5C trail bytes.
std::vector<std::string> splitStoredName(const std::string& stored) {
    const Encoding encoding = isValidUtf8(stored) ? Encoding::Utf8 : Encoding::CodePage932;
    std::vector<std::string> parts{{}};
    for (std::size_t i = 0; i < stored.size();) {
        const std::size_t len = characterLength(encoding, stored, i);
        if (len == 1 && (stored[i] == '/' || stored[i] == '\\'))
            parts.emplace_back();
        else
            parts.back().append(stored, i, len);
        i += len;
    }
    return parts;
}

bool isAbsolute(const std::string& stored) {
    if (stored.empty()) return false;
    if (stored[0] == '/' || stored[0] == '\\') return true;
    const char d = stored[0];
    return stored.size() >= 2 && stored[1] == ':' && ((d >= 'A' && d <= 'Z') || (d >= 'a' && d <= 'z'));
}

bool isScriptName(const std::string& stored) { return asciiLower(fileNameReading(stored)) == kScriptName; }

std::string joinedName(const std::vector<std::string>& parts) {
    std::string name;
    for (const std::string& part : parts) {
        if (!name.empty()) name += '/';
        name += part;
    }
    return name;
}

// The start of a long name as a person reads it, for a message: whole
// characters, and "…" where it was cut.
std::string nameStart(const std::string& stored) {
    constexpr std::size_t kShown = 80;
    const std::string reading = fileNameReading(stored.substr(0, 4 * kShown));
    std::size_t end = 0;
    for (std::size_t n = 0; end < reading.size() && n < kShown; ++n)
        end += characterLength(Encoding::Utf8, reading, end);
    return end < reading.size() || stored.size() > 4 * kShown ? reading.substr(0, end) + "\u2026" : reading;
}

} // namespace

StoredNameTree::StoredNameTree(std::string name) : name_(std::move(name)) { nodes_.emplace_back(); }

Message StoredNameTree::add(const std::string& stored, Kind kind, std::size_t entry, std::optional<std::size_t> size) {
    if (stored.size() > kMaxArchiveNameBytes)
        return Message(kArchiveNameTooLong,
                       {Message::words(std::to_string(stored.size())), Message::words(nameStart(stored)),
                        Message::words(std::to_string(kMaxArchiveNameBytes))});
    if (isAbsolute(stored)) return Message(kAbsoluteEntry, {Message::words(fileNameReading(stored))});
    return insert(splitStoredName(stored), kind, entry, size, stored);
}

Message StoredNameTree::addParts(std::vector<std::string> parts, Kind kind, std::size_t entry,
                                 std::optional<std::size_t> size) {
    const std::string shown = joinedName(parts);
    if (shown.size() > kMaxArchiveNameBytes)
        return Message(kArchiveNameTooLong,
                       {Message::words(std::to_string(shown.size())), Message::words(nameStart(shown)),
                        Message::words(std::to_string(kMaxArchiveNameBytes))});
    return insert(std::move(parts), kind, entry, size, shown);
}

Message StoredNameTree::insert(std::vector<std::string> parts, Kind kind, std::size_t entry,
                               std::optional<std::size_t> size, const std::string& stored) {
    const auto tooMany = [] { return Message(kTooManyEntries, {Message::words(std::to_string(kMaxArchiveEntries))}); };
    if (added_ >= kMaxArchiveEntries) return tooMany();
    ++added_;
    parts.erase(std::remove_if(parts.begin(), parts.end(), [](const std::string& p) { return p.empty() || p == "."; }),
                parts.end());
    if (std::find(parts.begin(), parts.end(), "..") != parts.end())
        return Message(kEntryOutside, {Message::words(fileNameReading(stored))});
    if (parts.size() > kMaxArchiveFolderDepth + 1)
        return Message(kArchiveNameTooDeep,
                       {Message::words(std::to_string(parts.size() - 1)), Message::words(nameStart(stored)),
                        Message::words(std::to_string(kMaxArchiveFolderDepth))});
    std::size_t at = 0;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const bool last = i + 1 == parts.size();
        const auto found = nodes_[at].children.find(parts[i]);
        const bool added = found == nodes_[at].children.end();
        std::size_t n = 0;
        if (added) {
            if (nodes_.size() > kMaxArchiveEntries) return tooMany();
            n = nodes_.size();
            Node fresh;
            fresh.parent = at;
            fresh.name = parts[i];
            nodes_.push_back(std::move(fresh));
            nodes_[at].children.emplace(parts[i], n);
        } else {
            n = found->second;
        }
        Node& node = nodes_[n];
        if (!last) {
            node.kind = Kind::Folder; // a folder named in a path wins over a file of that name
        } else if (kind == Kind::Folder) {
            node.kind = Kind::Folder;
        } else if (added || node.kind != Kind::Folder) {
            node.kind = kind;
            node.entry = entry;
            node.declaredSize = size;
        }
        at = n;
    }
    return {};
}

const StoredNameTree::Node* StoredNameTree::node(const std::string& place) const {
    std::size_t n = 0;
    const char* end = place.data() + place.size();
    const auto [stop, error] = std::from_chars(place.data(), end, n);
    if (place.empty() || error != std::errc() || stop != end || n >= nodes_.size()) return nullptr;
    return &nodes_[n];
}

std::optional<std::string> StoredNameTree::child(std::string place, const std::string& entry) const {
    const Node* at = node(place);
    if (!at) return std::nullopt;
    if (entry == ".") return place;
    if (entry == "..") {
        if (at == &nodes_.front()) return std::nullopt; // nothing lies above the archive's root
        return std::to_string(at->parent);
    }
    const auto found = at->children.find(entry);
    // A place that is not there, as a folder on disk names a missing file.
    return std::to_string(found == at->children.end() ? nodes_.size() : found->second);
}

bool StoredNameTree::isFolder(const std::string& place) const {
    const Node* n = node(place);
    return n && n->kind == Kind::Folder;
}

std::vector<std::string> StoredNameTree::entries(const std::string& place) const {
    std::vector<std::string> names;
    if (const Node* n = node(place))
        for (const auto& [name, index] : n->children) names.push_back(name);
    return names;
}

std::size_t StoredNameTree::depth(std::size_t n) const {
    std::size_t d = 0;
    for (; n != 0; n = nodes_[n].parent) ++d;
    return d;
}

std::string StoredNameTree::storedPath(std::size_t n) const {
    std::vector<const std::string*> names;
    for (; n != 0; n = nodes_[n].parent) names.push_back(&nodes_[n].name);
    std::string path;
    for (auto it = names.rbegin(); it != names.rend(); ++it) {
        if (!path.empty()) path += '/';
        path += **it;
    }
    return path;
}

std::string StoredNameTree::readablePath(std::size_t n) const {
    std::vector<const std::string*> names;
    for (; n != 0; n = nodes_[n].parent) names.push_back(&nodes_[n].name);
    std::string path;
    for (auto it = names.rbegin(); it != names.rend(); ++it) {
        if (!path.empty()) path += '/';
        path += fileNameReading(**it);
    }
    return path;
}

std::vector<std::string> StoredNameTree::gameFolders() const {
    struct Game {
        std::size_t depth;
        std::string path;
        std::size_t node;
    };
    std::vector<Game> games;
    for (std::size_t n = 0; n < nodes_.size(); ++n) {
        if (nodes_[n].kind != Kind::Folder) continue;
        for (const auto& [name, index] : nodes_[n].children) {
            if (nodes_[index].kind == Kind::File && isScriptName(name)) {
                games.push_back({depth(n), storedPath(n), n});
                break;
            }
        }
    }
    std::sort(games.begin(), games.end(),
              [](const Game& a, const Game& b) { return a.depth != b.depth ? a.depth < b.depth : a.path < b.path; });
    std::vector<std::string> places;
    for (const Game& game : games) places.push_back(std::to_string(game.node));
    return places;
}

std::vector<std::string> StoredNameTree::chooseGame() {
    const std::vector<std::string> folders = gameFolders();
    std::vector<std::string> games;
    for (const std::string& place : folders) {
        const std::size_t n = static_cast<std::size_t>(node(place) - nodes_.data());
        games.push_back(n == 0 ? "." : readablePath(n));
    }
    if (!folders.empty()) gameRoot_ = static_cast<std::size_t>(node(folders.front()) - nodes_.data());
    return games;
}

FileContents StoredNameTree::read(const std::string& place, std::size_t maxBytes) const {
    const Node* found = node(place);
    if (!found) return {{}, kNoSuchFile};
    const Node& node = *found;
    if (node.kind == Kind::Folder) return {{}, kIsAFolder};
    if (node.kind == Kind::Other) return {{}, kNotARegularFile};
    if (node.declaredSize && *node.declaredSize > maxBytes) return FileContents::refused(fileTooLargeReason(maxBytes));
    return readEntry(node.entry, maxBytes);
}

std::string StoredNameTree::describe() const {
    if (gameRoot_ == 0) return name_;
    return name_.empty() ? readablePath(gameRoot_) : name_ + '/' + readablePath(gameRoot_);
}

std::string severalGamesNotice(const std::string& archive, const std::vector<std::string>& games) {
    if (games.size() < 2) return {};
    std::string notice = "\"" + archive + "\" holds " + std::to_string(games.size()) + " games (";
    for (std::size_t i = 0; i < games.size(); ++i) notice += (i ? ", " : "") + games[i];
    return notice + "); playing the top-most, \"" + games.front() + "\"";
}

} // namespace vorn
