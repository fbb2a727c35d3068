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
inline constexpr const char* kNotEnoughMemoryToOpen =
    VORN_TR("there is not enough memory to open it; close other programs and try again");
// Marked templates stand above the sizes below: lupdate files a template that
// follows "inline constexpr std::size_t" under the context "std".
inline constexpr const char* kArchiveNameTooLong =
    VORN_TR("the archive holds an entry whose name is %1 bytes long (\"%2\"); the player refuses names longer "
            "than %3 bytes");
inline constexpr const char* kArchiveNameTooDeep =
    VORN_TR("the archive holds an entry %1 folders deep (\"%2\"); the player refuses entries more than %3 folders "
            "deep");

// More entries than any game or CD holds; a hostile archive stops here rather
// than filling the memory with its index. Folders implied by the names count
// as entries too.
inline constexpr std::size_t kMaxArchiveEntries = 1'000'000;
// Names longer or deeper than any real game's: Windows of the games' time
// took 260 characters for a whole path, Linux takes 4096 bytes. Refused, so
// that a hostile name costs no more than a real one.
inline constexpr std::size_t kMaxArchiveNameBytes = 4096;
inline constexpr std::size_t kMaxArchiveFolderDepth = 256; // folders above an entry

// The folders and files of an archive by their stored names: raw bytes, in
// code page 932 or UTF-8, '/' and '\' between folders where they are whole
// characters. Each folder keeps its entries by their own names, and each
// entry knows its folder, so a deep name costs memory in proportion to its
// length. Places are node numbers in decimal; "0" is the archive's root.
class StoredNameTree : public FileTree {
  public:
    enum class Kind { Folder, File, Other };

    // `name` is the archive as messages name it.
    explicit StoredNameTree(std::string name);
    void setName(std::string name) { name_ = std::move(name); }

    // Adds the archive's entry number `entry`; a later entry of the same name
    // replaces an earlier one, as when unpacking. Returns why the archive is
    // refused (an absolute name, one that points out of it, one too long or
    // too deep, too many entries), or an empty message.
    Message add(const std::string& stored, Kind kind, std::size_t entry, std::optional<std::size_t> size);
    // The same for a name already split into its parts (a folder's relative
    // path, where only '/' separates).
    Message addParts(std::vector<std::string> parts, Kind kind, std::size_t entry, std::optional<std::size_t> size);

    // Every folder that holds a code.vrn, the one to play first: the
    // top-most, among equals the first in byte order.
    std::vector<std::string> gameFolders() const;
    // Plays the first of gameFolders(). Returns their readable names, or,
    // when there is none, leaves the root as it is and returns none.
    std::vector<std::string> chooseGame();

    std::string gameRoot() const override { return std::to_string(gameRoot_); }
    std::optional<std::string> top() const override { return std::nullopt; }
    std::optional<std::string> child(std::string place, const std::string& entry) const override;
    bool exists(const std::string& place) const override { return node(place) != nullptr; }
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
        std::size_t parent = 0;                      // the folder that holds it; the root's is itself
        std::string name;                            // its stored name in that folder
        std::map<std::string, std::size_t> children; // by stored name, for a folder
        std::size_t entry = 0;                       // the archive's entry, for a file
        std::optional<std::size_t> declaredSize;
    };

    const Node* node(const std::string& place) const;
    // The stored names from the root down to node `n`, joined by '/'.
    std::string storedPath(std::size_t n) const;
    // The same as a person reads it, each stored name by its reading.
    std::string readablePath(std::size_t n) const;
    std::size_t depth(std::size_t n) const;

    std::string name_;
    std::vector<Node> nodes_; // the root first
    std::size_t added_ = 0;
    std::size_t gameRoot_ = 0;
};

// What to tell the reader of an archive that holds several games, of which
// the first is played; empty for one.
std::string severalGamesNotice(const std::string& archive, const std::vector<std::string>& games);

} // namespace vorn
