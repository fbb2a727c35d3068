#pragma once
// Where saved games are kept: slots, each a JSON document and, when the window
// gave one, a PNG of the scene. A folder (the user's data folder for the
// window, --save-dir for headless play) or, for headless play without one,
// the memory of the process, so that headless play writes nothing.

#include "slot_name.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorn {

// Makes a slot's document once the name of its picture is known (none
// without a picture).
using MakeDocument = std::function<QByteArray(const std::optional<std::string>& picture)>;

class SlotStore {
  public:
    virtual ~SlotStore() = default;

    // The document of a slot; no value when the slot is empty or cannot be
    // read, with `why` set in the latter case.
    virtual std::optional<QByteArray> readDocument(const std::string& slot, std::string& why) const = 0;
    // Replaces a slot as a whole. Returns "" or why it failed; a failed write
    // leaves the slot as it was.
    virtual std::string write(const std::string& slot, const QByteArray& png, const MakeDocument& document) = 0;
    virtual QByteArray readPicture(const std::string& slot, const std::string& picture) const = 0;
    virtual std::vector<std::string> slotNames() const = 0; // sorted
    // Deletes a slot; only ever on the reader's request. Returns "" or why not.
    virtual std::string remove(const std::string& slot) = 0;
};

class MemorySlotStore : public SlotStore {
  public:
    std::optional<QByteArray> readDocument(const std::string& slot, std::string& why) const override;
    std::string write(const std::string& slot, const QByteArray& png, const MakeDocument& document) override;
    QByteArray readPicture(const std::string& slot, const std::string& picture) const override;
    std::vector<std::string> slotNames() const override;
    std::string remove(const std::string& slot) override;

  private:
    struct Slot {
        QByteArray document, png;
    };
    std::map<std::string, Slot> slots_;
};

// SLOT.json and SLOT.<time>.png in one folder, created at the first save.
// Every file is written whole under a temporary name and then renamed over
// the old one, so a crash or a kill during a save leaves the slot as it was.
class FolderSlotStore : public SlotStore {
  public:
    explicit FolderSlotStore(QString folder) : folder_(std::move(folder)) {}

    // The user's folder of saves for a game: $XDG_DATA_HOME/vorn/saves/NAME.
    static QString userFolder(const std::string& gameName);

    std::optional<QByteArray> readDocument(const std::string& slot, std::string& why) const override;
    std::string write(const std::string& slot, const QByteArray& png, const MakeDocument& document) override;
    QByteArray readPicture(const std::string& slot, const std::string& picture) const override;
    std::vector<std::string> slotNames() const override;
    std::string remove(const std::string& slot) override;

  private:
    QString path(const std::string& file) const;
    void removePicturesExcept(const std::string& slot, const std::optional<std::string>& keep) const;

    QString folder_;
};

} // namespace vorn
