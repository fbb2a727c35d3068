#include "window_app.h"

#include "form1.h"
#include "interpreter/music_device.h"
#include "presentation/music/fluid_music_device.h"

#include <QApplication>
#include <QScreen>
#include <QSocketNotifier>
#include <QTimer>
#include <csignal>
#include <fontconfig/fontconfig.h>
#include <cstdlib>
#include <memory>
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

} // namespace

std::thread readFontConfigurationMeanwhile() {
    return std::thread([] { FcInit(); });
}

int runWindow(int argc, char** argv, const Options& options) {
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
