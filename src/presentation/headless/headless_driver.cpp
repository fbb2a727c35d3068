#include "headless_driver.h"

#include "headless_session.h"
#include "presentation/picture_decoder.h"
#include "saves/save_store.h"
#include "saves/saves.h"

#include <QFile>
#include <memory>

namespace vorn {
namespace {

// Saves kept by the desktop player's stores: files in --save-dir, or memory.
class StoredSaves : public HeadlessSaving {
  public:
    StoredSaves(Interpreter& interpreter, const GameFolder& folder, std::unique_ptr<SlotStore> store)
        : store_(std::move(store)), saves_(interpreter, folder, *store_) {}
    // The transcript keeps the reasons in English.
    std::string save(const std::string& slot) override { return saves_.save(slot).english(); }
    std::string load(const std::string& slot) override { return saves_.load(slot).english(); }

  private:
    std::unique_ptr<SlotStore> store_;
    Saves saves_;
};

} // namespace

int runHeadless(const GameFolder& folder, std::istream& in, std::ostream& out, std::ostream& err,
                const HeadlessOptions& options) {
    const PictureCheck decoded{[](const std::string& bytes) { return decodePicture(bytes).has_value(); },
                               [](const std::string& bytes) { return decodeIcon(bytes).has_value(); }};
    return playHeadless(folder, in, out, err, decoded, [&options](Interpreter& interpreter, const GameFolder& game) {
        std::unique_ptr<SlotStore> store;
        if (options.saveDir)
            store = std::make_unique<FolderSlotStore>(QFile::decodeName(options.saveDir->c_str()));
        else
            store = std::make_unique<MemorySlotStore>();
        return std::make_unique<StoredSaves>(interpreter, game, std::move(store));
    });
}

} // namespace vorn
