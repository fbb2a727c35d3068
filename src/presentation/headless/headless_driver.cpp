#include "headless_driver.h"

#include "headless_session.h"
#include "presentation/picture_decoder.h"
#include "saves/read_pages_store.h"
#include "saves/save_store.h"
#include "saves/saves.h"

#include <QFile>
#include <memory>

namespace vorn {
namespace {

// Saves kept by the desktop player's stores: files in --save-dir, or memory.
class StoredSaves : public HeadlessSaving {
  public:
    StoredSaves(Interpreter& interpreter, const GameFolder& folder, std::unique_ptr<SlotStore> store,
                QString readPagesPath)
        : store_(std::move(store)), saves_(interpreter, folder, *store_), readPagesPath_(std::move(readPagesPath)) {}
    // The transcript keeps the reasons in English.
    std::string save(const std::string& slot) override { return saves_.save(slot).english(); }
    std::string load(const std::string& slot) override { return saves_.load(slot).english(); }
    std::string scriptDigest(std::string_view script) override { return Saves::scriptHash(script); }
    // Only with --save-dir: otherwise headless play writes nothing.
    std::string loadReadPages(ReadPages& pages) override {
        return readPagesPath_.isEmpty() ? "" : vorn::loadReadPages(readPagesPath_, pages);
    }
    std::string keepReadPages(const ReadPages& pages) override {
        return readPagesPath_.isEmpty() ? "" : vorn::keepReadPages(readPagesPath_, pages);
    }

  private:
    std::unique_ptr<SlotStore> store_;
    Saves saves_;
    QString readPagesPath_;
};

} // namespace

int runHeadless(const GameFolder& folder, std::istream& in, std::ostream& out, std::ostream& err,
                const HeadlessOptions& options) {
    const PictureCheck decoded{[](const std::string& bytes) { return decodePicture(bytes).has_value(); },
                               [](const std::string& bytes) { return decodeIcon(bytes).has_value(); }};
    return playHeadless(folder, in, out, err, decoded, [&options](Interpreter& interpreter, const GameFolder& game) {
        std::unique_ptr<SlotStore> store;
        QString readPages;
        if (options.saveDir) {
            const QString dir = QFile::decodeName(options.saveDir->c_str());
            store = std::make_unique<FolderSlotStore>(dir);
            readPages = dir + "/read.pages.json"; // no slot is named with a dot
        } else {
            store = std::make_unique<MemorySlotStore>();
        }
        return std::make_unique<StoredSaves>(interpreter, game, std::move(store), readPages);
    });
}

} // namespace vorn
