#pragma once
// The window when the player starts without a game: it shows the start
// screen, plays the game the reader picks in the same window at the same
// zoom, and comes back to the start screen when that game ends, by "Quit" or
// by a fatal error, which it shows above the list. The window's close box
// ends the program, after the game's credits as always.

#include "form1.h"
#include "shell/command_line.h"
#include "presentation/window/games_list.h"
#include "start_screen.h"
#include "window_game.h"

#include <QWidget>
#include <filesystem>
#include <memory>
#include <vector>

namespace vorn {

class PlayerWindow : public QWidget {
    Q_OBJECT
  public:
    PlayerWindow(GamesList& games, const Options& options, int zoom);
    ~PlayerWindow() override;

    // Opens a folder, a .vrn script or an archive and plays it; what keeps it
    // from playing is shown on the start screen. With `goOn` it plays on from
    // the place kept when it was last closed without asking, as --continue does.
    void play(const std::filesystem::path& path, bool goOn = false);
    // A termination signal: the game, if any, ends without credits, then the program.
    void terminate();

    StartScreen* startScreen() const { return start_; }
    Form1* game() const { return game_ ? game_->form.get() : nullptr; }
    void setZoom(int zoom);
    int zoom() const { return zoom_; }
    void setFullScreen(bool on);

    // The message boxes of the games played here; tests answer them at once.
    void setMessagePresenter(Form1::MessagePresenter presenter) { presentMessage_ = std::move(presenter); }
    void setQuestionPresenter(Form1::QuestionPresenter presenter) { presentQuestion_ = std::move(presenter); }
    // Where each game played finds the reader's settings and keeps their changes.
    void useSettings(ReaderSettingsKeeper& keeper) { settings_ = &keeper; }

  protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    struct Game : WindowGame {
        using WindowGame::WindowGame;
        QString name;
        std::filesystem::path location; // as the games list knows it
        bool fromArchive = false;
        bool started = false; // loaded, and on the list
    };
    void gameEnded(int status, const QString& fatal);
    void showStartScreen();
    void disposeOfEndedGames();

    GamesList& games_;
    ReaderSettingsKeeper* settings_ = nullptr;
    Options options_;
    StartScreen* start_ = nullptr;
    std::unique_ptr<Game> game_;
    // Games that have ended, deleted once no handler of theirs is still running.
    std::vector<std::unique_ptr<Game>> ended_;
    int zoom_ = 1;
    bool fullScreen_ = false;
    bool quitting_ = false; // the close box or a signal: the program ends with the game
    // None: the game's own, which show over its scene.
    Form1::MessagePresenter presentMessage_;
    Form1::QuestionPresenter presentQuestion_;
};

} // namespace vorn
