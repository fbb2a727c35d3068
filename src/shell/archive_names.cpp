#include "archive_names.h"

#include "interpreter/code_page.h"
#include "interpreter/script_stream.h"

#include <algorithm>

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
    for (const std::string& part : parts) name += (name.empty() ? "" : "/") + part;
    return name;
}

} // namespace

StoredNameTree::StoredNameTree(std::string name) : name_(std::move(name)) { nodes_[""]; }

Message StoredNameTree::add(const std::string& stored, Kind kind, std::size_t entry, std::optional<std::size_t> size) {
    if (isAbsolute(stored)) return Message(kAbsoluteEntry, {Message::words(fileNameReading(stored))});
    return insert(splitStoredName(stored), kind, entry, size, stored);
}

Message StoredNameTree::addParts(std::vector<std::string> parts, Kind kind, std::size_t entry,
                                 std::optional<std::size_t> size) {
    const std::string shown = joinedName(parts);
    return insert(std::move(parts), kind, entry, size, shown);
}

Message StoredNameTree::insert(std::vector<std::string> parts, Kind kind, std::size_t entry,
                               std::optional<std::size_t> size, const std::string& stored) {
    if (added_ >= kMaxArchiveEntries)
        return Message(kTooManyEntries, {Message::words(std::to_string(kMaxArchiveEntries))});
    ++added_;
    parts.erase(std::remove_if(parts.begin(), parts.end(), [](const std::string& p) { return p.empty() || p == "."; }),
                parts.end());
    if (std::find(parts.begin(), parts.end(), "..") != parts.end())
        return Message(kEntryOutside, {Message::words(fileNameReading(stored))});
    std::string place;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const bool last = i + 1 == parts.size();
        const std::string parent = place;
        place = place.empty() ? parts[i] : place + '/' + parts[i];
        auto [it, added] = nodes_.try_emplace(place);
        if (added) nodes_[parent].children.push_back(parts[i]);
        Node& node = it->second;
        if (!last) {
            node.kind = Kind::Folder; // a folder named in a path wins over a file of that name
        } else if (kind == Kind::Folder) {
            node.kind = Kind::Folder;
        } else if (added || node.kind != Kind::Folder) {
            node.kind = kind;
            node.entry = entry;
            node.declaredSize = size;
        }
    }
    return {};
}

void StoredNameTree::finish() {
    for (auto& [place, node] : nodes_) std::sort(node.children.begin(), node.children.end());
}

bool StoredNameTree::isFolder(const std::string& place) const {
    const auto it = nodes_.find(place);
    return it != nodes_.end() && it->second.kind == Kind::Folder;
}

std::vector<std::string> StoredNameTree::entries(const std::string& place) const {
    const auto it = nodes_.find(place);
    return it == nodes_.end() ? std::vector<std::string>{} : it->second.children;
}

std::vector<std::string> StoredNameTree::gameFolders() const {
    std::vector<std::string> folders;
    for (const auto& [place, node] : nodes_) {
        if (node.kind != Kind::Folder) continue;
        for (const std::string& name : node.children) {
            const auto it = nodes_.find(child(place, name).value());
            if (it->second.kind == Kind::File && isScriptName(name)) {
                folders.push_back(place);
                break;
            }
        }
    }
    const auto depth = [](const std::string& place) {
        return place.empty() ? 0 : 1 + std::count(place.begin(), place.end(), '/');
    };
    std::stable_sort(folders.begin(), folders.end(), [&](const std::string& a, const std::string& b) {
        return depth(a) != depth(b) ? depth(a) < depth(b) : a < b;
    });
    return folders;
}

std::vector<std::string> StoredNameTree::chooseGame() {
    const std::vector<std::string> folders = gameFolders();
    std::vector<std::string> games;
    for (const std::string& place : folders) games.push_back(place.empty() ? "." : readablePath(place));
    if (!folders.empty()) gameRoot_ = folders.front();
    return games;
}

FileContents StoredNameTree::read(const std::string& place, std::size_t maxBytes) const {
    const auto it = nodes_.find(place);
    if (it == nodes_.end()) return {{}, kNoSuchFile};
    const Node& node = it->second;
    if (node.kind == Kind::Folder) return {{}, kIsAFolder};
    if (node.kind == Kind::Other) return {{}, kNotARegularFile};
    if (node.declaredSize && *node.declaredSize > maxBytes) return FileContents::refused(fileTooLargeReason(maxBytes));
    return readEntry(node.entry, maxBytes);
}

std::string StoredNameTree::describe() const {
    if (gameRoot_.empty()) return name_;
    return name_.empty() ? readablePath(gameRoot_) : name_ + '/' + readablePath(gameRoot_);
}

std::string readablePath(const std::string& place) {
    std::string out;
    std::size_t start = 0;
    while (true) {
        const std::size_t slash = place.find('/', start);
        out += fileNameReading(place.substr(start, slash - start));
        if (slash == std::string::npos) return out;
        out += '/';
        start = slash + 1;
    }
}

std::string severalGamesNotice(const std::string& archive, const std::vector<std::string>& games) {
    if (games.size() < 2) return {};
    std::string notice = "\"" + archive + "\" holds " + std::to_string(games.size()) + " games (";
    for (std::size_t i = 0; i < games.size(); ++i) notice += (i ? ", " : "") + games[i];
    return notice + "); playing the top-most, \"" + games.front() + "\"";
}

} // namespace vorn
