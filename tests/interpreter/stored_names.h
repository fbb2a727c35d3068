#pragma once
// Files stored under code page 932 names, as a game unpacked on Linux from a
// Japanese archive keeps them, and what the resolver must make of script
// names for them. Shared by the tests of folders on disk and of archives,
// which follow the same rules.

#include "interpreter/game_folder.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace vorn::test {

struct StoredFile {
    std::string name; // raw bytes, '/' between folders
    std::string content;
};

// 森 is 90 58, ソ 83 5C and 表 95 5C in code page 932; ゲーム is 83 51 81 5B 83 80.
inline const std::vector<StoredFile> kStoredFiles = {
    {"\x90\x58.bmp", "mori"},
    {"\x83\x5C.bmp", "so"},
    {"\x95\x5C/Moon.bmp", "moon"},
    {"\x83\x51\x81\x5B\x83\x80/Title.BMP", "title"},
    {"\xE6\xA3\xAE.txt", "utf-8"}, // 森.txt stored in UTF-8 ...
    {"\x90\x58.txt", "cp932"},     // ... and in code page 932
    {"\x90\x58"
     "b.bmp",
     "small b"},
    {"\x90\x58"
     "B.bmp",
     "capital B"},
};

struct NameCase {
    const char* name;    // as the script gives it, UTF-8
    const char* content; // nullptr: not found
    bool byFallback;
};

inline const std::vector<NameCase> kNameCases = {
    {"森.bmp", "mori", false},       {"ソ.bmp", "so", false},        {"森.BMP", "mori", true},
    {"表/Moon.bmp", "moon", false},  {"表\\moon.bmp", "moon", true}, {"ゲーム\\title.bmp", "title", true},
    {"森.txt", "utf-8", false},      // the name stored as written comes first
    {"森B.bmp", "capital B", false}, // exact, though another matches without case
    {"森b.BMP", "capital B", true},  // several without case: the first in byte order
    {"ソ", nullptr, false},          // never a part of a name split at its 0x5C
    {"\x83", nullptr, false},
};

// Every name case against a game folder that holds kStoredFiles.
inline void expectNameCasesResolve(const GameFolder& folder) {
    for (const NameCase& c : kNameCases) {
        const FileLookup found = folder.resolve(c.name);
        if (!c.content) {
            EXPECT_FALSE(found.place) << c.name;
            continue;
        }
        EXPECT_EQ(folder.read(c.name, 100).bytes, c.content) << c.name;
        EXPECT_EQ(found.byFallback, c.byFallback) << c.name;
    }
}

} // namespace vorn::test
