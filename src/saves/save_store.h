#pragma once
// The desktop's saved games on disk: a folder of slots, the user's folder for
// a game, and the script's SHA-256 by Qt. Qt Core only.

#include "interpreter/game_folder.h"
#include "saves.h"
#include "slot_store.h"

#include <QByteArray>
#include <QString>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorn {

// SLOT.json and SLOT.<time>.png in one folder, created at the first save.
// Every file is written whole under a temporary name and then renamed over
// the old one, so a crash or a kill during a save leaves the slot as it was.
class FolderSlotStore : public SlotStore {
  public:
    explicit FolderSlotStore(QString folder) : folder_(std::move(folder)) {}

    // The user's folder of saves for a game: $XDG_DATA_HOME/vorn/saves/NAME.
    static QString userFolder(const std::string& gameName);

    std::optional<std::string> readDocument(const std::string& slot, std::string& why) const override;
    std::string write(const std::string& slot, const std::string& png, const MakeDocument& document) override;
    std::string readPicture(const std::string& slot, const std::string& picture) const override;
    std::vector<std::string> slotNames() const override;
    std::string remove(const std::string& slot) override;

  private:
    QString path(const std::string& file) const;
    void removePicturesExcept(const std::string& slot, const std::optional<std::string>& keep) const;

    QString folder_;
};

// The folder the window keeps a game's saves in: `saveDir` when the command
// line names one, otherwise the user's folder for the game.
QString saveFolder(const GameFolder& game, const std::optional<std::filesystem::path>& saveDir);
// Whether the game has a place kept from when its window was last closed in
// the middle of it, to go on from; a kept place of another game is not its.
bool hasContinueSlot(const GameFolder& game, const std::optional<std::filesystem::path>& saveDir = {});

// Reads a document that Qt code holds.
inline std::optional<SaveDocument> decodeSave(const QByteArray& bytes, std::string& why) {
    return decodeSave(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), why);
}

} // namespace vorn
