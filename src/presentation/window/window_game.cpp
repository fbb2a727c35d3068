#include "window_game.h"

#include "saves/read_pages_store.h"
#include "saves/save_store.h"
#include "saves/saves.h"
#include "saves/settings_store.h"

#include <QFile>
#include <iostream>
#include <optional>

namespace vorn {

WindowGame::WindowGame(const GameFolder& folder, const Options& options, int zoom, QWidget* parent) {
    if (options.music) {
        std::optional<std::filesystem::path> soundfont;
        if (options.soundfont) soundfont = *options.soundfont;
        FluidMusicOptions fluidOptions;
        fluidOptions.deferSetUp = true;
        auto device = std::make_unique<FluidMusicDevice>(folder, soundfont, fluidOptions);
        fluid = device.get();
        music = std::move(device);
    } else {
        music = std::make_unique<SilentMusicDevice>();
    }
    form = std::make_unique<Form1>(folder, *music, zoom, parent);
    form->setSaveFolder(saveFolder(folder, options.saveDir));
    // Skipping reads the reader's setting once, at the start of the game.
    // (Hook: the settings dialog, once the window keeps its settings, sets it too.)
    form->setSkipUnread(loadSettings().settings.skipUnread);
    // The pages read, in the reader's data folder (in DIR with --save-dir, as
    // headless play keeps them), for every game; a damaged file is set aside
    // with a note and every page counts as unread.
    const QString readPages =
        options.saveDir ? QFile::decodeName(options.saveDir->c_str()) + "/read.pages.json" : readPagesFile();
    ReadPages pages;
    const std::string note = loadReadPages(readPages, pages);
    if (!note.empty()) std::cerr << "vorn: " << note << '\n';
    form->setReadPages(std::move(pages), [readPages](const ReadPages& read) {
        const std::string why = keepReadPages(readPages, read);
        if (!why.empty()) std::cerr << "vorn: " << why << '\n';
    });
    if (fluid) {
        // The end of the music arrives on the audio thread; the window handles
        // it between its own events. takeEnd() drops an end that a Close overtook.
        fluid->setDoneCallback([window = form.get(), device = fluid] {
            QMetaObject::invokeMethod(
                window,
                [window, device] {
                    if (device->takeEnd()) window->musicDone();
                },
                Qt::QueuedConnection);
        });
    }
}

WindowGame::~WindowGame() {
    if (fluid) fluid->setDoneCallback({}); // no end of music reaches a window that is gone
}

} // namespace vorn
