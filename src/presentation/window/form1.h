#pragma once
// The player's window: the scene drawn as one 632 x 425 canvas scaled as a
// whole, the text box as a child above it, and the events that drive the
// interpreter. It is the display surface of the windowed player. Its code is
// split by concern: form1.cpp the window's life cycle, form1_surface.cpp the
// display surface and its drawing, form1_input.cpp the mouse and the keys,
// form1_backlog.cpp the backlog, form1_going_back.cpp going back and
// skipping, form1_saves.cpp saving, loading and the place kept when the
// window closes.

#include "interpreter/display_surface.h"
#include "interpreter/interpreter.h"
#include "interpreter/self_voicing.h"
#include "keyboard.h"
#include "reader_settings_keeper.h"
#include "scene_geometry.h"
#include "saves/save_store.h"
#include "saves/reader_settings.h"
#include "saves/saves.h"
#include "shell/shell.h"

#include <QImage>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <array>
#include <functional>
#include <future>
#include <memory>
#include <optional>
#include <vector>

class QDialog;
class QLabel;
class QPlainTextEdit;
class QMenu;

namespace vorn {
class OptionStandIn;
class PictureStandIn;
class QtSpeaker;
class ReaderMarks;
} // namespace vorn

namespace vorn {

class Form1 : public QWidget, public DisplaySurface {
    Q_OBJECT
  public:
    // As a child of `parent`, the scene fills the parent, which takes the
    // zoom's size and goes full screen in the scene's place.
    Form1(const GameFolder& folder, MusicDevice& device, int zoom, QWidget* parent = nullptr);
    ~Form1() override;

    // Runs the load steps; false (after the report) when the game cannot start.
    bool load();
    // Starts the first run, as the window's activation does.
    void activate();
    // Decodes the built-in scene and icon, if not yet done, and gives the
    // window its icon; a scene the game has not replaced shows it.
    void takeBuiltInPictures();
    // The device reached the end of the music; called on the window's thread.
    void musicDone();
    // A termination signal: music stopped, script closed, exit status 0, no box.
    void terminate();

    // DisplaySurface
    void setText(const std::string& text) override;
    void setCaption(int label, const std::string& text) override;
    void refreshLabel(int label) override;
    bool setPicture(PictureElement element, const PictureFile& picture) override;
    bool setCursor(const PictureFile& icon) override;
    void resetPicture(PictureElement element) override;
    void showMessage(const std::string& text, const std::string& title) override;
    void keepAlive() override;

    // The handlers behind the mouse, which the keyboard calls too.
    void resume();                 // a click on the text box
    void readOn();                 // Enter, Space, Page Down: the rest of a long page, else resume()
    void chooseOption(int option); // a click on the caption of option 1..4
    // A press on the bare background: the right button alone opens the pop-up menu.
    void backgroundPressed(Qt::MouseButtons buttons, QPoint globalPos);
    void newGame();   // the menu's "New"
    void quit();      // the menu's "Quit": closes the window, credits first
    void showAbout(); // the menu's "About"
    void perform(KeyAction action);

    // Going back and skipping.
    void stepBack();                           // Left, Page Up, the wheel up at the top of a page
    void stepBackTo(std::size_t backlogIndex); // a click on a page in the backlog
    void toggleSkip();                         // S: skip pages read until pressed again
    bool skipping() const { return skipTimer_.isActive(); }
    // Skipping turns unread pages too (the reader's setting).
    void setSkipUnread(bool skipUnread); // as the settings would have it
    // "back 3" while the reader is back in play, "Skip" while pages are skipped.
    const QLabel* placeMark() const { return placeMark_; }

    // Saving and loading, between runs only.
    void quickSave();      // F5
    void quickLoad();      // F9
    void openSaveDialog(); // "Save…", Ctrl+S
    void openLoadDialog(); // "Load…", Ctrl+L
    void saveTo(const std::string& slot);
    void loadFrom(const std::string& slot);
    // Where the saves go; by default the user's folder for the game.
    void setSaveFolder(const QString& folder);
    // Where the pages read are kept between plays (the reader's data folder,
    // or --save-dir); read from there now. Without a file they are kept in
    // memory only, for this window.
    void setReadPagesFile(const QString& path);
    // At the start, go on from the place kept at the last close without asking.
    void setContinueAtOnce(bool atOnce) { continueAtOnce_ = atOnce; }
    Saves& saves();

