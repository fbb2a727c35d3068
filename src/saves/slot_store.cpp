#include "slot_store.h"

namespace vorn {

std::optional<std::string> MemorySlotStore::readDocument(const std::string& slot, std::string&) const {
    const auto it = slots_.find(slot);
    if (it == slots_.end()) return std::nullopt;
    return it->second.document;
}

std::string MemorySlotStore::write(const std::string& slot, const std::string& png, const MakeDocument& document) {
    std::optional<std::string> picture;
    if (!png.empty()) picture = pictureName(slot);
    slots_[slot] = {document(picture), png, picture.value_or("")};
    return "";
}

std::string MemorySlotStore::readPicture(const std::string& slot, const std::string&) const {
    const auto it = slots_.find(slot);
    return it == slots_.end() ? std::string() : it->second.png;
}

std::vector<std::string> MemorySlotStore::slotNames() const {
    std::vector<std::string> names;
    for (const auto& [name, slot] : slots_) names.push_back(name);
    return names;
}

std::string MemorySlotStore::remove(const std::string& slot) {
    slots_.erase(slot);
    return "";
}

} // namespace vorn
