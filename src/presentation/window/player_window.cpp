#include "player_window.h"

#include "interpreter/message.h"
#include "presentation/language/language.h"
#include "text_views.h"

#include "game_files/open_game.h"
#include "saves/save_store.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QListWidget>
#include <QMimeData>
#include <QShortcut>
#include <QThread>
#include <QTimer>
#include <iostream>

namespace vorn {

PlayerWindow::PlayerWindow(GamesList& games, const Options& options, int zoom) : games_(games), options_(options) {
    setWindowFlags(kWindowFlags);
    setWindowTitle("VORN Interpeter");
    setWindowIcon(QIcon(":/vorn.png"));
    setAcceptDrops(true);
    start_ = new StartScreen(games_, options_.saveDir, this);
    start_->onPlay = [this](const std::filesystem::path& path) { play(path); };
    start_->onContinue = [this](const std::filesystem::path& path) { play(path, true); };

    // The window's own keys while the start screen shows; a game has its own.
    auto shortcut = [this](const QList<QKeySequence>& keys, std::function<void()> action) {
        for (const QKeySequence& key : keys) {
            auto* s = new QShortcut(key, start_, nullptr, nullptr, Qt::WidgetWithChildrenShortcut);
            connect(s, &QShortcut::activated, this, action);
        }
    };
    shortcut({QKeySequence(Qt::CTRL | Qt::Key_Q)}, [this] { close(); });
    shortcut({QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)}, [this] {
        if (zoom_ < largestZoomOn(screen())) setZoom(zoom_ + 1); // zoom in stops where the screen ends
    });
    shortcut({QKeySequence(Qt::CTRL | Qt::Key_Minus)}, [this] { setZoom(zoom_ - 1); });
    shortcut({QKeySequence(Qt::Key_F11), QKeySequence(Qt::ALT | Qt::Key_Return), QKeySequence(Qt::ALT | Qt::Key_Enter)},
             [this] { setFullScreen(!fullScreen_); });

    setZoom(zoom);
    start_->focusFirst();
}

PlayerWindow::~PlayerWindow() {
    game_.reset();
    ended_.clear();
}

void PlayerWindow::setZoom(int zoom) {
    zoom_ = std::clamp(zoom, 1, 4);
    if (!fullScreen_) setFixedSize(kSceneSize * zoom_);
    start_->setZoom(zoom_);
}

void PlayerWindow::setFullScreen(bool on) {
    if (on == fullScreen_) return;
    fullScreen_ = on;
    setWindowFullScreen(this, on, zoom_);
}

void PlayerWindow::resizeEvent(QResizeEvent*) {
    start_->setGeometry(rect());
    if (game_) game_->form->setGeometry(rect());
}

void PlayerWindow::play(const std::filesystem::path& path, bool goOn) {
    if (game_) return;
    OpenedGame opened = openGame(path);
    if (!opened.folder) {
        start_->showError(withVisibleControls(translated(opened.problem)));
        return;
    }
    if (!holdsGame(opened)) {
        start_->showError(
            tr("the folder \"%1\" holds no code.vrn, so it is no VORN game (%2)")
                .arg(withVisibleControls(gameName(opened.location)), withVisibleControls(opened.location.string())));
        return;
    }
    if (!opened.notice.empty()) std::cerr << "vorn: " << escapeControls(opened.notice) << '\n';
    if (const std::string note = scriptEncodingNote(*opened.folder); !note.empty())
        std::cerr << "vorn: " << note << '\n';
    start_->showError({});

    auto game = std::make_unique<Game>(*opened.folder, options_, zoom_, this);
    game->name = QString::fromStdString(gameName(opened.location));
    game->location = opened.location;
    game->fromArchive = !opened.folder->archive().empty();
    Form1* form = game->form.get();
    form->setGeometry(rect());
    if (presentMessage_) form->setMessagePresenter(presentMessage_);
    if (presentQuestion_) form->setQuestionPresenter(presentQuestion_);
    form->setContinueAtOnce(goOn);
    if (settings_) form->useSettings(*settings_);
    form->setEndHandler([this](int status, const QString& fatal) { gameEnded(status, fatal); });
    // The music's set-up begins once the first page is on its way.
    if (game->fluid) QTimer::singleShot(300, form, [device = game->fluid] { device->startSetUp(); });
    game_ = std::move(game);
    if (!form->load()) return; // the report is on the start screen already
    game_->started = true;
    games_.add(opened.location, Saves::scriptHash(form->interpreter().stream().contents()));
    if (fullScreen_) form->setFullScreen(true);
    start_->hide();
    form->show();
    form->setFocus();
    QTimer::singleShot(0, form, [form] { form->activate(); });
}

void PlayerWindow::gameEnded(int status, const QString& fatal) {
    if (!game_) return;
    zoom_ = game_->form->zoom();
    fullScreen_ = game_->form->fullScreen();
    if (game_->started) games_.left(game_->location);
    // An archive that fails before its game starts is refused as one that
    // cannot be opened at all is: the report names the archive and says what
    // is wrong with it.
    const bool refused = !game_->started && game_->fromArchive;
    ended_.push_back(std::move(game_));
    QTimer::singleShot(0, this, [this] { disposeOfEndedGames(); });
    if (quitting_) {
        QCoreApplication::exit(status);
        return;
    }
    if (!fatal.isEmpty())
        start_->showError(refused ? fatal
                                  : tr("%1 stopped with an error:\n%2").arg(withVisibleControls(ended_.back()->name), fatal));
    showStartScreen();
}

void PlayerWindow::showStartScreen() {
    if (!fullScreen_) setFixedSize(kSceneSize * zoom_);
    start_->setZoom(zoom_); // also lays out the list anew, with the game just played first
    start_->gamesView()->setCurrentRow(0);
    start_->setGeometry(rect());
    start_->show();
    start_->raise();
    start_->focusFirst();
}

// A game ends inside its own handlers (a run, a menu, the credits box); it is
// deleted once they have all returned, that is back in the outermost event loop.
void PlayerWindow::disposeOfEndedGames() {
    if (ended_.empty()) return;
    if (QThread::currentThread()->loopLevel() > 1) {
        QTimer::singleShot(100, this, [this] { disposeOfEndedGames(); });
        return;
    }
    ended_.clear();
}

void PlayerWindow::terminate() {
    if (game_) {
        quitting_ = true;
        game_->form->terminate();
        return;
    }
    QCoreApplication::exit(0);
}

void PlayerWindow::closeEvent(QCloseEvent* event) {
    if (!game_) {
        event->accept();
        QCoreApplication::exit(0);
        return;
    }
    // The game shuts down as always (credits, music closed), then the program ends.
    quitting_ = true;
    game_->form->close();
    event->ignore();
}

void PlayerWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (game_ || !event->mimeData()->hasUrls()) return;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile()) {
            event->acceptProposedAction();
            return;
        }
}

void PlayerWindow::dropEvent(QDropEvent* event) {
    if (game_) return;
    std::vector<std::filesystem::path> paths;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile()) paths.push_back(QFile::encodeName(url.toLocalFile()).toStdString());
    if (paths.empty()) return;
    event->acceptProposedAction();
    // Of several things dropped, the first that is a game plays.
    for (const std::filesystem::path& path : paths)
        if (holdsGame(openGame(path))) {
            QTimer::singleShot(0, this, [this, path] { play(path); }); // after the drop has finished
            return;
        }
    play(paths.front()); // shows why it is no game
}

} // namespace vorn
