#pragma once
// An archive's folders as its entries name them, and the game among them:
// every reader of archives (libarchive's on the desktop, the page's own in the
// browser) lists its entries here, so names are split, refused and matched by
// one set of rules whichever reader unpacked them.

#include "interpreter/game_folder.h"
#include "interpreter/message.h"

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace vorn {

inline constexpr const char* kArchiveEncrypted =
    VORN_TR("the archive is encrypted; unpack it with its password, then play the folder");
inline constexpr const char* kArchiveHoldsNoGame = VORN_TR("the archive holds no game: there is no code.vrn in it");

// More entries than any game or CD holds; a hostile archive stops here rather
// than filling the memory with its index.
inline constexpr std::size_t kMaxArchiveEntries = 1'000'000;

// The folders and files of an archive by their stored names: raw bytes, in
// code page 932 or UTF-8, '/' and '\' between folders where they are whole
// characters. Places are the parts joined by '/', a byte that is never part
// of a code page 932 or UTF-8 character; "" is the archive's root.
class StoredNameTree : public FileTree {
  public:
    enum class Kind { Folder, File, Other };

    // `name` is the archive as messages name it.
    explicit StoredNameTree(std::string name);
    void setName(std::string name) { name_ = std::move(name); }

    // Adds the archive's entry number `entry`; a later entry of the same name
    // replaces an earlier one, as when unpacking. Returns why the archive is
    // refused (an absolute name, one that points out of it, too many
    // entries), or nothing.
    Message add(const std::string& stored, Kind kind, std::size_t entry, std::optional<std::size_t> size);
    // The same for a name already split into its parts (a folder's relative
    // path, where only '/' separates).
    Message addParts(std::vector<std::string> parts, Kind kind, std::size_t entry, std::optional<std::size_t> size);
    // Puts each folder's entries in byte order; called after the last add.
    void finish();

    // Every folder that holds a code.vrn, the one to play first: the
    // top-most, among equals the first in byte order.
    std::vector<std::string> gameFolders() const;
    // Plays the first of gameFolders(). Returns their readable names, or,
    // when there is none, leaves the root as it is and returns none.
    std::vector<std::string> chooseGame();

    std::string gameRoot() const override { return gameRoot_; }
    std::optional<std::string> top() const override { return std::nullopt; }
    std::optional<std::string> child(const std::string& place, const std::string& entry) const override {
        return joinedChild(place, entry);
    }
    bool exists(const std::string& place) const override { return nodes_.count(place) != 0; }
    bool isFolder(const std::string& place) const override;
    std::vector<std::string> entries(const std::string& place) const override;
    FileContents read(const std::string& place, std::size_t maxBytes) const final;
    // The archive, and the game's folder in it.
    std::string describe() const override;

  protected:
    // The bytes of entry number `entry`, a file, refusing more than `maxBytes`.
    virtual FileContents readEntry(std::size_t entry, std::size_t maxBytes) const = 0;

  private:
    Message insert(std::vector<std::string> parts, Kind kind, std::size_t entry, std::optional<std::size_t> size,
                   const std::string& stored);

    struct Node {
        Kind kind = Kind::Folder;
        std::vector<std::string> children; // stored names, for a folder
        std::size_t entry = 0;             // the archive's entry, for a file
        std::optional<std::size_t> declaredSize;
    };

    std::string name_;
    std::map<std::string, Node> nodes_;
    std::size_t added_ = 0;
    std::string gameRoot_;
};

// A place as a person reads it, each stored name by its reading.
std::string readablePath(const std::string& place);

// What to tell the reader of an archive that holds several games, of which
// the first is played; empty for one.
std::string severalGamesNotice(const std::string& archive, const std::vector<std::string>& games);

} // namespace vorn
