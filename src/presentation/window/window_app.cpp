#include "window_app.h"

#include "form1.h"
#include "interpreter/music_device.h"
#include "presentation/music/fluid_music_device.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QScreen>
#include <QSocketNotifier>
#include <QTimer>
#include <csignal>
#include <fontconfig/fontconfig.h>
#include <cstdlib>
#include <memory>
#include <optional>
#include <thread>
#include <iostream>
#include <sys/socket.h>
#include <unistd.h>

namespace vorn {
namespace {

int signalPipe[2] = {-1, -1};

void onTerminationSignal(int) {
    const char byte = 1;
    [[maybe_unused]] auto written = ::write(signalPipe[0], &byte, 1);
}

bool hasDisplay() {
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform && *platform) return true;
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x11 && *x11) || (wayland && *wayland);
}

// Calls its function after the first paint of a text box that holds text.
class FirstPageWatch : public QObject {
  public:
    FirstPageWatch(QPlainTextEdit* text, std::function<void()> painted) : text_(text), painted_(std::move(painted)) {
        text_->viewport()->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !text_->document()->isEmpty()) {
            watched->removeEventFilter(this);
            // Queued: the paint reaches the screen before the call.
            QMetaObject::invokeMethod(this, painted_, Qt::QueuedConnection);
        }
        return false;
    }

  private:
    QPlainTextEdit* text_;
    std::function<void()> painted_;
};

} // namespace

std::thread readFontConfigurationMeanwhile() {
    return std::thread([] { FcInit(); });
}

int runWindow(int argc, char** argv, const Options& options, std::function<void()> firstPagePainted) {
    if (!hasDisplay()) {
        std::cerr << "vorn: no display to open a window on; to play without one, use 'vorn --headless'.\n";
        return 1;
    }
    std::thread fontConfiguration = readFontConfigurationMeanwhile();
    QApplication app(argc, argv);
    fontConfiguration.join();
    QApplication::setApplicationName("vorn");
    QApplication::setApplicationVersion(VORN_VERSION);

    const GameFolder folder(options.gameFolder);
    // The soundfont loads on the device's own thread while the window opens.
    std::unique_ptr<FluidMusicDevice> fluid;
    SilentMusicDevice silent;
    if (options.music) {
        std::optional<std::filesystem::path> soundfont;
        if (options.soundfont) soundfont = *options.soundfont;
        fluid = std::make_unique<FluidMusicDevice>(folder, soundfont);
    }
    MusicDevice& device = fluid ? static_cast<MusicDevice&>(*fluid) : silent;

    int zoom = options.zoom;
    if (zoom == 0) {
        const QScreen* screen = QGuiApplication::primaryScreen();
        zoom = screen ? largestZoomFitting(screen->availableGeometry().size() - QSize(16, 48)) : 1;
    }
    Form1 window(folder, device, zoom);
    if (fluid) {
        // The end of the music arrives on the audio thread; the window handles it
        // between its own events. takeEnd() drops an end that a Close overtook.
        fluid->setDoneCallback([&window, device = fluid.get()] {
            QMetaObject::invokeMethod(
                &window, [&window, device] { if (device->takeEnd()) window.musicDone(); }, Qt::QueuedConnection);
        });
    }
    struct CallbackReset {
        FluidMusicDevice* device;
        ~CallbackReset() {
            if (device) device->setDoneCallback({});
        }
    } callbackReset{fluid.get()};
    if (!window.load()) return 1;
    std::optional<FirstPageWatch> watch;
    if (firstPagePainted) watch.emplace(window.text1(), std::move(firstPagePainted));

    // SIGTERM and SIGINT end the program in order, through the event loop.
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) == 0) {
        auto* notifier = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read, &app);
        QObject::connect(notifier, &QSocketNotifier::activated, &window, [&window] {
            char byte;
            [[maybe_unused]] auto got = ::read(signalPipe[1], &byte, 1);
            window.terminate();
        });
        struct sigaction action {};
        action.sa_handler = onTerminationSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        sigaction(SIGTERM, &action, nullptr);
        sigaction(SIGINT, &action, nullptr);
    }

    if (options.fullscreen)
        window.setFullScreen(true);
    else
        window.show();
    QTimer::singleShot(0, &window, [&window] { window.activate(); });
    return app.exec();
}

} // namespace vorn
