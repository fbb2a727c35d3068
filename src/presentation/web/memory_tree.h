#pragma once
// A game's files held in memory, as the page read them from a folder or an
// archive chosen by the reader.

#include "interpreter/game_folder.h"

#include <map>
#include <set>
#include <string>

namespace vorn {

// The files of a game folder or archive as the page read them; places are
// '/'-separated paths below the game folder, "" for the folder itself.
class MemoryTree : public FileTree {
  public:
    void add(const std::string& path, std::string bytes) {
        files_[path] = std::move(bytes);
        for (std::size_t slash = path.find('/'); slash != std::string::npos; slash = path.find('/', slash + 1))
            folders_.insert(path.substr(0, slash));
    }
    std::string gameRoot() const override { return ""; }
    std::optional<std::string> top() const override { return std::nullopt; }
    std::optional<std::string> child(const std::string& place, const std::string& entry) const override {
        return joinedChild(place, entry);
    }
    bool exists(const std::string& place) const override { return files_.count(place) || isFolder(place); }
    bool isFolder(const std::string& place) const override { return place.empty() || folders_.count(place); }
    std::vector<std::string> entries(const std::string& place) const override {
        std::set<std::string> names;
        const std::string prefix = place.empty() ? "" : place + "/";
        const auto collect = [&](const std::string& path) {
            if (path.compare(0, prefix.size(), prefix) != 0 || path.size() == prefix.size()) return;
            const std::string rest = path.substr(prefix.size());
            names.insert(rest.substr(0, rest.find('/')));
        };
        for (const auto& [path, bytes] : files_) collect(path);
        for (const std::string& folder : folders_) collect(folder);
        return {names.begin(), names.end()};
    }
    FileContents read(const std::string& place, std::size_t maxBytes) const override {
        const auto it = files_.find(place);
        if (it == files_.end()) return {{}, isFolder(place) ? kIsAFolder : "no such file"};
        if (it->second.size() > maxBytes) return {{}, fileTooLarge(maxBytes)};
        return {it->second, {}};
    }
    std::string describe() const override { return name_; }
    void setName(const std::string& name) { name_ = name; }

  private:
    std::map<std::string, std::string> files_;
    std::set<std::string> folders_;
    std::string name_;
};

} // namespace vorn
