#include "window_app.h"

#include "form1.h"
#include "gamepad.h"
#include "interpreter/message.h"
#include "player_window.h"
#include "presentation/language/language.h"
#include "presentation/music/fluid_music_device.h"
#include "presentation/window/games_list.h"
#include "game_files/open_game.h"
#include "saves/save_store.h"
#include "saves/settings_store.h"
#include "text_views.h"
#include "window_game.h"

#include <QApplication>
#include <QFile>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScreen>
#include <QSocketNotifier>
#include <QTimer>
#include <clocale>
#include <csignal>
#include <cstdlib>
#include <dlfcn.h>
#include <fontconfig/fontconfig.h>
#include <future>
#include <iostream>
#include <langinfo.h>
#include <optional>
#include <string>
#include <string_view>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace vorn {
namespace {

int signalPipe[2] = {-1, -1};

void onTerminationSignal(int) {
    const char byte = 1;
    [[maybe_unused]] auto written = ::write(signalPipe[0], &byte, 1);
}

// The display the session names, as "DISPLAY=:0" (or WAYLAND_DISPLAY=...), or "".
std::string namedDisplay() {
    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY"})
        if (const char* named = std::getenv(variable); named && *named) return std::string(variable) + "=" + named;
    return {};
}

bool hasDisplay() {
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    return (platform && *platform) || !namedDisplay().empty();
}

// While the application connects to the display: Qt ends the program when
// it cannot (a DISPLAY that names no display, a display that refuses it),
// aborting with advice to reinstall it. The reader is told what is wrong
// instead, and the player exits as it does without a display. Qt's own line
// before that (which display it could not reach) is let through; its notes
// on the platform plugin that then failed to load are not.
QtMessageHandler qtMessages = nullptr;
void onQtMessageWhileConnecting(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type != QtFatalMsg) {
        if (qtMessages && std::string_view(context.category ? context.category : "") != "qt.qpa.plugin")
            qtMessages(type, context, message);
        return;
    }
    std::cerr << "vorn: cannot open a window on the display (" << escapeControls(namedDisplay())
              << "); check that it is running and allows this user, or play without one: 'vorn --headless'.\n";
    std::_Exit(1);
}

// Calls its function once a paint of `widget` for which `ready` holds has
// been delivered; queued, so the paint has reached the screen by then.
class AfterFirstPaint : public QObject {
  public:
    AfterFirstPaint(QWidget* widget, std::function<bool()> ready, std::function<void()> then)
        : ready_(std::move(ready)), then_(std::move(then)) {
        widget->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && ready_()) {
            watched->removeEventFilter(this);
            QMetaObject::invokeMethod(this, then_, Qt::QueuedConnection);
        }
        return false;
    }

  private:
    std::function<bool()> ready_;
    std::function<void()> then_;
};

// SIGTERM and SIGINT end the program in order, through the event loop.
void endOnTerminationSignal(QObject* context, std::function<void()> terminate) {
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0) return;
    auto* notifier = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, context, [terminate] {
        char byte;
        [[maybe_unused]] auto got = ::read(signalPipe[1], &byte, 1);
        terminate();
    });
    struct sigaction action {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

// Whether Qt will open the window through X11 (its xcb platform): asked for by
// name, or left to Qt outside a Wayland session, where Qt looks for Wayland first.
bool windowSystemIsX11() {
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform && *platform) return std::string_view(platform).starts_with("xcb");
    const char* session = std::getenv("XDG_SESSION_TYPE");
    return !(session && std::string_view(session) == "wayland");
}

// The X11 platform plugin Qt will load, where it is sure to be the one in
// Qt's own plugin folder (no other folder given to look in first).
std::string x11PlatformPlugin() {
    for (const char* variable : {"QT_PLUGIN_PATH", "QT_QPA_PLATFORM_PLUGIN_PATH"})
        if (const char* set = std::getenv(variable); set && *set) return {};
    return QFile::encodeName(QLibraryInfo::path(QLibraryInfo::PluginsPath) + "/platforms/libqxcb.so").toStdString();
}

// Prepares, on a thread of its own, what the window's start needs from the
// process's shared state, while the application connects to the display and
// mostly waits for it: the X11 platform plugin and the libraries it brings
// loaded and bound; X11's locale data (the first window title reads it); the
// font configuration (the first font look-up reads it). Each is global to the
// process and safe to set up from any thread, so the main thread finds it
// done, or waits for the part under way, rather than doing it in its turn.
std::jthread prepareWindowSystem() {
    if (!windowSystemIsX11()) return std::jthread([] { FcInit(); });
    const std::string plugin = x11PlatformPlugin();
    // The locale Qt sets as it starts, set here while the thread loads the
    // plugin, and read by the thread only once set. Only a UTF-8 one is read,
    // which Qt keeps as it is; any other it changes.
    std::promise<bool> localeSet;
    std::jthread preparing([plugin, utf8 = localeSet.get_future()]() mutable {
        // Kept open: Qt opens the same file and finds it loaded.
        void* loaded = plugin.empty() ? nullptr : ::dlopen(plugin.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (loaded) ::dlopen("libXcursor.so.1", RTLD_NOW | RTLD_LOCAL); // the window's cursor
        using SupportsLocale = int();
        auto* supports = loaded ? reinterpret_cast<SupportsLocale*>(::dlsym(loaded, "XSupportsLocale")) : nullptr;
        if (utf8.get() && supports) supports();
        FcInit();
    });
    std::setlocale(LC_ALL, "");
    localeSet.set_value(std::string_view(nl_langinfo(CODESET)) == "UTF-8");
    return preparing;
}

// --zoom, else the reader's setting, else as large as the screen allows.
int startZoom(const Options& options, const ReaderSettings& settings) {
    if (options.zoom != 0) return options.zoom;
    const QScreen* screen = QGuiApplication::primaryScreen();
    const int largest = screen ? largestZoomOn(screen) : 1;
    return settings.zoom != 0 ? std::min(settings.zoom, largest) : largest;
}

} // namespace

