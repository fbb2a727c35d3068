#pragma once
// The screen the window opens on when no game is named: the games played
// before, newest first, each with its name, a small picture of its background
// and when it was last played; "Continue" for a game left in the middle; a way
// to open another game; and the error that ended the last one, if any.
// Everything on it works from the keyboard.

#include "interpreter/game_folder.h"
#include "presentation/window/games_list.h"

#include <QWidget>
#include <filesystem>
#include <functional>
#include <optional>

class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace vorn {

class StartScreen : public QWidget {
    Q_OBJECT
  public:
    // `saveDir` is where the saves are kept when the command line names a folder.
    explicit StartScreen(GamesList& games, std::optional<std::filesystem::path> saveDir = {},
                         QWidget* parent = nullptr);

    // Called with the folder, script or archive the reader chose to play.
    std::function<void(const std::filesystem::path&)> onPlay;
    // Called with a game to play on from the place kept when it was last closed.
    std::function<void(const std::filesystem::path&)> onContinue;
    // Asks the reader for a game to open; empty when the reader cancels. The
    // platform's file dialog by default; tests answer at once.
    std::function<QString()> chooseGameFile;

    // Shows `message` above the list; the empty text takes it away.
    void showError(const QString& message);
    QString error() const;
    // Lays out the list again from the games list.
    void refresh();
    // Scales the text and the pictures with the window.
    void setZoom(int zoom);

    // The list where it has games, otherwise "Open game…".
    void focusFirst();
    void playSelected();
    void continueSelected();
    void forgetSelected();
    void openGameFile();

    QListWidget* gamesView() const { return list_; }
    // The location of the game of a row of the list.
    std::filesystem::path location(int row) const;
    // Whether the game of a row has a place kept to go on from; known once
    // its picture has been loaded.
    bool canContinue(int row) const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void loadNextThumbnail();
    bool identify(const std::filesystem::path& game, const GameFolder& folder);
    QSize thumbnailSize() const;
    QPixmap thumbnail(const QImage& picture) const;
    void selectionChanged();

    GamesList& games_;
    std::optional<std::filesystem::path> saveDir_;
    QLabel* error_ = nullptr;
    QLabel* emptyHint_ = nullptr;
    QListWidget* list_ = nullptr;
    QPushButton* open_ = nullptr;
    QPushButton* forget_ = nullptr;
    QPushButton* play_ = nullptr;
    QPushButton* continue_ = nullptr;
    int zoom_ = 1;
    int nextThumbnail_ = 0;
};

// The platform's dialog for a game folder, a .vrn script or an archive.
QString askForGameFile(QWidget* parent);
// What the dialog says of a folder chosen to open that holds no game.
QString noGameIn(const QString& folder);

} // namespace vorn
