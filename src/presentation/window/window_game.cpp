#include "window_game.h"

#include "saves/read_pages_store.h"
#include "saves/save_store.h"
#include "saves/saves.h"

#include <QFile>
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
    form->setReadPagesFile(options.saveDir ? QFile::decodeName(options.saveDir->c_str()) + "/read.pages.json"
                                           : readPagesFile());
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