// Whether the story has the keyboard: no dialog, menu or message is open
// over it, and its backlog is closed. A pad's buttons mean the story's keys
// then, and walk and answer what is open otherwise.
bool storyHasTheKeyboard() {
    if (QApplication::activePopupWidget() || QApplication::activeModalWidget()) return false;
    for (QWidget* widget = QApplication::focusWidget(); widget; widget = widget->parentWidget())
        if (auto* form = qobject_cast<Form1*>(widget)) return !form->backlog()->isVisible();
    return false;
}

// Gamepads are looked for once the window is up: a pad is not needed for
// the first page, and looking costs a moment.
void startGamepads(QObject* context) {
    QTimer::singleShot(200, context, [context] { new GamepadReader(storyHasTheKeyboard, context); });
}

int runWindow(int argc, char** argv, const Options& options, std::function<void()> firstPagePainted) {
    if (!hasDisplay()) {
        std::cerr << "vorn: no display to open a window on; to play without one, use 'vorn --headless'.\n";
        return 1;
    }
    std::jthread windowSystem = prepareWindowSystem();
    // Opened first: a game in an archive unpacks its first files on a thread
    // of its own while the application sets up.
    const OpenedGame game = openGame(options.gameFolder);
    if (!game.notice.empty()) std::cerr << "vorn: " << escapeControls(game.notice) << '\n';

    qtMessages = qInstallMessageHandler(onQtMessageWhileConnecting);
    QApplication app(argc, argv);
    qInstallMessageHandler(qtMessages);
    QApplication::setApplicationName("vorn");
    QApplication::setApplicationVersion(VORN_VERSION);
    // The reader's settings: a file that cannot be read or understood gives
    // the defaults and a note, and the player starts all the same.
    const SettingsRead kept = loadSettings();
    if (!kept.note.empty()) std::cerr << "vorn: " << escapeControls(kept.note) << '\n';
    ReaderSettingsKeeper settings(kept.settings, true);
    // --language, else the reader's setting, else the desktop's.
    std::optional<std::string> language = options.language;
    if (!language && !kept.settings.language.empty()) language = kept.settings.language;
    installTranslations(chosenLanguage(language));
    // Fonts are looked up from here on (every window below has text).
    windowSystem.join();
    // No game named and none in the current folder: the start screen.
    if (!options.gameNamed && !holdsGame(game)) {
        GamesList games;
        PlayerWindow window(games, options, startZoom(options, kept.settings));
        window.useSettings(settings);
        endOnTerminationSignal(&window, [&window] { window.terminate(); });
        if (options.fullscreen)
            window.setFullScreen(true);
        else
            window.show();
        startGamepads(&window);
        return app.exec();
    }
    if (!game.folder) {
        // Told as the window tells a fatal error: on standard error and in a box.
        std::cerr << "vorn: " << escapeControls(game.error) << '\n';
        QMessageBox::critical(nullptr, "VORN", shortenedForDisplay(withVisibleControls(translated(game.problem))));
        return 1;
    }
    const GameFolder& folder = *game.folder;
    if (const std::string note = scriptEncodingNote(folder); !note.empty()) std::cerr << "vorn: " << note << '\n';
    WindowGame played(folder, options, startZoom(options, kept.settings));
    Form1& window = *played.form;
    window.useSettings(settings);
    window.setContinueAtOnce(options.continueGame);
    if (!window.load()) return 1;
    // What the first page does not need starts once that page is on screen
    // (its text painted), or after a moment where it never shows (a page
    // without text, a window manager that keeps the window hidden):
    //  - the start screen offers the game next time: the list is written, and
    //    the script hashed for it, on a thread of its own, since the write
    //    waits for the disk; it is finished before the program ends;
    //  - the music's soundfont loads on the device's own thread;
    //  - the built-in pictures are decoded, where the game replaced the scene.
    std::future<void> remembered;
    bool firstPageDone = false;
    FluidMusicDevice* device = played.fluid;
    const auto afterFirstPage = [&game, &window, &remembered, &firstPageDone, device] {
        if (std::exchange(firstPageDone, true)) return;
        remembered = std::async(std::launch::async,
                                [location = game.location, script = window.interpreter().stream().contents()] {
                                    GamesList().add(location, Saves::scriptHash(script));
                                });
        if (device) device->startSetUp();
        window.takeBuiltInPictures();
    };
    QPlainTextEdit* text = window.text1();
    const auto pageShown = [text] { return !text->document()->isEmpty(); };
    AfterFirstPaint firstPageShown(text->viewport(), pageShown, afterFirstPage);
    QTimer::singleShot(500, &window, afterFirstPage);
    // Watched last, so that its news is posted before the work above starts.
    std::optional<AfterFirstPaint> firstPageWatch;
    if (firstPagePainted) firstPageWatch.emplace(text->viewport(), pageShown, std::move(firstPagePainted));

    endOnTerminationSignal(&window, [&window] { window.terminate(); });

    if (options.fullscreen)
        window.setFullScreen(true);
    else
        window.show();
    QTimer::singleShot(0, &window, [&window] { window.activate(); });
    startGamepads(&window);
    const int status = app.exec();
    if (remembered.valid()) {
        remembered.wait();
        GamesList().left(game.location);
    }
    return status;
}

} // namespace vorn
