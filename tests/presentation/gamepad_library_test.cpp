// SDL is opened when the window first looks for pads: where it cannot be, the
// player says so once and plays on.

#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

TEST(GamepadLibrary, AMissingSdlIsToldOnceAndThePlayerPlaysOn) {
    const fs::path dir = fs::temp_directory_path() / ("vorn-no-sdl-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir / "lib");
    fs::create_directories(dir / "home");
    // The C library under SDL's name: it opens, and lacks SDL's functions.
    Dl_info libc{};
    ASSERT_NE(::dladdr(reinterpret_cast<void*>(&std::system), &libc), 0);
    fs::create_symlink(libc.dli_fname, dir / "lib" / VORN_SDL2_SONAME);
    const std::string home = (dir / "home").string();
    const std::string command = "HOME='" + home + "' XDG_CONFIG_HOME='" + home + "/.config' XDG_DATA_HOME='" + home +
                                "/.local/share' QT_QPA_PLATFORM=offscreen LD_LIBRARY_PATH='" + (dir / "lib").string() +
                                "' timeout --preserve-status -s TERM 2 " + VORN_PLAYER + " --no-music '" +
                                VORN_SOURCE_DIR + "/examples/demo' </dev/null >/dev/null 2>'" +
                                (dir / "err").string() + "'";
    const int status = std::system(command.c_str());
    std::ifstream errFile(dir / "err");
    std::stringstream said;
    said << errFile.rdbuf();
    fs::remove_all(dir);
    // Ended by the signal, in order: not by a crash.
    ASSERT_TRUE(WIFEXITED(status)) << said.str();
    EXPECT_EQ(WEXITSTATUS(status), 0) << said.str();
    const std::string told = "vorn: gamepads are not read: the SDL library " VORN_SDL2_SONAME " has no SDL_SetHint";
    const std::size_t at = said.str().find(told);
    EXPECT_NE(at, std::string::npos) << said.str();
    EXPECT_EQ(said.str().find(told, at + 1), std::string::npos) << said.str();
}
