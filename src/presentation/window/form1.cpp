#include "form1.h"

#include "interpreter/fatal_error.h"
#include "presentation/picture_decoder.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <iostream>

namespace vorn {
namespace {

// Thrown out of a run that the reader ended by closing the window.
struct RunAborted {};

const char* const kFontFamilies[] = {"MS Gothic", "IPAGothic", "Noto Sans Mono CJK JP"};

QFont gothicFont(int pixelSize) {
    QFont font;
    font.setFamilies({kFontFamilies[0], kFontFamilies[1], kFontFamilies[2]});
    font.setPixelSize(pixelSize); // 11.25 pt at 96 dpi
    font.setWeight(QFont::Normal);
    return font;
}

QString fromUtf8(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

} // namespace

Form1::Form1(const GameFolder& folder, MusicDevice& device, int zoom)
    : folder_(folder), device_(device), interpreter_(folder_, *this, device), shell_(interpreter_, *this, device) {
    setWindowTitle("VORN Interpeter");
    setWindowIcon(QIcon(":/vorn.png"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    image1_ = QImage(":/scene.bmp");
    image1Size_ = image1_.size();
    image2Size_ = startRect(SceneElement::Image2).size();

    text1_ = new QPlainTextEdit(this);
    text1_->setReadOnly(true);
    text1_->setFrameShape(QFrame::NoFrame);
    text1_->setContextMenuPolicy(Qt::NoContextMenu);
    text1_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    text1_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    text1_->setWordWrapMode(QTextOption::WrapAnywhere); // Japanese text breaks between any two characters
    text1_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    text1_->setFocusPolicy(Qt::NoFocus);
    text1_->document()->setDocumentMargin(2);
    QPalette palette = text1_->palette();
    palette.setColor(QPalette::Base, Qt::black);
    palette.setColor(QPalette::Text, Qt::white);
    text1_->setPalette(palette);
    text1_->viewport()->installEventFilter(this);

    menu_ = new QMenu("File", this);
    connect(menu_->addAction("New"), &QAction::triggered, this, [this] { Menu_File_New_Click(); });
    connect(menu_->addAction("Quit"), &QAction::triggered, this, [this] { Menu_File_Quit_Click(); });
    connect(menu_->addAction("About"), &QAction::triggered, this, [this] { Menu_File_About_Click(); });

    presentMessage_ = [this](const QString& title, const QString& text, bool isError) {
        QMessageBox box(isError ? QMessageBox::Critical : QMessageBox::NoIcon, title, text, QMessageBox::Ok,
                        isVisible() ? this : nullptr);
        box.exec();
    };
    setZoom(zoom);
}

Form1::~Form1() { delete cursor_; }

void Form1::setZoom(int zoom) {
    zoom_ = std::clamp(zoom, 1, 4);
    if (!isFullScreen()) setFixedSize(kSceneSize * zoom_);
    transform_ = SceneTransform::fitting(size(), zoom_);
    text1_->setFont(gothicFont(15 * zoom_));
    layoutChildren();
    if (!cursorImage_.isNull()) setCursor({"", std::nullopt});
    update();
}

void Form1::layoutChildren() {
    text1_->setGeometry(transform_.toWidget(startRect(SceneElement::Text1)));
}

void Form1::resizeEvent(QResizeEvent*) {
    transform_ = SceneTransform::fitting(size(), zoom_);
    layoutChildren();
}

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
    device_.setCommand("Close");
    interpreter_.stream().close();
    presentMessage_("VORN", message, true);
    hide();
    QCoreApplication::exit(1);
}

void Form1::shutDown(bool showCredits, int exitCode) {
    if (finished_) return;
    if (showCredits) {
        shell_.Form_Unload();
    } else {
        device_.setCommand("Close");
        interpreter_.stream().close();
    }
    finished_ = true;
    hide();
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

// ---- display surface ------------------------------------------------------

void Form1::setText(const std::string& text) {
    text1_->setPlainText(fromUtf8(text));
    text1_->verticalScrollBar()->setValue(0);
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

bool Form1::setCursor(const PictureFile& icon) {
    if (icon.bytes) {
        auto decoded = decodeIcon(*icon.bytes);
        if (!decoded) return false;
        cursorImage_ = *decoded;
    }
    const QPixmap pixmap = QPixmap::fromImage(cursorImage_.scaled(cursorImage_.size() * zoom_));
    delete cursor_;
    cursor_ = new QCursor(pixmap, pixmap.width() / 2, pixmap.height() / 2); // an icon's hot spot is its centre
    QWidget::setCursor(*cursor_);
    text1_->viewport()->setCursor(*cursor_);
    return true;
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
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    const QRect scene = transform_.toWidget(QRect(QPoint(0, 0), kSceneSize));
    p.setClipRect(scene);
    p.fillRect(scene, palette().window());
    auto draw = [&](const QImage& image, QPoint topLeft) {
        if (image.isNull()) return;
        p.drawImage(transform_.toWidget(QRect(topLeft, image.size())), image);
    };
    draw(background_, QPoint(0, 0));
    draw(image1_, startRect(SceneElement::Image1).topLeft());
    draw(image2_, startRect(SceneElement::Image2).topLeft());
    p.setFont(gothicFont(15 * zoom_));
    p.setPen(Qt::black);
    for (int label = 4; label >= 1; --label) {
        if (captions_[label - 1].isEmpty()) continue;
        p.drawText(transform_.toWidget(labelRect(label)), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                   captions_[label - 1]);
    }
}

void Form1::mousePressEvent(QMouseEvent* event) {
    const SceneElement hit =
        hitTest(transform_.toScene(event->position().toPoint()), image1Size_, image2Size_);
    pressedLabel_ = 0;
    switch (hit) {
    case SceneElement::Label1: pressedLabel_ = 1; break;
    case SceneElement::Label2: pressedLabel_ = 2; break;
    case SceneElement::Label3: pressedLabel_ = 3; break;
    case SceneElement::Label4: pressedLabel_ = 4; break;
    case SceneElement::Background:
        if (!transform_.toWidget(QRect(QPoint(0, 0), kSceneSize)).contains(event->position().toPoint())) break;
        Form_MouseDown(event->buttons(), event->globalPosition().toPoint());
        break;
    default: break;
    }
    if (event->button() != Qt::LeftButton) pressedLabel_ = 0;
}

void Form1::mouseReleaseEvent(QMouseEvent* event) {
    const int label = pressedLabel_;
    pressedLabel_ = 0;
    if (event->button() != Qt::LeftButton || label == 0) return;
    const QPoint p = transform_.toScene(event->position().toPoint());
    if (hitTest(p, image1Size_, image2Size_) == [label] {
            static constexpr SceneElement labels[] = {SceneElement::Label1, SceneElement::Label2,
                                                      SceneElement::Label3, SceneElement::Label4};
            return labels[label - 1];
        }())
        optionClick(label);
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == text1_->viewport() && event->type() == QEvent::MouseButtonRelease) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton && text1_->viewport()->rect().contains(mouse->position().toPoint()))
            Text1_Click();
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