    // The reader's settings: kept in memory until useSettings() names where
    // they are kept. The music plays at their level from then on.
    void useSettings(ReaderSettingsKeeper& keeper);
    const ReaderSettings& readerSettings() const { return settings_->settings(); }
    // Takes changed settings: the music's level at once, the rest where they
    // apply; kept for the next start.
    void changeSettings(const ReaderSettings& settings);
    void openSettings(); // "Settings…", Ctrl+comma
    // The music's mute and volume keys: M, 9, 0; the new level shows for a moment.
    void changeVolumeByKey(KeyAction action);
    // Auto mode: while on, a page that waits for a click turns by itself after
    // a delay that grows with its length, a box at a time on a long page.
    void setAutoMode(bool on);
    bool autoMode() const { return autoMode_; }
    // Whether auto mode will turn the page or scroll a box, and in how many milliseconds.
    bool autoTurnPending() const { return autoTurn_.isActive(); }
    int autoTurnInterval() const { return autoTurn_.interval(); }
    ReaderMarks* marks() const { return marks_; }

    Interpreter& interpreter() { return interpreter_; }
    QPlainTextEdit* text1() const { return text1_; }
    QPlainTextEdit* backlog() const { return backlog_; }
    // Shown in the text box's lower-right corner while lines of the page are hidden below.
    const QWidget* moreBelowMark() const { return moreBelow_; }
    // The option a click at the pointer would take, underlined; 0 for none.
    int markedOption() const { return markedOption_; }
    const QString& caption(int label) const { return captions_[label - 1]; }
    // What screen readers and the keyboard's focus find in place of caption 1..4,
    // shown only while its option is offered.
    OptionStandIn* optionStandIn(int label) const { return optionStandIns_[label - 1]; }
    const PictureStandIn* image1StandIn() const { return image1StandIn_; }
    QSize image1Size() const { return image1Size_; }
    QSize image2Size() const { return image2Size_; }
    bool image2Empty() const { return image2_.isNull(); }
    SceneTransform sceneTransform() const { return transform_; }
    QMenu* popupMenu() const { return menu_; }
    QLabel* notice() const { return notice_; }
    void setZoom(int zoom);
    int zoom() const { return zoom_; }
    // The largest zoom at which the window fits the screen's available area.
    int largestZoom() const;
    void setFullScreen(bool on);
    bool fullScreen() const { return fullScreen_; }

    // Self-voicing: V turns it on and off (and the settings keep it), R says
    // the screen again. Tests put a speaker of their own in the desktop's place.
    void toggleVoicing();
    void repeatSpeech();
    bool selfVoicing() const { return voicing_ && voicing_->on(); }
    void setSpeaker(std::unique_ptr<Speaker> speaker);
    // The speaker's voice and rate as the settings name them.
    void applySpeechSettings(const ReaderSettings& settings);

    // Shows a modal message box; tests replace it to answer at once.
    using MessagePresenter = std::function<void(const QString& title, const QString& text, bool isError)>;
    void setMessagePresenter(MessagePresenter presenter) { presentMessage_ = std::move(presenter); }
    // Asks the reader to choose between two answers; true for `yes`. Tests replace it too.
    using QuestionPresenter = std::function<bool(const QString& question, const QString& yes, const QString& no)>;
    void setQuestionPresenter(QuestionPresenter presenter) { presentQuestion_ = std::move(presenter); }

    // Called once the game has ended: `status` 0 after the shut-down, 1 after
    // the fatal error `fatal`, which it then reports itself. Without one, the
    // fatal error is shown in a box and the program ends with `status`.
    using EndHandler = std::function<void(int status, const QString& fatal)>;
    void setEndHandler(EndHandler handler) { ended_ = std::move(handler); }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // Thrown out of a run that the reader ended by closing the window.
    struct RunAborted {};

    // Calls into the interpreter; a fatal error is reported and ends the program.
    void guarded(const std::function<void()>& action);
    void reportFatal(const QString& english, const QString& message); // the message in the reader's language
    // `keepPlace`: a close by the reader, which keeps the place to go on from.
    void shutDown(bool showCredits, int exitCode, bool keepPlace);
    void updateTransform();
    void applyCursor();
    int fontPixels() const;
    void setUpSkipping();
    void startSkipping(bool whileHeld);
    void stopSkipping();
    void skipOnce();
    // Ctrl held alone this long starts skipping, so that Ctrl+C and the other
    // shortcuts never turn a page.
    static constexpr int kSkipHoldDelay = 300;
    void playedOn(); // a run has played on from where the reader was: no longer back
    void updatePlaceMark();
    void wheelTurned(QWheelEvent* event); // over the text box or the scene
    std::size_t backlogEntryAt(QPoint viewportPoint) const;
    int offeredCaptions() const;           // how many captions a click can choose from now
    int labelAt(QPoint widgetPoint) const; // the caption 1..4 a click there lands on, or 0
    void updateMarkedOption();
    void updateStandIns(); // the offered options and the scene picture, where they are drawn
    void updateMoreBelowMark();
    bool restOfPageHidden() const; // lines of the page wait below the box
    void popUpMenuFromKeyboard();
    void openBacklog();
    void closeBacklog();
    void openSlotDialog(bool saving);
    bool goOnFromKeptPlace();
    void waitUntilPlaced();        // until the window manager has put the window on the screen
    std::string keepPlaceToGoOn(); // "" or why the place could not be kept
    QByteArray scenePicture();
    void showNotice(const QString& text, int milliseconds = 1500);
    void setUpVoicing();
    void tellVoicing(VoicingNotice notice);
    void scheduleAutoTurn(); // starts auto mode's wait, when it is on and the page waits for a click
    void autoTurn();
    // Runs `dialog`, a child of this window, over the scene: in its middle,
    // its text as large as the scene's.
    int execOverScene(QDialog& dialog);

