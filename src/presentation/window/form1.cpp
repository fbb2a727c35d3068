#include "form1.h"

#include "interpreter/fatal_error.h"
#include "presentation/picture_decoder.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QFile>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <cmath>
#include <iostream>

namespace vorn {
namespace {

// Thrown out of a run that the reader ended by closing the window.
struct RunAborted {};

// A message box lays out every character it is given, and a report that quotes
// a label a megabyte long from a damaged script would freeze the window for a
// minute. The box shows the start and the end; standard error has it whole.
QString boxedMessage(const QString& message) {
    constexpr qsizetype half = 500;
    if (message.size() <= 2 * half) return message;
    const qsizetype head = message.at(half - 1).isHighSurrogate() ? half - 1 : half;
    const qsizetype tail = message.at(message.size() - half).isLowSurrogate() ? half - 1 : half;
    return message.left(head) + QStringLiteral(" \u2026 ") + message.right(tail);
}

// "MS Gothic" where it is installed; Debian has none, so a metric-compatible
// Japanese Gothic stands in. Only installed families are named, which spares
// the font matcher a search for fallbacks of a missing one.
const QStringList& gothicFamilies() {
    static const QStringList families = [] {
        QStringList found;
        for (const char* family : {"MS Gothic", "IPAGothic", "Noto Sans Mono CJK JP"})
            if (QFontDatabase::hasFamily(family)) found << family;
        return found.isEmpty() ? QStringList{"monospace"} : found;
    }();
    return families;
}

QFont gothicFont(int pixelSize) {
    QFont font;
    font.setFamilies(gothicFamilies());
    font.setPixelSize(pixelSize); // 11.25 pt at 96 dpi is 15 pixels
    font.setWeight(QFont::Normal);
    return font;
}

QString fromUtf8(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

QPlainTextEdit* makeTextView(QWidget* parent, const QColor& background) {
    auto* view = new QPlainTextEdit(parent);
    view->setReadOnly(true);
    view->setFrameShape(QFrame::NoFrame);
    view->setContextMenuPolicy(Qt::NoContextMenu);
    view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->setWordWrapMode(QTextOption::WrapAnywhere); // Japanese text breaks between any two characters
    view->setFocusPolicy(Qt::NoFocus);
    view->document()->setDocumentMargin(2);
    QPalette palette = view->palette();
    palette.setColor(QPalette::Base, background);
    palette.setColor(QPalette::Text, Qt::white);
    view->setPalette(palette);
    return view;
}

} // namespace

Form1::Form1(const GameFolder& folder, MusicDevice& device, int zoom, QWidget* parent)
    : QWidget(parent), folder_(folder), device_(device), interpreter_(folder_, *this, device), shell_(interpreter_, *this, device) {
    setWindowTitle("VORN Interpeter");
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    // The built-in pictures are decoded on a thread of their own: the first
    // page does not wait for them, and most games replace the scene before it.
    builtIn_ = std::async(std::launch::async, [] {
        BuiltInPictures pictures;
        QFile scene(":/scene.bmp");
        if (scene.open(QIODevice::ReadOnly)) pictures.scene = decodePicture(scene.readAll().toStdString()).value_or(QImage());
        pictures.icon = QImage(":/vorn.png");
        return pictures;
    });
    image1Size_ = startRect(SceneElement::Image1).size();
    image2Size_ = startRect(SceneElement::Image2).size();

    text1_ = makeTextView(this, Qt::black);
    text1_->viewport()->installEventFilter(this);
    backlog_ = makeTextView(this, QColor(0, 0, 0, 225));
    backlog_->viewport()->installEventFilter(this);
    backlog_->hide();

    menu_ = new QMenu("File", this);
    connect(menu_->addAction("New"), &QAction::triggered, this, [this] { Menu_File_New_Click(); });
    connect(menu_->addAction("Quit"), &QAction::triggered, this, [this] { Menu_File_Quit_Click(); });
    connect(menu_->addAction("About"), &QAction::triggered, this, [this] { Menu_File_About_Click(); });

    // Holding Ctrl clicks the text box every 50 ms; at a choice menu such a click
    // does nothing. It starts only once Ctrl has been held alone for a moment,
    // so Ctrl+C and the other shortcuts never turn a page.
    fastForwardDelay_.setSingleShot(true);
    fastForwardDelay_.setInterval(300);
    connect(&fastForwardDelay_, &QTimer::timeout, this, [this] { fastForward_.start(); });
    fastForward_.setInterval(50);
    connect(&fastForward_, &QTimer::timeout, this, [this] { Text1_Click(); });

    presentMessage_ = [this](const QString& title, const QString& text, bool isError) {
        QMessageBox box(isError ? QMessageBox::Critical : QMessageBox::NoIcon, title, text, QMessageBox::Ok,
                        isVisible() ? this : nullptr);
        box.exec();
    };
    setZoom(zoom);
}

Form1::~Form1() = default;

void Form1::setZoom(int zoom) {
    zoom_ = std::clamp(zoom, 1, 4);
    if (!fullScreen_) window()->setFixedSize(kSceneSize * zoom_);
    updateTransform();
}

void Form1::setFullScreen(bool on) {
    if (on == fullScreen_) return;
    fullScreen_ = on; // the window state follows later, and not at all without a window manager
    QWidget* w = window();
    if (on) {
        w->setMinimumSize(0, 0);
        w->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        w->showFullScreen();
        if (screen()) w->setGeometry(screen()->geometry()); // also where no window manager does it

    } else {
        w->showNormal();
        w->setFixedSize(kSceneSize * zoom_);
    }
    updateTransform();
}

int Form1::fontPixels() const { return static_cast<int>(std::lround(15 * transform_.scale)); }

void Form1::updateTransform() {
    transform_ = fullScreen_ ? SceneTransform::filling(size()) : SceneTransform::fitting(size(), zoom_);
    text1_->setFont(gothicFont(fontPixels()));
    text1_->setGeometry(transform_.toWidget(startRect(SceneElement::Text1)));
    backlog_->setFont(gothicFont(fontPixels()));
    backlog_->setGeometry(transform_.toWidget(QRect(QPoint(0, 0), kSceneSize)).adjusted(40, 20, -40, -20));
    applyCursor();
    update();
}

void Form1::resizeEvent(QResizeEvent*) { updateTransform(); }

bool Form1::load() {
    bool ok = false;
    guarded([&] {
        interpreter_.Form_Load();
        ok = true;
    });
    return ok;
}

void Form1::activate() {
    guarded([this] { interpreter_.Form_Activate(); });
}

void Form1::musicDone() {
    guarded([this] { interpreter_.MMControl1_Done(); });
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
    shutDown(false, 0);
}

void Form1::guarded(const std::function<void()>& action) {
    if (finished_) return;
    try {
        action();
    } catch (const FatalError& error) {
        reportFatal(QString::fromUtf8(error.what()));
    } catch (const RunAborted&) {
        shutDown(!terminateRequested_, 0);
    }
}

void Form1::reportFatal(const QString& message) {
    std::cerr << "vorn: " << message.toStdString() << std::endl;
    if (finished_) return;
    finished_ = true;
    stopFastForward();
    device_.setCommand("Close");
    interpreter_.stream().close();
    if (ended_) {
        hide();
        ended_(1, message);
        return;
    }
    presentMessage_("VORN", boxedMessage(message), true);
    hide();
    QCoreApplication::exit(1);
}

void Form1::shutDown(bool showCredits, int exitCode) {
    if (finished_) return;
    stopFastForward();
    if (showCredits) {
        shell_.Form_Unload();
    } else {
        device_.setCommand("Close");
        interpreter_.stream().close();
    }
    finished_ = true;
    hide();
    if (ended_)
        ended_(exitCode, {});
    else
        QCoreApplication::exit(exitCode);
}

// ---- handlers -------------------------------------------------------------

void Form1::Text1_Click() {
    guarded([this] { interpreter_.Text1_Click(); });
}

void Form1::optionClick(int option) {
    guarded([this, option] { interpreter_.optionClick(option); });
}

void Form1::Form_MouseDown(Qt::MouseButtons buttons, QPoint globalPos) {
    if (buttons != Qt::RightButton) return; // the right button alone
    menu_->exec(globalPos);
}

void Form1::Menu_File_New_Click() {
    guarded([this] { shell_.Menu_File_New_Click(); });
}

void Form1::Menu_File_Quit_Click() { close(); }

void Form1::Menu_File_About_Click() { shell_.Menu_File_About_Click(); }

void Form1::perform(KeyAction action) {
    if (backlog_->isVisible()) {
        switch (action) {
        case KeyAction::ToggleBacklog:
        case KeyAction::CloseBacklog: closeBacklog(); return;
        case KeyAction::ScrollUp: backlog_->verticalScrollBar()->triggerAction(QScrollBar::SliderSingleStepSub); return;
        case KeyAction::ScrollDown: backlog_->verticalScrollBar()->triggerAction(QScrollBar::SliderSingleStepAdd); return;
        case KeyAction::Quit:
        case KeyAction::ToggleFullScreen:
        case KeyAction::ZoomIn:
        case KeyAction::ZoomOut:
        case KeyAction::CopyPage: break;
        default: return; // the backlog only shows pages; the story waits behind it
        }
    }
    switch (action) {
    case KeyAction::None:
    case KeyAction::CloseBacklog: break;
    case KeyAction::ClickText: Text1_Click(); break;
    case KeyAction::ClickOption1: optionClick(1); break;
    case KeyAction::ClickOption2: optionClick(2); break;
    case KeyAction::ClickOption3: optionClick(3); break;
    case KeyAction::ClickOption4: optionClick(4); break;
    case KeyAction::ScrollUp: text1_->verticalScrollBar()->triggerAction(QScrollBar::SliderSingleStepSub); break;
    case KeyAction::ScrollDown: text1_->verticalScrollBar()->triggerAction(QScrollBar::SliderSingleStepAdd); break;
    case KeyAction::ToggleBacklog: openBacklog(); break;
    case KeyAction::CopyPage: QGuiApplication::clipboard()->setText(text1_->toPlainText()); break;
    case KeyAction::ZoomIn: setZoom(zoom_ + 1); break;
    case KeyAction::ZoomOut: setZoom(zoom_ - 1); break;
    case KeyAction::ToggleFullScreen: setFullScreen(!fullScreen_); break;
    case KeyAction::PopupMenu: {
        const QPoint at = rect().contains(mapFromGlobal(QCursor::pos())) ? QCursor::pos()
                                                                        : mapToGlobal(transform_.offset);
        Form_MouseDown(Qt::RightButton, at);
        break;
    }
    case KeyAction::Quit: Menu_File_Quit_Click(); break;
    }
}

void Form1::openBacklog() {
    if (pages_.isEmpty()) return;
    backlog_->setPlainText(pages_.join("\n\n"));
    backlog_->show();
    backlog_->raise();
    backlog_->verticalScrollBar()->setValue(backlog_->verticalScrollBar()->maximum());
}

void Form1::closeBacklog() { backlog_->hide(); }

// ---- display surface ------------------------------------------------------

void Form1::setText(const std::string& text) {
    const QString page = fromUtf8(text);
    text1_->setPlainText(page);
    text1_->verticalScrollBar()->setValue(0);
    if (page.isEmpty()) return;
    pages_.push_back(QString(page).replace("\r\n", "\n"));
    // The backlog keeps the latest pages up to a million characters, and the
    // latest page always, so a script showing huge pages over and over cannot
    // fill the memory.
    constexpr qsizetype budget = 1024 * 1024;
    backlogCharacters_ += pages_.back().size();
    while (pages_.size() > 1 && backlogCharacters_ > budget) {
        backlogCharacters_ -= pages_.front().size();
        pages_.removeFirst();
    }
}

void Form1::setCaption(int label, const std::string& text) {
    captions_[label - 1] = fromUtf8(text);
    update(transform_.toWidget(labelRect(label)));
}

void Form1::refreshLabel(int label) {
    repaint(transform_.toWidget(labelRect(label)));
}

bool Form1::setPicture(PictureElement element, const PictureFile& picture) {
    QImage image;
    if (picture.bytes) {
        auto decoded = decodePicture(*picture.bytes);
        if (!decoded) return false;
        image = *decoded;
    }
    switch (element) {
    case PictureElement::Form1: background_ = image; break;
    case PictureElement::Image1:
        image1_ = image;
        sceneReplaced_ = true;
        if (!image.isNull()) image1Size_ = image.size();
        break;
    case PictureElement::Image2:
        image2_ = image;
        if (!image.isNull()) image2Size_ = image.size();
        break;
    }
    update();
    return true;
}

void Form1::resetPicture(PictureElement element) {
    switch (element) {
    case PictureElement::Form1: background_ = QImage(); break;
    case PictureElement::Image1:
        takeBuiltInPictures();
        image1_ = builtInScene_;
        sceneReplaced_ = false;
        image1Size_ = startRect(SceneElement::Image1).size();
        break;
    case PictureElement::Image2:
        image2_ = QImage();
        image2Size_ = startRect(SceneElement::Image2).size();
        break;
    }
    update();
}

bool Form1::setCursor(const PictureFile& icon) {
    if (!icon.bytes) return false;
    auto decoded = decodeIcon(*icon.bytes);
    if (!decoded) return false;
    cursorImage_ = *decoded;
    applyCursor();
    return true;
}

// The cursor grows with the scene; an icon's hot spot is its centre.
void Form1::applyCursor() {
    if (cursorImage_.isNull()) return;
    const QPixmap pixmap = QPixmap::fromImage(cursorImage_.scaled(cursorImage_.size() * transform_.scale));
    cursor_ = std::make_unique<QCursor>(pixmap, pixmap.width() / 2, pixmap.height() / 2);
    QWidget::setCursor(*cursor_);
    text1_->viewport()->setCursor(*cursor_);
}

void Form1::showMessage(const std::string& text, const std::string& title) {
    presentMessage_(fromUtf8(title), fromUtf8(text), false);
}

// A run that never pauses still lets the window close; nothing the reader
// clicks or types is taken until the run ends.
void Form1::keepAlive() {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    if (closeRequested_ || terminateRequested_) throw RunAborted{};
}

// ---- painting and input ---------------------------------------------------

void Form1::paintEvent(QPaintEvent*) {
    takeBuiltInPictures();
    QPainter p(this);
    p.fillRect(rect(), Qt::black); // the bars around a scene that does not fill the window
    const QRect scene = transform_.toWidget(QRect(QPoint(0, 0), kSceneSize));
    p.setClipRect(scene);
    p.fillRect(scene, palette().window());
    // Whole zooms repeat pixels exactly; a full-screen scale between them is smoothed.
    p.setRenderHint(QPainter::SmoothPixmapTransform, transform_.scale != std::floor(transform_.scale));
    auto draw = [&](const QImage& image, QPoint topLeft) {
        if (image.isNull()) return;
        p.drawImage(transform_.toWidget(QRect(topLeft, image.size())), image);
    };
    draw(background_, QPoint(0, 0));
    draw(image1_, startRect(SceneElement::Image1).topLeft());
    draw(image2_, startRect(SceneElement::Image2).topLeft());
    // Captions are laid out at the zoomed size, so they stay sharp.
    p.setFont(gothicFont(fontPixels()));
    p.setPen(Qt::black);
    for (int label = 4; label >= 1; --label) {
        if (captions_[label - 1].isEmpty()) continue;
        p.drawText(transform_.toWidget(labelRect(label)), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                   captions_[label - 1]);
    }
}

void Form1::takeBuiltInPictures() {
    if (!builtIn_.valid()) return;
    const BuiltInPictures pictures = builtIn_.get();
    builtInScene_ = pictures.scene;
    if (!sceneReplaced_) image1_ = pictures.scene;
    // Not in the middle of a paint: the icon goes out to the window system.
    QMetaObject::invokeMethod(
        this, [this, icon = pictures.icon] { setWindowIcon(QIcon(QPixmap::fromImage(icon))); }, Qt::QueuedConnection);
}

void Form1::mousePressEvent(QMouseEvent* event) {
    if (backlog_->isVisible()) return;
    const QPoint at = event->position().toPoint();
    const SceneElement hit = hitTest(transform_.toScene(at), image1Size_, image2Size_, offeredCaptions());
    pressedLabel_ = 0;
    switch (hit) {
    case SceneElement::Label1: pressedLabel_ = 1; break;
    case SceneElement::Label2: pressedLabel_ = 2; break;
    case SceneElement::Label3: pressedLabel_ = 3; break;
    case SceneElement::Label4: pressedLabel_ = 4; break;
    case SceneElement::Background:
        if (transform_.toWidget(QRect(QPoint(0, 0), kSceneSize)).contains(at))
            Form_MouseDown(event->buttons(), event->globalPosition().toPoint());
        break;
    default: break;
    }
    if (event->button() != Qt::LeftButton) pressedLabel_ = 0;
}

int Form1::offeredCaptions() const {
    return interpreter_.menuWaiting() ? valueOr0(interpreter_.NumCmds) : 4;
}

void Form1::mouseReleaseEvent(QMouseEvent* event) {
    const int label = pressedLabel_;
    pressedLabel_ = 0;
    if (event->button() != Qt::LeftButton || label == 0) return;
    const SceneElement hit = hitTest(transform_.toScene(event->position().toPoint()), image1Size_, image2Size_,
                                        offeredCaptions());
    static constexpr SceneElement labels[] = {SceneElement::Label1, SceneElement::Label2, SceneElement::Label3,
                                              SceneElement::Label4};
    if (hit == labels[label - 1]) optionClick(label); // a click is a press and a release on the same caption
}

void Form1::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Control) {
        if (!event->isAutoRepeat() && !backlog_->isVisible()) fastForwardDelay_.start();
        return;
    }
    stopFastForward();
    const KeyAction action = keyAction(event->key(), event->modifiers());
    if (action == KeyAction::None) {
        QWidget::keyPressEvent(event);
        return;
    }
    perform(action);
}

