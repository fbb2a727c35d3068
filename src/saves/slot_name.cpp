#include "slot_name.h"

#include <algorithm>

namespace vorn {

bool isSlotName(std::string_view name) {
    if (name.empty() || name.size() > 32) return false;
    return std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
    });
}

std::string newSlotName(const std::vector<std::string>& inUse) {
    long highest = 0;
    for (const std::string& slot : inUse) {
        if (slot.rfind("slot-", 0) != 0 || slot.size() > 12) continue;
        const std::string digits = slot.substr(5);
        if (!digits.empty() && std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
            highest = std::max(highest, std::stol(digits));
    }
    return "slot-" + std::to_string(highest + 1);
}

} // namespace vorn
