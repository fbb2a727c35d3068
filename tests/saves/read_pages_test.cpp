// The set of read pages and its document: bounded in games and in pages per
// game, the game read last kept, and a document that is not one refused.

#include "interpreter/read_pages.h"
#include "saves/read_pages_format.h"

#include <gtest/gtest.h>

using vorn::ReadPages;

namespace {

std::string digest(int n) {
    std::string d = std::to_string(n);
    return std::string(64 - d.size(), 'a') + d;
}

} // namespace

TEST(ReadPages, KeepsTheGamesReadLatestAndEachGamesFirstPages) {
    ReadPages pages;
    for (int g = 0; g < int(ReadPages::kGames) + 3; ++g) pages.add(digest(g), 7);
    pages.add(digest(3), 9); // read again: now the latest
    pages.add(digest(100), 7);
    EXPECT_EQ(pages.games().size(), ReadPages::kGames);
    EXPECT_TRUE(pages.contains(digest(3), 9));
    EXPECT_TRUE(pages.contains(digest(3), 7));
    EXPECT_FALSE(pages.contains(digest(4), 7)); // read least recently: dropped
    EXPECT_FALSE(pages.contains(digest(3), 8));
    EXPECT_EQ(pages.games().back().script, digest(100));

    const std::size_t before = pages.changes();
    EXPECT_FALSE(pages.add(digest(100), 7)); // nothing new: no change to store
    EXPECT_EQ(pages.changes(), before);

    for (std::size_t k = 0; k < ReadPages::kPagesPerGame + 10; ++k) pages.add(digest(1), 1000 + k);
    EXPECT_EQ(pages.games().back().offsets.size(), ReadPages::kPagesPerGame);
    EXPECT_TRUE(pages.contains(digest(1), 1000));
    EXPECT_FALSE(pages.contains(digest(1), 1000 + ReadPages::kPagesPerGame));
}

TEST(ReadPagesDocument, ReadsBackWhatItWritesAndRefusesWhatIsNotOne) {
    ReadPages pages;
    pages.add(digest(1), 3);
    pages.add(digest(2), 40);
    pages.add(digest(1), 12);
    const std::string document = vorn::writeReadPages(pages);
    EXPECT_EQ(document, "{\"vorn-read-pages\":1,\"games\":[{\"script\":\"" + digest(2) +
                            "\",\"offsets\":[40]},{\"script\":\"" + digest(1) + "\",\"offsets\":[3,12]}]}\n");
    ReadPages read;
    EXPECT_EQ(vorn::readReadPages(document, read), "");
    EXPECT_EQ(vorn::writeReadPages(read), document);

    const std::string bad[] = {
        "",
        "[1,2]",
        "{\"vorn-read-pages\":2,\"games\":[]}",
        "{\"games\":[]}",
        "{\"vorn-read-pages\":1,\"games\":[{\"script\":\"abc\",\"offsets\":[]}]}",
        "{\"vorn-read-pages\":1,\"games\":[{\"script\":\"" + digest(1) + "\",\"offsets\":[-1]}]}",
        "{\"vorn-read-pages\":1,\"games\":[{\"script\":\"" + digest(1) + "\",\"offsets\":\"3\"}]}",
        std::string(vorn::kMaxReadPagesBytes + 1, ' '),
    };
    for (const std::string& refused : bad) {
        ReadPages into;
        into.add(digest(9), 1);
        EXPECT_NE(vorn::readReadPages(refused, into), "") << refused.substr(0, 80);
        EXPECT_TRUE(into.games().empty()) << refused.substr(0, 80);
    }
}
