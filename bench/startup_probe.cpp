// Time from the start of main() to the first paint of a window: an empty Qt
// window of the player's size, or the player's window on its first page.
// Prints the milliseconds; bench/startup.sh runs it and compares the two.

#include "presentation/music/fluid_music_device.h"
#include "presentation/window/form1.h"
#include "presentation/window/window_app.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <cstdio>
#include <cstring>
#include <thread>

namespace {

class FirstPaint : public QObject {
  public:
    FirstPaint(const QElapsedTimer& clock, std::function<bool()> ready) : clock_(clock), ready_(std::move(ready)) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && ready_()) {
            // Report after this paint has been delivered.
            QMetaObject::invokeMethod(
                this,
                [this] {
                    std::printf("%.2f\n", clock_.nsecsElapsed() / 1e6);
                    QCoreApplication::exit(0);
                },
                Qt::QueuedConnection);
            watched->removeEventFilter(this);
        }
        return false;
    }

  private:
    const QElapsedTimer& clock_;
    std::function<bool()> ready_;
};

} // namespace

int main(int argc, char** argv) {
    QElapsedTimer clock;
    clock.start();
    if (argc < 2) {
        std::fprintf(stderr, "usage: startup_probe empty | GAME_DIR\n");
        return 2;
    }
    const bool empty = std::strcmp(argv[1], "empty") == 0;
    // As the player does: the font configuration is read beside the application's set-up.
    std::thread fontConfiguration = empty ? std::thread() : vorn::readFontConfigurationMeanwhile();
    QApplication app(argc, argv);
    if (fontConfiguration.joinable()) fontConfiguration.join();
    if (empty) {
        QWidget window;
        window.setFixedSize(632, 425);
        FirstPaint probe(clock, [] { return true; });
        window.installEventFilter(&probe);
        window.show();
        return app.exec();
    }
    const vorn::GameFolder folder(argv[1]);
    // The music device as the player makes it: its soundfont loads meanwhile.
    vorn::FluidMusicDevice device(folder, std::nullopt);
    vorn::Form1 window(folder, device, 1);
    if (!window.load()) return 1;
    FirstPaint probe(clock, [&window] { return !window.text1()->toPlainText().isEmpty(); });
    window.text1()->viewport()->installEventFilter(&probe);
    window.show();
    QTimer::singleShot(0, &window, [&window] { window.activate(); });
    return app.exec();
}
