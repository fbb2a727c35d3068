// libFuzzer target: the input is opened as a game archive the way the player
// opens one (any format libarchive reads: listing, names in code page 932,
// the choice of the game folder), then names are resolved and files unpacked
// in it. Whatever the archive holds, the player must neither crash nor leave
// its root nor unpack past the limit it is given.

#include "game_files/game_archive.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

namespace {

constexpr std::size_t kLimit = 1024 * 1024;

// The archive lives in memory; the player opens it by its name in /proc.
int archiveFile() {
    static const int fd = [] {
        const int made = memfd_create("archive", MFD_CLOEXEC);
        if (made < 0) {
            std::perror("memfd_create");
            std::abort();
        }
        return made;
    }();
    return fd;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const int fd = archiveFile();
    if (ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != static_cast<ssize_t>(size)) std::abort();
    const vorn::ArchiveGame game = vorn::openArchive("/proc/self/fd/" + std::to_string(fd));
    if (!game.folder) return 0;
    if (game.games.empty()) std::abort(); // a game was opened, so some folder holds a code.vrn
    for (const char* name : {"code.vrn", "back.bmp", "mouse.ico", "text.bmp", "Pictures\\MOON.BMP", "ソ.bmp",
                             "..\\code.vrn", "../../code.vrn", "/code.vrn", "表"}) {
        const vorn::FileContents file = game.folder->read(name, kLimit);
        if (file.bytes.size() > kLimit) std::abort();
    }
    return 0;
}
