#pragma once
// Where saved games are kept: slots, each a JSON document and, when the front
// end gave one, a PNG of the scene. The desktop keeps them in a folder (see
// save_store.h), the browser page in its own storage, and headless play
// without a folder in the memory of the process, so that it writes nothing.

#include "slot_name.h"

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace vorn {

// Makes a slot's document once the name of its picture is known (none
// without a picture).
using MakeDocument = std::function<std::string(const std::optional<std::string>& picture)>;

class SlotStore {
  public:
    virtual ~SlotStore() = default;

    // The document of a slot; no value when the slot is empty or cannot be
    // read, with `why` set in the latter case.
    virtual std::optional<std::string> readDocument(const std::string& slot, std::string& why) const = 0;
    // Replaces a slot as a whole. Returns "" or why it failed; a failed write
    // leaves the slot as it was.
    virtual std::string write(const std::string& slot, const std::string& png, const MakeDocument& document) = 0;
    virtual std::string readPicture(const std::string& slot, const std::string& picture) const = 0;
    virtual std::vector<std::string> slotNames() const = 0; // sorted
    // Deletes a slot; only ever on the reader's request. Returns "" or why not.
    virtual std::string remove(const std::string& slot) = 0;
};

class MemorySlotStore : public SlotStore {
  public:
    std::optional<std::string> readDocument(const std::string& slot, std::string& why) const override;
    std::string write(const std::string& slot, const std::string& png, const MakeDocument& document) override;
    std::string readPicture(const std::string& slot, const std::string& picture) const override;
    std::vector<std::string> slotNames() const override;
    std::string remove(const std::string& slot) override;

  protected:
    struct Slot {
        std::string document, png, picture; // `picture` is the PNG's name in the document
    };
    // The name a new picture of `slot` gets in its document.
    virtual std::string pictureName(const std::string& slot) const { return slot + ".png"; }
    std::map<std::string, Slot> slots_;
};

} // namespace vorn
