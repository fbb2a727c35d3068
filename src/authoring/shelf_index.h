#pragma once
// `vorn-shelf FOLDER`: the list of games a site serves to the browser page,
// FOLDER/index.json, made from the archives in FOLDER that the page plays
// (.zip, .lzh, .lha): each game's title (the archive's folder that holds its
// code.vrn, else the archive's name), its archive, and a small picture of its
// back.bmp written beside it as ARCHIVE.png.

#include <filesystem>
#include <string>
#include <vector>

namespace vorn {

struct ShelfGame {
    std::string title;   // UTF-8
    std::string archive; // the archive's file name in the folder
    std::string picture; // the picture's file name in the folder, or empty where the game has no back.bmp
};

struct Shelf {
    std::vector<ShelfGame> games;     // in the order of the archives' names
    std::vector<std::string> skipped; // archives of kinds the page does not play, with why
    std::vector<std::string> errors;  // archives that cannot be listed, each with where and why
};

// The size of the pictures: twice the shelf's 96 x 64, for sharp screens.
inline constexpr int kShelfPictureWidth = 192;
inline constexpr int kShelfPictureHeight = 128;

// Reads the archives in `folder` and makes their pictures (in memory).
// Writes nothing.
Shelf readShelf(const std::filesystem::path& folder);

// index.json's text for `shelf`: { "games": [ { "title", "archive", "picture" } ] },
// addresses relative to index.json.
std::string shelfIndex(const Shelf& shelf);

// Makes the shelf of `folder` and writes index.json and the pictures, each
// file atomically; writes nothing when an archive cannot be listed. Tells
// what it did on `out`, what is wrong on `err`; returns the exit status.
int makeShelf(const std::filesystem::path& folder, std::ostream& out, std::ostream& err);

} // namespace vorn
