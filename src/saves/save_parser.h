#pragma once
// The first step of reading a save: its bytes read into a JSON document of
// only the members a save has, with the backlog's entries read straight into
// their list. Internal to the saves library.

#include "interpreter/message.h"
#include "interpreter/snapshot.h"

#include <nlohmann/json.hpp>

#include <string_view>
#include <vector>

namespace vorn {

struct ParsedSave {
    nlohmann::json json;
    std::vector<BacklogEntry> backlog; // the backlog's entries, trimmed as a load would trim them
    Message backlogProblem;            // what is wrong with the first entry that is not one
};

// Reads the bytes into parsed. On bytes that are no JSON, are cut short or
// nest too deep, returns false and says why ("it is cut short or damaged ...").
bool parseSave(std::string_view bytes, ParsedSave& parsed, Message& why);

} // namespace vorn
