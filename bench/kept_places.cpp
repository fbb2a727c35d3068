// What a kept place costs in memory. Plays a game until the interpreter keeps
// its full stack of places, and counts the heap bytes live with places kept
// against the same play with none kept; and, for comparison, what the same
// places would cost as whole snapshots, each with its own copy of the backlog.
//
//   kept_places GAME_DIR           a game, clicked through (first option at menus, "New" at its end)
//   kept_places --long-backlog     a made-up game of 3,000 pages of 300 characters

#include "interpreter/game_folder.h"
#include "interpreter/interpreter.h"
#include "presentation/headless/headless_recorder.h"

#include <malloc.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <new>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::atomic<long long> liveBytes{0};

} // namespace

void* operator new(std::size_t size) {
    void* p = std::malloc(size ? size : 1);
    if (!p) throw std::bad_alloc();
    liveBytes += static_cast<long long>(malloc_usable_size(p));
    return p;
}
void operator delete(void* p) noexcept {
    if (!p) return;
    liveBytes -= static_cast<long long>(malloc_usable_size(p));
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept { operator delete(p); }

namespace {

namespace fs = std::filesystem;

struct Measured {
    long long bytes = 0;
    std::size_t places = 0;
    std::size_t backlogEntries = 0;
    long long snapshotBytes = 0; // the same places as whole snapshots
};

long long snapshotCost(const vorn::Interpreter& game) {
    const long long before = liveBytes;
    auto* copy = new std::optional<vorn::Snapshot>(game.snapshot());
    const long long cost = liveBytes - before;
    delete copy;
    return cost;
}

Measured play(const fs::path& dir, bool keep) {
    std::ostringstream sink;
    const vorn::PictureCheck any{[](const std::string&) { return true; }, [](const std::string&) { return true; }};
    const vorn::GameFolder folder(dir);
    const long long before = liveBytes;
    auto* recorder = new vorn::HeadlessRecorder(sink, any);
    auto* game = new vorn::Interpreter(folder, *recorder, *recorder);
    game->setKeepingPlaces(keep);
    Measured m;
    game->load();
    game->playRun();
    // Far past the bound of places, so the oldest are dropped as they are
    // in a long evening's reading, and the backlog is long.
    for (int events = 0; events < 2800; ++events) {
        if (game->offersOption(1))
            game->chooseOption(1);
        else if (game->textClickPlaysOn() && game->WaitCmd == -1)
            game->resume();
        else
            game->restartScript();
        sink.str("");
    }
    m.bytes = liveBytes - before;
    m.places = game->placesBehind() + 1;
    m.backlogEntries = game->backlog().size();
    m.snapshotBytes = snapshotCost(*game) * static_cast<long long>(m.places);
    delete game;
    delete recorder;
    return m;
}

fs::path longBacklogGame() {
    const fs::path dir = fs::temp_directory_path() / ("vorn-kept-places-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    std::string script = "\xEF\xBB\xBF";
    for (int page = 0; page < 3000; ++page) {
        script += "\"";
        for (int c = 0; c < 300; ++c) script += char('a' + (page + c) % 26);
        script += "\"\r\n";
    }
    std::ofstream(dir / "code.vrn", std::ios::binary) << script;
    // Pictures are not decoded here: any bytes do.
    std::ofstream(dir / "back.bmp", std::ios::binary) << "BM";
    std::ofstream(dir / "mouse.ico", std::ios::binary) << "ico";
    return dir;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: kept_places GAME_DIR | --long-backlog\n");
        return 2;
    }
    const bool made = std::string(argv[1]) == "--long-backlog";
    const fs::path dir = made ? longBacklogGame() : fs::path(argv[1]);
    const Measured with = play(dir, true);
    const Measured without = play(dir, false);
    const long long cost = with.bytes - without.bytes;
    std::printf("game: %s\n", made ? "3,000 pages of 300 characters" : dir.string().c_str());
    std::printf("places kept: %zu, backlog entries: %zu\n", with.places, with.backlogEntries);
    std::printf("heap with places kept: %lld bytes; without: %lld bytes\n", with.bytes, without.bytes);
    std::printf("kept places: %lld bytes in all, %lld bytes per place\n", cost,
                with.places ? cost / static_cast<long long>(with.places) : 0);
    std::printf("as whole snapshots with their backlogs they would take: %lld bytes (%lld per place)\n",
                with.snapshotBytes, with.places ? with.snapshotBytes / static_cast<long long>(with.places) : 0);
    if (made) fs::remove_all(dir);
    return 0;
}
