#include "form1.h"

#include "interpreter/fatal_error.h"
#include "interpreter/message.h"
#include "presentation/language/language.h"
#include "presentation/picture_decoder.h"
#include "reader_marks.h"
#include "scene_dialog.h"
#include "scene_stand_ins.h"
#include "text_views.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <iostream>

namespace vorn {

Form1::Form1(const GameFolder& folder, MusicDevice& device, int zoom, QWidget* parent)
    : QWidget(parent), folder_(folder), music_(device), interpreter_(folder_, *this, device),
      shell_(interpreter_, *this, device) {
    if (!parent) setWindowFlags(kWindowFlags);
    setUpReadPages();
    setWindowTitle("VORN Interpeter"); // spelled as the original player spelled it, on purpose
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true); // the option under the pointer is marked
    // The built-in pictures are decoded when first needed: by the first
    // paint of a scene the game has not replaced, else once the first page
    // is on screen (most games replace the scene before it), so that nothing
    // of them competes with the first page for the processor.
    builtIn_ = std::async(std::launch::deferred, [] {
        BuiltInPictures pictures;
        QFile scene(":/scene.bmp");
        if (scene.open(QIODevice::ReadOnly))
            pictures.scene = decodePicture(scene.readAll().toStdString()).value_or(QImage());
        pictures.icon = QImage(":/vorn.png");
        return pictures;
    });
    // Decoding the background and the cursor is the larger part of loading a
    // game; it is done beside the making of the window, which does not need
    // them. (Files larger than any the games have are left to the game's own
    // loading, so that they are not held in memory twice.)
    startPicturesAhead_ = std::async(std::launch::async, [folder] {
        constexpr std::size_t kLargestAhead = 16 * 1024 * 1024;
        const auto readAhead = [&folder](const char* name, auto decode) {
            PictureAhead ahead;
            FileContents file = folder.read(name, kLargestAhead);
            if (!file.error.empty()) return ahead;
            ahead.bytes = std::move(file.bytes);
            ahead.image = decode(ahead.bytes);
            return ahead;
        };
        return StartPictures{readAhead(kBackgroundPicture, decodePicture), readAhead(kCursorIcon, decodeIcon)};
    });
    image1Size_ = startRect(SceneElement::Image1).size();
    image2Size_ = startRect(SceneElement::Image2).size();

    installStandInAccessibility();
    // The window's own font is the page's, so that the views below are laid
    // out in it from the start rather than first in the desktop's font, which
    // the first page never shows (and which costs a font look-up of its own).
    transform_ = SceneTransform::fitting(kSceneSize * std::clamp(zoom, 1, 4), zoom);
    setFont(gothicFont(fontPixels()));
    image1StandIn_ = new PictureStandIn(this);
    text1_ = makeTextView(this, Qt::black);
    text1_->setAccessibleName(tr("Page"));
    text1_->viewport()->installEventFilter(this);
    moreBelow_ = makeMoreBelowMark(text1_);
    QScrollBar* lines = text1_->verticalScrollBar();
    connect(lines, &QScrollBar::valueChanged, this, [this] { updateMoreBelowMark(); });
    connect(lines, &QScrollBar::rangeChanged, this, [this] { updateMoreBelowMark(); });
    // Opaque: the page behind would show through as ghost text between its lines.
    backlog_ = makeTextView(this, Qt::black);
    backlog_->viewport()->installEventFilter(this);
    backlog_->hide();

    // Created in their order, so Tab visits them from the top; Enter or Space
    // on the focused one does what its key does.
    static constexpr std::array<KeyAction, 4> optionKeys = {KeyAction::ClickOption1, KeyAction::ClickOption2,
                                                            KeyAction::ClickOption3, KeyAction::ClickOption4};
    for (int label = 1; label <= 4; ++label) {
        optionStandIns_[label - 1] = new OptionStandIn(label, this);
        connect(optionStandIns_[label - 1], &OptionStandIn::chosen, this,
                [this](int option) { perform(optionKeys[option - 1]); });
    }

    menu_ = new QMenu("File", this);
    connect(menu_->addAction("New"), &QAction::triggered, this, [this] { newGame(); });
    connect(menu_->addAction("Quit"), &QAction::triggered, this, [this] { quit(); });
    connect(menu_->addAction("About"), &QAction::triggered, this, [this] { showAbout(); });
    menu_->addSeparator();
    const auto addSaveEntry = [this](const QString& text, QKeySequence keys, void (Form1::*open)()) {
        QAction* action = menu_->addAction(text);
        action->setShortcut(keys); // shown in the menu; the keys themselves go through keyPressEvent
        action->setShortcutContext(Qt::WidgetShortcut);
        action->setShortcutVisibleInContextMenu(true);
        connect(action, &QAction::triggered, this, open);
    };
    addSaveEntry(tr("Save\u2026"), QKeySequence(Qt::CTRL | Qt::Key_S), &Form1::openSaveDialog);
    addSaveEntry(tr("Load\u2026"), QKeySequence(Qt::CTRL | Qt::Key_L), &Form1::openLoadDialog);
    addSaveEntry(tr("Settings\u2026"), QKeySequence(Qt::CTRL | Qt::Key_Comma), &Form1::openSettings);