void Form1::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Control && !event->isAutoRepeat()) stopFastForward();
    QWidget::keyReleaseEvent(event);
}

void Form1::stopFastForward() {
    fastForwardDelay_.stop();
    fastForward_.stop();
}

void Form1::focusOutEvent(QFocusEvent* event) {
    stopFastForward();
    QWidget::focusOutEvent(event);
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == text1_->viewport()) {
        if (event->type() == QEvent::MouseButtonRelease) {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::LeftButton && text1_->viewport()->rect().contains(mouse->position().toPoint()))
                Text1_Click();
        } else if (event->type() == QEvent::Wheel) {
            // Turning the wheel up at the top of the page opens the backlog.
            auto* wheel = static_cast<QWheelEvent*>(event);
            if (wheel->angleDelta().y() > 0 && text1_->verticalScrollBar()->value() == 0) {
                openBacklog();
                return true;
            }
        }
    } else if (watched == backlog_->viewport()) {
        if (event->type() == QEvent::MouseButtonRelease) {
            closeBacklog();
            return true;
        }
        if (event->type() == QEvent::Wheel) {
            auto* wheel = static_cast<QWheelEvent*>(event);
            QScrollBar* bar = backlog_->verticalScrollBar();
            if (wheel->angleDelta().y() < 0 && bar->value() == bar->maximum()) {
                closeBacklog(); // turned down past the end
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
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
    shutDown(true, 0);
    event->accept();
}

} // namespace vorn
