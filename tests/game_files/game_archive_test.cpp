#include "game_files/archive_library.h"
#include "game_files/game_archive.h"
#include "game_files/open_game.h"

#include "archive_writer.h"
#include "headless_fixture.h"
#include "interpreter/stored_names.h"

#include <cstdio>
#include <dlfcn.h>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace vorn;
using namespace vorn::test;
namespace fs = std::filesystem;

namespace {

class Scratch {
  public:
    Scratch() {
        static int counter = 0;
        dir_ = fs::temp_directory_path() /
               ("vorn-archive-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    ~Scratch() {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    fs::path operator/(const std::string& name) const { return dir_ / name; }

  private:
    fs::path dir_;
};

// What stops the game: the error opening it, or the fatal record of its play.
std::string problem(const fs::path& archive) {
    const OpenedGame game = openGame(archive);
    if (!game.folder) return game.error;
    return TestGame::play(*game.folder).fatal();
}

int playerStatus(const fs::path& game) {
    const std::string command =
        std::string(VORN_PLAYER) + " --headless '" + game.string() + "' </dev/null >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A zip whose local header and central directory say that `name` unpacks to 1000 bytes.
std::string claimingThousandBytes(std::string zip, const std::string& name) {
    const auto u16 = [&](std::size_t i) {
        return std::size_t(uint8_t(zip[i])) | std::size_t(uint8_t(zip[i + 1])) << 8;
    };
    const struct {
        const char* signature;
        std::size_t size, nameLength, name;
    } headers[] = {{"PK\3\4", 22, 26, 30}, {"PK\1\2", 24, 28, 46}};
    for (const auto& h : headers)
        for (std::size_t at = zip.find(h.signature); at != std::string::npos; at = zip.find(h.signature, at + 4))
            if (zip.compare(at + h.name, u16(at + h.nameLength), name) == 0)
                zip.replace(at + h.size, 4, "\xE8\x03\0\0", 4);
    return zip;
}

const char* kScript = "<pics\\Moon.bmp>\"first\" (2 Yes,No){\"yes\"}{\"no\"} \"end\"";

} // namespace

TEST(GameArchive, NamesResolveAsInAFolderOnDisk) {
    Scratch scratch;
    std::vector<ArchiveEntry> entries{{"Game/code.vrn", "\"x\""}};
    for (const StoredFile& f : kStoredFiles) entries.push_back({"Game/" + f.name, f.content});
    writeArchive(scratch / "names.zip", entries, ArchiveFormat::Zip);

    const ArchiveGame game = openArchive(scratch / "names.zip");
    ASSERT_TRUE(game.folder) << game.error;
    const GameFolder& folder = *game.folder;
    expectNameCases(folder);
    // The game folder is the archive's own root for `..`, and never more.
    EXPECT_EQ(folder.read("../Game/code.vrn", 100).bytes, "\"x\"");
    EXPECT_FALSE(folder.resolve("../../Game/code.vrn").place);
    EXPECT_FALSE(folder.resolve("/Game/code.vrn").place);
    EXPECT_EQ(folder.read("表", 100).error, "it is a folder, not a file");
}

TEST(GameArchive, NamesFlaggedUtf8AreUtf8) {
    Scratch scratch;
    writeArchive(scratch / "utf8.zip", {{"ゲーム/code.vrn", "\"x\""}, {"ゲーム/森.bmp", "mori"}},
                 ArchiveFormat::ZipUtf8);
    const ArchiveGame game = openArchive(scratch / "utf8.zip");
    ASSERT_TRUE(game.folder) << game.error;
    EXPECT_EQ(game.games, std::vector<std::string>{"ゲーム"});
    EXPECT_EQ(game.folder->read("森.BMP", 100).bytes, "mori");
}

TEST(GameArchive, EveryKindOfArchivePlaysAsItsFolderDoes) {
    TestGame original(kScript);
    original.write("pics/Moon.bmp", bitmap(4, 4));
    const std::string events = "click text\nclick option 2\nclick text\n";
    const TestGame::Result fromFolder = original.play(events);
    ASSERT_EQ(fromFolder.status, 0) << fromFolder.errors;

    Scratch scratch;
    const std::vector<ArchiveEntry> entries = entriesOf(original.dir(), "Moon Game/");
    for (const auto& [format, name] : {std::pair{ArchiveFormat::Zip, "game.zip"},
                                       {ArchiveFormat::SevenZip, "game.7z"},
                                       {ArchiveFormat::Iso9660, "game.iso"},
                                       {ArchiveFormat::TarGz, "game.tar.gz"}}) {
        writeArchive(scratch / name, entries, format);
        const OpenedGame game = openGame(scratch / name);
        ASSERT_TRUE(game.folder) << name << ": " << game.error;
        EXPECT_EQ(game.notice, "");
        const TestGame::Result fromArchive = TestGame::playArchive(scratch / name, events);
        EXPECT_EQ(fromArchive.lines, fromFolder.lines) << name << ": " << fromArchive.errors;
    }
}

TEST(GameArchive, ACodePage932LzhPlays) {
    // Made by tests/game_files/fixtures/make_lzh.py: level 0 headers, code page 932
    // names with '\' between folders, and the picture "ソ.bmp" in a script in
    // code page 932.
    const OpenedGame game = openGame(fs::path(VORN_SOURCE_DIR) / "tests/game_files/fixtures/game.lzh");
    ASSERT_TRUE(game.folder) << game.error;
    EXPECT_EQ(game.folder->describe(), std::string(VORN_SOURCE_DIR) + "/tests/game_files/fixtures/game.lzh/ゲーム");
    const TestGame::Result played = TestGame::playArchive(fs::path(VORN_SOURCE_DIR) / "tests/game_files/fixtures/game.lzh");
    EXPECT_EQ(played.status, 0) << played.errors;
    EXPECT_EQ(played.matching("{\"picture\":\"Image1\""), Lines{"{\"picture\":\"Image1\",\"file\":\"ソ.bmp\"}"});
    EXPECT_EQ(game.folder->read("表\\moon.bmp", 100).bytes, "moon");
}

TEST(GameArchive, TheTopMostGameIsPlayedAndTheReaderToldOfTheOthers) {
    Scratch scratch;
    writeArchive(
        scratch / "several.zip",
        {{"a/x/code.vrn", "\"deep\""}, {"c/CODE.VRN", "\"c\""}, {"b/code.vrn", "\"b\""}, {"d/code.vrn/", "", true}},
        ArchiveFormat::Zip);
    const ArchiveGame game = openArchive(scratch / "several.zip");
    ASSERT_TRUE(game.folder) << game.error;
    EXPECT_EQ(game.games, (std::vector<std::string>{"b", "c", "a/x"}));
    EXPECT_EQ(game.folder->read("code.vrn", 100).bytes, "\"b\"");
    const OpenedGame opened = openGame(scratch / "several.zip");
    EXPECT_NE(opened.notice.find("holds 3 games (b, c, a/x); playing the top-most, \"b\""), std::string::npos)
        << opened.notice;
    // "b" has no pictures: its play ends on the background, as every player's must.
    EXPECT_TRUE(has(TestGame::playArchive(scratch / "several.zip").fatal(), "back.bmp\\\" in it cannot be read: no such file"));
}

// Bytes that do not shrink when packed, so an archive of them is larger than its reader's buffers.
std::string noise(std::size_t size, unsigned seed) {
    std::string bytes;
    for (unsigned n = seed; bytes.size() < size; n = n * 1103515245 + 12345) bytes += static_cast<char>(n >> 16);
    return bytes;
}

TEST(GameArchive, FilesAreUnpackedWhenFirstAskedForAndKept) {
    Scratch scratch;
    const std::string a = noise(300000, 1), b = noise(300000, 2), c = noise(300000, 3);
    writeArchive(scratch / "lazy.zip", {{"code.vrn", "\"x\""}, {"a.bmp", a}, {"b.bmp", b}, {"c.bmp", c}},
                 ArchiveFormat::Zip);
    const ArchiveGame game = openArchive(scratch / "lazy.zip");
    ASSERT_TRUE(game.folder) << game.error;
    const std::size_t limit = 1024 * 1024;
    EXPECT_EQ(game.folder->read("b.bmp", limit).bytes, b);
    EXPECT_EQ(game.folder->read("a.bmp", limit).bytes, a); // behind the last one read
    fs::resize_file(scratch / "lazy.zip", 0);              // in place: an open reader sees it too
    EXPECT_EQ(game.folder->read("a.bmp", limit).bytes, a);
    EXPECT_EQ(game.folder->read("b.bmp", limit).bytes, b);
    EXPECT_NE(game.folder->read("c.bmp", limit).error, "") << "never read before the archive went";
    EXPECT_EQ(game.folder->read("b.bmp", 1000).error, "the file is larger than 0 MB") << "a kept file keeps its limit";
}

TEST(GameArchive, BadArchivesAreClearErrorsThatEndThePlayer) {
    Scratch scratch;
    std::string page;
    for (unsigned n = 1; page.size() < 20000; n = n * 1103515245 + 12345)
        page += static_cast<char>('a' + (n >> 16) % 26);
    TestGame source("\"" + page + "\""); // a script that does not shrink much when packed
    const std::vector<ArchiveEntry> game = entriesOf(source.dir(), "");
    writeArchive(scratch / "good.zip", game, ArchiveFormat::Zip);
    const std::string good = readFile(scratch / "good.zip");

    writeFile(scratch / "truncated.zip", good.substr(0, good.size() * 2 / 3));
    std::string corrupt = good;
    for (std::size_t i = 0; i < corrupt.size(); ++i)
        if (corrupt.compare(i, 8, "code.vrn") == 0) {
            for (std::size_t j = i + 1000; j < i + 1040; ++j) corrupt[j] = static_cast<char>(corrupt[j] ^ 0x5A);
            break; // the first is the local header: its data follows
        }
    writeFile(scratch / "corrupt.zip", corrupt);
    writeArchive(scratch / "encrypted.zip", game, ArchiveFormat::ZipEncrypted);
    writeArchive(scratch / "nogame.zip", {{"readme.txt", "hello"}, {"pics/", "", true}}, ArchiveFormat::Zip);
    std::vector<ArchiveEntry> bomb = game;
    for (ArchiveEntry& e : bomb)
        if (e.name == "mouse.ico") e.content = std::string(17 * 1024 * 1024, '\0'); // unpacks past 16 MB
    writeArchive(scratch / "bomb.zip", bomb, ArchiveFormat::Zip);
    writeFile(scratch / "lying.zip", claimingThousandBytes(readFile(scratch / "bomb.zip"), "mouse.ico"));
    std::vector<ArchiveEntry> escape = game;
    escape.push_back({"../outside.bmp", "x"});
    writeArchive(scratch / "escape.zip", escape, ArchiveFormat::Zip);
    std::vector<ArchiveEntry> absolute = game;
    absolute.push_back({"/etc/outside.bmp", "x"});
    writeArchive(scratch / "absolute.zip", absolute, ArchiveFormat::Zip);
    writeFile(scratch / "notes.txt", "not an archive\n");

    const struct {
        const char* file;
        const char* says;
    } cases[] = {
        {"truncated.zip", "damaged or truncated"},
        {"corrupt.zip", "damaged or truncated"},
        {"encrypted.zip", "encrypted"},
        {"nogame.zip", "there is no code.vrn in it"},
        {"bomb.zip", "mouse.ico"},
        {"bomb.zip", "larger than 16 MB"},
        {"lying.zip", "mouse.ico"},
        {"lying.zip", "larger than 16 MB"}, // counted while unpacking
        {"escape.zip", "points out of it (\"../outside.bmp\")"},
        {"absolute.zip", "absolute path (\"/etc/outside.bmp\")"},
        {"notes.txt", "neither a game folder, a .vrn script nor an archive"},
    };
    for (const auto& c : cases) {
        const std::string why = problem(scratch / c.file);
        EXPECT_NE(why.find(c.says), std::string::npos) << c.file << ": " << why;
    }
    EXPECT_TRUE(problem(scratch / "good.zip").empty());
    // Where a reader of zips other than the desktop's (the browser build's)
    // words these as the desktop does, it ends as the desktop player does.
    for (const char* file : {"good.zip", "encrypted.zip", "nogame.zip", "bomb.zip", "escape.zip", "absolute.zip"})
        EXPECT_EQ(TestGame::playArchive(scratch / file).status, std::string(file) == "good.zip" ? 0 : 1) << file;

    // Unpacking stops at the limit it is given, whatever the entry claims.
    writeArchive(scratch / "claims.zip", {{"code.vrn", "\"x\""}, {"huge.bmp", std::string(3 << 20, '\0')}},
                 ArchiveFormat::Zip);
    writeFile(scratch / "claims.zip", claimingThousandBytes(readFile(scratch / "claims.zip"), "huge.bmp"));
    const ArchiveGame claims = openArchive(scratch / "claims.zip");
    ASSERT_TRUE(claims.folder) << claims.error;
    EXPECT_EQ(claims.folder->read("huge.bmp", 1 << 20).error, "the file is larger than 1 MB");

    for (const char* file : {"truncated.zip", "encrypted.zip", "bomb.zip", "escape.zip", "notes.txt"})
        EXPECT_EQ(playerStatus(scratch / file), 1) << file;
}

TEST(GameArchive, NamesTooLongOrTooDeepAreRefusedNamingTheArchiveAndTheEntry) {
    Scratch scratch;
    const auto deep = [](std::size_t folders) {
        std::string name;
        for (std::size_t i = 0; i < folders; ++i) name += "x/";
        return name + "f";
    };
    const std::vector<ArchiveEntry> game{{"code.vrn", "\"x\""}};
    const auto with = [&](std::vector<ArchiveEntry> extra) {
        extra.insert(extra.begin(), game.begin(), game.end());
        return extra;
    };
    // The deepest a zip can name (its names hold 65,535 bytes at most), once
    // and eight times; and a name 200,000 folders deep in a .tar.gz.
    writeArchive(scratch / "deep.zip", with({{deep(32'767), "x"}}), ArchiveFormat::Zip);
    std::vector<ArchiveEntry> eight;
    for (char c = 'a'; c < 'i'; ++c) eight.push_back({std::string(1, c) + "/" + deep(32'766), "x"});
    writeArchive(scratch / "eight.zip", with(eight), ArchiveFormat::Zip);
    writeArchive(scratch / "deeper.tar.gz", with({{deep(200'000), "x"}}), ArchiveFormat::TarGz);
    // Short enough, but deeper than any game.
    writeArchive(scratch / "folders.zip", with({{deep(257), "x"}}), ArchiveFormat::Zip);

    const struct {
        const char* file;
        const char* says;
    } cases[] = {
        {"deep.zip", "an entry whose name is 65535 bytes long (\"x/x/x/"},
        {"eight.zip", "an entry whose name is 65535 bytes long (\"a/x/x/"},
        {"deeper.tar.gz", "an entry whose name is 400001 bytes long (\"x/x/x/"},
        {"folders.zip", "an entry 257 folders deep (\"x/x/x/"},
    };
    for (const auto& c : cases) {
        const std::string why = problem(scratch / c.file);
        EXPECT_NE(why.find("cannot play \"" + (scratch / c.file).string() + "\""), std::string::npos) << why;
        EXPECT_NE(why.find(c.says), std::string::npos) << c.file << ": " << why;
        EXPECT_LT(why.size(), 500u) << "the entry is named by its start only";
        EXPECT_EQ(playerStatus(scratch / c.file), 1) << c.file;
    }

    // At the limits, a game plays, and its deep files are found as ever.
    std::string atTheLimit; // the script 255 folders deep, a picture 256
    for (int i = 0; i < 255; ++i) atTheLimit += "d/";
    writeArchive(scratch / "limit.zip",
                 {{atTheLimit + "code.vrn", "\"x\""}, {atTheLimit + "pics/" + std::string(200, 'p'), "picture"}},
                 ArchiveFormat::Zip);
    const ArchiveGame limit = openArchive(scratch / "limit.zip");
    ASSERT_TRUE(limit.folder) << limit.error;
    EXPECT_EQ(limit.folder->read("code.vrn", 100).bytes, "\"x\"");
    EXPECT_EQ(limit.folder->read("PICS\\" + std::string(200, 'P'), 100).bytes, "picture");
    EXPECT_EQ(limit.folder->read("../d/code.vrn", 100).bytes, "\"x\"");
    EXPECT_EQ(limit.games, (std::vector<std::string>{atTheLimit.substr(0, atTheLimit.size() - 1)}));
}

TEST(GameArchive, FilesDroppedFromMemoryAreUnpackedAgainWhenAskedFor) {
    Scratch scratch;
    // Six pictures, together larger than what is kept of an archive's files,
    // and one too large to be kept at all.
    const auto size = [](char c) { return std::size_t(c == 'g' ? 20 : 12) << 20; };
    std::vector<ArchiveEntry> entries{{"code.vrn", "\"x\""}};
    for (char c = 'a'; c <= 'g'; ++c) entries.push_back({std::string(1, c) + ".bmp", std::string(size(c), c)});
    for (const ArchiveFormat format : {ArchiveFormat::Zip, ArchiveFormat::TarGz}) {
        const fs::path path = scratch / (format == ArchiveFormat::Zip ? "big.zip" : "big.tar.gz");
        writeArchive(path, entries, format);
        const ArchiveGame game = openArchive(path);
        ASSERT_TRUE(game.folder) << game.error;
        // Forwards, backwards and again: each time the whole file, and only it.
        for (char c : std::string("abcdefgafcgagbe")) {
            const FileContents file = game.folder->read(std::string(1, c) + ".bmp", 64 << 20);
            ASSERT_TRUE(file.error.empty()) << c << ": " << file.error;
            EXPECT_EQ(file.bytes.size(), size(c)) << c;
            EXPECT_EQ(file.bytes.find_first_not_of(c), std::string::npos) << c;
        }
        EXPECT_EQ(game.folder->read("code.vrn", 100).bytes, "\"x\"");
    }
}

// libarchive is opened when the first archive is: a library that is missing,
// or is not libarchive, is told as such, and the player ends in order.
TEST(GameArchive, AMissingLibarchiveIsAClearErrorThatEndsThePlayer) {
    std::string why;
    EXPECT_FALSE(openArchiveLibrary("libvorn-absent.so.0", why));
    EXPECT_NE(why.find("cannot load libarchive"), std::string::npos) << why;
    EXPECT_NE(why.find("libvorn-absent.so.0"), std::string::npos) << why;
    std::string found;
    EXPECT_TRUE(openArchiveLibrary(VORN_LIBARCHIVE_SONAME, found)) << found;

    // The player, with its libarchive's name taken by another library (the C library).
    Scratch scratch;
    Dl_info libc{};
    ASSERT_NE(::dladdr(reinterpret_cast<void*>(&std::system), &libc), 0);
    fs::create_directories(scratch / "lib");
    fs::create_symlink(libc.dli_fname, scratch / "lib" / VORN_LIBARCHIVE_SONAME);
    TestGame source(kScript);
    writeArchive(scratch / "game.zip", entriesOf(source.dir(), ""), ArchiveFormat::Zip);
    const auto run = [](const std::string& environment, const fs::path& game) {
        const std::string command =
            environment + " " + VORN_PLAYER + " --headless '" + game.string() + "' </dev/null 2>&1";
        std::string said;
        FILE* player = ::popen(command.c_str(), "r");
        if (!player) return std::make_pair(-1, said);
        char buffer[4096];
        for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, player)) > 0;) said.append(buffer, got);
        const int status = ::pclose(player);
        return std::make_pair(WIFEXITED(status) ? WEXITSTATUS(status) : -1, said);
    };
    const std::string without = "LD_LIBRARY_PATH='" + (scratch / "lib").string() + "'";
    const auto [status, said] = run(without, scratch / "game.zip");
    EXPECT_EQ(status, 1) << said;
    EXPECT_NE(said.find("archives cannot be read here"), std::string::npos) << said;
    EXPECT_NE(said.find("has no archive_read_new"), std::string::npos) << said;
    // A game from its folder needs no libarchive: it plays as it does with one.
    EXPECT_EQ(run(without, source.dir()), run("", source.dir()));
}