    // Writes the read pages when a run has read one since they were last
    // written: ReadPages::kKeepDelayMs after the first such run; at once
    // when the window is closing.
    void setUpReadPages();
    bool readPagesWaiting() const; // read since they were last written, with a file to write
    void keepReadPagesIfChanged();
    void keepReadPagesNow();

    GameFolder folder_;
    MusicDevice& music_;
    Interpreter interpreter_;
    Shell shell_;
    ReadPages readPages_;
    QString readPagesFile_;
    std::size_t keptReadPages_ = 0;
    QTimer readPagesKeep_; // running while read pages wait to be written

    // Decoded when first taken.
    struct BuiltInPictures {
        QImage scene, icon;
    };
    std::future<BuiltInPictures> builtIn_;
    // The game's background and cursor, read and decoded on a thread of their
    // own while the window is made; each serves once, where the game sets
    // those same bytes.
    struct PictureAhead {
        std::string bytes;
        std::optional<QImage> image;
    };
    struct StartPictures {
        PictureAhead background, cursor;
    };
    std::future<StartPictures> startPicturesAhead_;
    StartPictures startPictures_;
    std::optional<QImage> decodedAhead(PictureAhead StartPictures::*which, const std::string& bytes);
    bool sceneReplaced_ = false; // the game has set Image1 itself
    QImage builtInScene_;        // kept for a loaded game that shows it again

    QImage background_, image1_, image2_;
    QSize image1Size_, image2Size_;
    std::array<QString, 4> captions_;
    QPlainTextEdit* text1_ = nullptr;
    std::array<OptionStandIn*, 4> optionStandIns_{};
    PictureStandIn* image1StandIn_ = nullptr;
    QPlainTextEdit* backlog_ = nullptr;
    QWidget* moreBelow_ = nullptr;
    QMenu* menu_ = nullptr;
    std::unique_ptr<QCursor> cursor_;
    QImage cursorImage_;
    QLabel* notice_ = nullptr; // "Saved", "Loaded", for a moment
    QTimer noticeTimer_;
    QTimer skipDelay_;           // Ctrl held alone this long starts skipping
    QTimer skipTimer_;           // a page every 50 ms while skipping
    bool skipWhileHeld_ = false; // skipping ends when Ctrl is let go, not at a stop
    QLabel* placeMark_ = nullptr;
    int stepsBack_ = 0;              // places gone back since the reader last played on
    int wheelBack_ = 0;              // the wheel's turn upwards not yet taken as a step back
    std::vector<int> backlogStarts_; // where each backlog entry starts in the text shown
    QPoint backlogPress_;
    bool pressStoppedSkipping_ = false; // the press on the text box stopped skipping: its click turns nothing
    int zoom_ = 1;
    bool fullScreen_ = false;
    SceneTransform transform_;
    int pressedLabel_ = 0;
    std::optional<QPoint> pointer_; // where the mouse is over the window, if it is
    int markedOption_ = 0;
    bool closeRequested_ = false;
    bool terminateRequested_ = false;
    bool finished_ = false;
    MessagePresenter presentMessage_;
    QuestionPresenter presentQuestion_;

    QString saveFolder_;
    std::unique_ptr<SlotStore> store_; // made at the first save or load
    std::unique_ptr<Saves> saves_;
    bool continueAtOnce_ = false;
    ReaderSettingsKeeper ownSettings_; // until useSettings()
    ReaderSettingsKeeper* settings_ = &ownSettings_;
    bool autoMode_ = false;
    QTimer autoTurn_;
    ReaderMarks* marks_ = nullptr;
    std::optional<Snapshot> startPlace_; // the game as the window started it: closed there, nothing is kept
    EndHandler ended_;

    std::unique_ptr<Speaker> speaker_;    // made at the first use of self-voicing
    std::unique_ptr<SelfVoicing> voicing_;
};

} // namespace vorn