    notice_ = new QLabel(this);
    notice_->setAttribute(Qt::WA_TransparentForMouseEvents);
    notice_->hide();
    noticeTimer_.setSingleShot(true);
    noticeTimer_.setInterval(1500);
    connect(&noticeTimer_, &QTimer::timeout, notice_, &QWidget::hide);

    setUpSkipping();
    setUpVoicing();

    marks_ = new ReaderMarks(this);
    autoTurn_.setSingleShot(true);
    connect(&autoTurn_, &QTimer::timeout, this, [this] { autoTurn(); });

    presentMessage_ = [this](const QString& title, const QString& text, bool isError) {
        QMessageBox box(isError ? QMessageBox::Critical : QMessageBox::NoIcon, title, text, QMessageBox::Ok,
                        isVisible() ? this : nullptr);
        execOverScene(box);
    };
    presentQuestion_ = [this](const QString& question, const QString& yes, const QString& no) {
        QMessageBox box(QMessageBox::Question, "VORN", question, QMessageBox::NoButton, isVisible() ? this : nullptr);
        QPushButton* yesButton = box.addButton(yes, QMessageBox::AcceptRole);
        box.addButton(no, QMessageBox::RejectRole);
        box.setDefaultButton(yesButton);
        execOverScene(box);
        return box.clickedButton() == yesButton;
    };
    setZoom(zoom);
}

Form1::~Form1() {
    keepReadPagesNow(); // a window closed without its game ending (as tests do) keeps them too
}

int Form1::execOverScene(QDialog& dialog) {
    if (dialog.parentWidget() != this) return dialog.exec(); // no window to show it over
    dialog.setFont(scaledFont(QApplication::font(&dialog), transform_.scale));
    const CentredOver centred(dialog, *this, [this] { return transform_.scene(); });
    return dialog.exec();
}

bool Form1::load() {
    bool ok = false;
    guarded([&] {
        interpreter_.load();
        ok = true;
    });
    return ok;
}

void Form1::activate() {
    // Kept on from the last time: it says the first page the run shows.
    if (readerSettings().selfVoicing && !voicing_->on()) voicing_->setOn(true, interpreter_);
    guarded([this] {
        if (!goOnFromKeptPlace()) interpreter_.playRun();
        startPlace_ = interpreter_.snapshot();
    });
}

void Form1::musicDone() {
    guarded([this] { interpreter_.musicEnded(); });
}

void Form1::terminate() {
    // A fatal report is on screen (the window stays visible behind it until it
    // is closed): the signal ends the program now, with the report's status.
    if (finished_ && isVisible()) {
        QCoreApplication::exit(1);
        return;
    }
    if (interpreter_.running()) {
        terminateRequested_ = true; // the run ends at its next keep-alive
        return;
    }
    shutDown(false, 0, true);
}

void Form1::guarded(const std::function<void()>& action) {
    if (finished_) return;
    try {
        action();
    } catch (const FatalError& error) {
        reportFatal(QString::fromUtf8(error.what()), translated(error.message()));
    } catch (const RunAborted&) {
        shutDown(!terminateRequested_, 0, false); // the run was cut off: no place to keep
    }
    if (!finished_) { // a run may have offered options or taken them away
        updateMarkedOption();
        updateStandIns();
        voicing_->screenShown(interpreter_); // a new page or menu is said
        scheduleAutoTurn();
    }
    keepReadPagesIfChanged();
}

void Form1::reportFatal(const QString& english, const QString& message) {
    // Standard error keeps the English, as the transcript and the tools do.
    std::cerr << "vorn: " << escapeControls(english.toStdString()) << std::endl;
    if (finished_) return;
    finished_ = true;
    stopSkipping();
    voicing_->setOn(false, interpreter_);
    shell_.shutDown(false);
    if (ended_) {
        hide();
        ended_(1, withVisibleControls(message));
        return;
    }
    presentMessage_("VORN", shortenedForDisplay(withVisibleControls(message)), true);
    hide();
    QCoreApplication::exit(1);
}

void Form1::shutDown(bool showCredits, int exitCode, bool keepPlace) {
    if (finished_) return;
    stopSkipping();
    voicing_->setOn(false, interpreter_);
    const std::string notKept = keepPlace ? keepPlaceToGoOn() : "";
    shell_.shutDown(showCredits);
    if (!notKept.empty()) {
        std::cerr << "vorn: " << escapeControls(notKept) << std::endl;
        if (showCredits) presentMessage_("VORN", withVisibleControls(notKept), true);
    }
    finished_ = true;
    keepReadPagesNow(); // what waited to be written, before the window goes
    hide();
    if (ended_)
        ended_(exitCode, {});
    else
        QCoreApplication::exit(exitCode);
}

void Form1::closeEvent(QCloseEvent* event) {
    if (finished_) {
        event->accept();
        return;
    }
    if (interpreter_.running()) { // the run ends at its next keep-alive, then the window closes
        closeRequested_ = true;
        event->ignore();
        return;
    }
    shutDown(true, 0, true);
    event->accept();
}

} // namespace vorn
