// vorn-shelf FOLDER: writes FOLDER/index.json, the list of games a site
// hosting the browser page serves, and each game's picture beside it.
#include "authoring/shelf_index.h"

#include <iostream>
#include <string_view>

int main(int argc, char** argv) {
    if (argc == 2 && (std::string_view(argv[1]) == "--help" || std::string_view(argv[1]) == "-h")) {
        std::cout << "Usage: vorn-shelf FOLDER\n"
                     "Lists the game archives in FOLDER (.zip, .lzh, .lha) in FOLDER/index.json, which the\n"
                     "browser page's start shows, each with its title (the folder in the archive that holds\n"
                     "its code.vrn) and a picture of its back.bmp, written beside it as ARCHIVE.png.\n";
        return 0;
    }
    if (argc != 2) {
        std::cerr << "vorn-shelf: name one folder of game archives\nUsage: vorn-shelf FOLDER\n";
        return 2;
    }
    return vorn::makeShelf(argv[1], std::cout, std::cerr);
}
