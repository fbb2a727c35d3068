#pragma once
// A saved game as a file: a small versioned JSON document that a person can
// read in a text editor. The README describes it key by key. Plain C++, so
// the desktop player and the browser page write and read the same documents.

#include "interpreter/message.h"
#include "interpreter/snapshot.h"

#include <optional>
#include <string>
#include <string_view>

namespace vorn {

inline constexpr const char* kSaveFormatName = "VORN saved game";
inline constexpr int kSaveFormatVersion = 1;

// The largest save read or written. A save is a few kB; the backlog it holds
// keeps about a million characters, which in the worst case (every character
// a control character, written \u0001) and with the entries' own keys comes
// to some 20 MB. A larger file is refused before it is read.
inline constexpr std::size_t kMaxSaveBytes = std::size_t(24) * 1024 * 1024;
// Why a file larger than kMaxSaveBytes is no save.
Message saveTooLarge();

// Which game a save belongs to: the game folder's name and the SHA-256 of the
// script's bytes, so an edited script is told from the one that was saved.
struct GameIdentity {
    std::string name;
    std::string scriptHash; // lower-case hex
    bool operator==(const GameIdentity&) const = default;
};

struct SaveDocument {
    GameIdentity game;
    std::string savedAt;                // UTC, as 2026-12-07T12:34:56Z
    std::optional<std::string> picture; // the PNG of the scene beside the document, if any
    Snapshot snapshot;
};

// The document's bytes: UTF-8 JSON.
std::string encodeSave(const SaveDocument& document);

// Reads a save, in memory that grows with the members a save has rather than
// with the file: members of other names are read past. On failure returns no document and says why, in words for the
// reader ("it is cut short or damaged: ...").
std::optional<SaveDocument> decodeSave(std::string_view bytes, Message& why);
// The same, saying why in English.
std::optional<SaveDocument> decodeSave(std::string_view bytes, std::string& why);

} // namespace vorn
