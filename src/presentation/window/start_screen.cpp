#include "start_screen.h"

#include "interpreter/script_stream.h"
#include "presentation/picture_decoder.h"
#include "game_files/open_game.h"
#include "saves/save_store.h"
#include "saves/saves.h"
#include "text_views.h"

#include <QBoxLayout>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>

namespace vorn {
namespace {

constexpr std::size_t kMaxThumbnailSourceBytes = 32 * 1024 * 1024;
constexpr int kLocationRole = Qt::UserRole;
constexpr int kContinueRole = Qt::UserRole + 1;

QString whenPlayed(const QDateTime& utc) {
    const QDateTime local = utc.toLocalTime();
    const QLocale locale;
    const QString time = local.time().toString("HH:mm");
    const qint64 daysAgo = local.date().daysTo(QDate::currentDate());
    if (daysAgo == 0) return vorn::StartScreen::tr("today at %1").arg(time);
    if (daysAgo == 1) return vorn::StartScreen::tr("yesterday at %1").arg(time);
    return vorn::StartScreen::tr("%1 at %2").arg(locale.toString(local.date(), QLocale::ShortFormat), time);
}

QString displayPath(const std::filesystem::path& path) {
    return QString::fromUtf8(path.native().data(), qsizetype(path.native().size()));
}

// In the file dialog, a folder that holds a game opens it, as its code.vrn
// would; another folder is entered, with a word that it holds no game, for
// the reader asked to open it as one.
class GameFileDialog : public QFileDialog {
  public:
    using QFileDialog::QFileDialog;
    void accept() override {
        const QStringList files = selectedFiles();
        if (files.size() == 1 && QFileInfo(files[0]).isDir()) {
            if (holdsGame(openGame(QFile::encodeName(files[0]).toStdString()))) {
                QDialog::accept();
                return;
            }
            const QString folder = files[0];
            QFileDialog::accept(); // enters it: a game may be in a folder inside
            QMessageBox::information(this, StartScreen::tr("Open game"), noGameIn(folder));
            return;
        }
        QFileDialog::accept();
    }
};

} // namespace

QString noGameIn(const QString& folder) {
    return StartScreen::tr("There is no game in \u201c%1\u201d: it holds no code.vrn. Choose a game's folder, its "
                           "code.vrn or an archive of it; the folder's contents are shown in case a game is inside.")
        .arg(QDir::toNativeSeparators(folder));
}

QString askForGameFile(QWidget* parent) {
    GameFileDialog dialog(parent, StartScreen::tr("Open game"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(
        {StartScreen::tr("VORN games (%1)")
             .arg("*.vrn *.zip *.lzh *.lha *.7z *.rar *.cab *.iso *.tar *.tgz *.tar.gz *.tar.bz2 *.tar.xz *.cpio"),
         StartScreen::tr("All files (*)")});
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().first();
}

StartScreen::StartScreen(GamesList& games, std::optional<std::filesystem::path> saveDir, QWidget* parent)
    : QWidget(parent), games_(games), saveDir_(std::move(saveDir)) {
    chooseGameFile = [this] { return askForGameFile(this); };

    auto* heading = new QLabel(tr("Games"), this);
    heading->setObjectName("heading");
    error_ = new QLabel(this);
    error_->setObjectName("error");
    error_->setWordWrap(true);
    error_->setTextFormat(Qt::PlainText);
    error_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    error_->hide();

    list_ = new QListWidget(this);
    list_->setAccessibleName(tr("Games played before"));
    heading->setBuddy(list_); // a screen reader finds the list labelled by the heading
    list_->setUniformItemSizes(true);
    list_->setWordWrap(false);
    list_->setTextElideMode(Qt::ElideMiddle);
    list_->installEventFilter(this);
    connect(list_, &QListWidget::activated, this, [this] { playSelected(); });
    connect(list_, &QListWidget::currentRowChanged, this, [this] { selectionChanged(); });

    emptyHint_ = new QLabel(tr("No games yet. Open a game folder, its code.vrn or an archive of it, "
                               "or drop one on this window."),
                            this);
    emptyHint_->setWordWrap(true);
    emptyHint_->setAlignment(Qt::AlignCenter);

    open_ = new QPushButton(tr("Open game\u2026"), this);
    open_->setShortcut(QKeySequence::Open);
    open_->setToolTip(tr("Open a game folder, its code.vrn or an archive (Ctrl+O)"));
    connect(open_, &QPushButton::clicked, this, [this] { openGameFile(); });
    forget_ = new QPushButton(tr("Forget"), this);
    forget_->setToolTip(tr("Take the chosen game off this list; its files stay as they are (Delete)"));
    connect(forget_, &QPushButton::clicked, this, [this] { forgetSelected(); });
    play_ = new QPushButton(tr("Play"), this);
    play_->setToolTip(tr("Play the chosen game (Enter)"));
    connect(play_, &QPushButton::clicked, this, [this] { playSelected(); });
    continue_ = new QPushButton(tr("Continue"), this);
    continue_->setToolTip(tr("Play on from where you left this game, without asking (Ctrl+Enter)"));
    continue_->hide(); // shown for a game left in the middle
    connect(continue_, &QPushButton::clicked, this, [this] { continueSelected(); });
    for (const QKeySequence& key : {QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)}) {
        auto* shortcut = new QShortcut(key, this, nullptr, nullptr, Qt::WidgetWithChildrenShortcut);
        connect(shortcut, &QShortcut::activated, this, [this] { continueSelected(); });
    }

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(open_);
    buttons->addStretch();
    buttons->addWidget(forget_);
    buttons->addWidget(continue_);
    buttons->addWidget(play_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(error_);
    layout->addWidget(list_, 1);
    layout->addWidget(emptyHint_, 1);
    layout->addLayout(buttons);
    setTabOrder(list_, open_);
    setTabOrder(open_, forget_);
    setTabOrder(forget_, continue_);
    setTabOrder(continue_, play_);

    showError({});
    setZoom(1);
}

QSize StartScreen::thumbnailSize() const { return QSize(96, 64) * zoom_; }

void StartScreen::setZoom(int zoom) {
    zoom_ = std::clamp(zoom, 1, 4);
    QFont base;
    base.setPixelSize(13 * zoom_);
    setFont(base);
    QFont headingFont = base;
    headingFont.setPixelSize(18 * zoom_);
    headingFont.setBold(true);
    findChild<QLabel*>("heading")->setFont(headingFont);
    // A style sheet takes no font from the widget: the size goes in it.
    error_->setStyleSheet(QString("QLabel#error { background: #5c1f1f; color: white; padding: %1px; "
                                  "border-radius: 3px; font-size: %2px; }")
                              .arg(6 * zoom_)
                              .arg(13 * zoom_));
    list_->setIconSize(thumbnailSize());
    refresh(); // the pictures again, at the new size
}

void StartScreen::refresh() {
    const std::filesystem::path current = location(list_->currentRow());
    list_->clear();
    int currentRow = games_.games().empty() ? -1 : 0;
    for (const PlayedGame& game : games_.games()) {
        std::error_code ec;
        const bool there = std::filesystem::exists(game.location, ec);
        const QString name = QString::fromStdString(gameName(game.location));
        auto* item = new QListWidgetItem(name + "\n" +
                                             (there ? tr("last played %1").arg(whenPlayed(game.lastSeen()))
                                                    : tr("not found at %1").arg(displayPath(game.location))),
                                         list_);
        item->setData(kLocationRole, QByteArray::fromStdString(game.location.native()));
        item->setToolTip(displayPath(game.location));
        if (!there) item->setForeground(palette().color(QPalette::Disabled, QPalette::Text));
        QPixmap blank(thumbnailSize());
        blank.fill(Qt::black);
        item->setIcon(blank);
        if (game.location == current) currentRow = list_->count() - 1;
    }
    list_->setCurrentRow(currentRow);
    selectionChanged();
    list_->setVisible(list_->count() > 0);
    emptyHint_->setVisible(list_->count() == 0);
    // The pictures come one at a time between events: the screen shows at once.
    nextThumbnail_ = 0;
    QTimer::singleShot(0, this, [this, count = list_->count()] {
        if (list_->count() == count) loadNextThumbnail();
    });
}

// A picture scaled to fit the thumbnail's size and centred in it on black, so
// that every row's text starts at the same place whatever its picture's shape.
QPixmap StartScreen::thumbnail(const QImage& picture) const {
    const QSize size = thumbnailSize();
    QPixmap framed(size);
    framed.fill(Qt::black);
    const QImage scaled = picture.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    QPainter painter(&framed);
    painter.drawImage((size.width() - scaled.width()) / 2, (size.height() - scaled.height()) / 2, scaled);
    return framed;
}

// A game listed before its script was noted (a list kept by an older
// player) is identified on the way; a second entry of the same script, the
// same game from another archive or folder, leaves the list. Returns whether
// `game` itself left it, as the older of the two.
bool StartScreen::identify(const std::filesystem::path& game, const GameFolder& folder) {
    const auto& listed = games_.games();
    const auto entry =
        std::find_if(listed.begin(), listed.end(), [&](const PlayedGame& g) { return g.location == game; });
    if (entry == listed.end() || !entry->script.empty()) return false;
    const FileContents script = folder.read(kScriptName, ScriptStream::kMaxScriptBytes);
    if (!script.error.empty()) return false;
    bool itself = false;
    for (const std::filesystem::path& dropped : games_.identify(game, Saves::scriptHash(script.bytes))) {
        itself = itself || dropped == game;
        for (int row = 0; row < list_->count(); ++row)
            if (location(row) == dropped) {
                delete list_->takeItem(row);
                if (row < nextThumbnail_) --nextThumbnail_;
                break;
            }
    }
    return itself;
}

void StartScreen::loadNextThumbnail() {
    if (nextThumbnail_ >= list_->count()) return;
    QListWidgetItem* item = list_->item(nextThumbnail_++);
    const std::filesystem::path game = location(list_->row(item));
    const OpenedGame opened = openGame(game);
    if (opened.folder && holdsGame(opened)) {
        if (identify(game, *opened.folder)) { // taken off, `item` with it: an older entry of a game listed above
            const int generation = nextThumbnail_;
            QTimer::singleShot(0, this, [this, generation] {
                if (nextThumbnail_ == generation) loadNextThumbnail();
            });
            return;
        }
    }
    if (opened.folder && holdsGame(opened) && hasContinueSlot(*opened.folder, saveDir_)) {
        item->setData(kContinueRole, true);
        item->setText(item->text() + tr(" \u00b7 can be continued"));
        if (list_->currentItem() == item) selectionChanged();
    }
    if (opened.folder) {
        const FileContents back = opened.folder->read("back.bmp", kMaxThumbnailSourceBytes);
        if (back.error.empty()) {
            if (const auto picture = decodePicture(back.bytes)) item->setIcon(thumbnail(*picture));
        }
    }
    const int generation = nextThumbnail_;
    QTimer::singleShot(0, this, [this, generation] {
        if (nextThumbnail_ == generation) loadNextThumbnail(); // unless the list was laid out anew meanwhile
    });
}

std::filesystem::path StartScreen::location(int row) const {
    const QListWidgetItem* item = row >= 0 ? list_->item(row) : nullptr;
    if (!item) return {};
    return item->data(kLocationRole).toByteArray().toStdString();
}

bool StartScreen::canContinue(int row) const {
    const QListWidgetItem* item = row >= 0 ? list_->item(row) : nullptr;
    return item && item->data(kContinueRole).toBool();
}

void StartScreen::selectionChanged() {
    const int row = list_->currentRow();
    forget_->setEnabled(row >= 0);
    play_->setEnabled(row >= 0);
    continue_->setVisible(canContinue(row));
}

void StartScreen::showError(const QString& message) {
    error_->setText(shortenedForDisplay(message));
    error_->setVisible(!message.isEmpty());
    // The list has the focus when the screen comes back: a screen reader
    // reads its description, which starts with the error shown above it.
    const QString keys = tr("Up and Down choose a game, Enter plays it, Ctrl+Enter goes on where it was left, "
                            "Delete forgets it");
    list_->setAccessibleDescription(message.isEmpty() ? keys : error_->text() + "\n" + keys);
}

QString StartScreen::error() const { return error_->isVisible() ? error_->text() : QString(); }

void StartScreen::focusFirst() {
    if (list_->count() > 0)
        list_->setFocus();
    else
        open_->setFocus();
}

void StartScreen::playSelected() {
    const std::filesystem::path game = location(list_->currentRow());
    if (!game.empty() && onPlay) onPlay(game);
}

void StartScreen::continueSelected() {
    const int row = list_->currentRow();
    if (canContinue(row) && onContinue) onContinue(location(row));
}

void StartScreen::forgetSelected() {
    const int row = list_->currentRow();
    const std::filesystem::path game = location(row);
    if (game.empty()) return;
    games_.forget(game);
    refresh();
    list_->setCurrentRow(std::min(row, list_->count() - 1)); // the next row, or the one before at the end
    if (list_->count() == 0) focusFirst();
}

void StartScreen::openGameFile() {
    const QString chosen = chooseGameFile ? chooseGameFile() : QString();
    if (!chosen.isEmpty() && onPlay) onPlay(QFile::encodeName(chosen).toStdString());
}

bool StartScreen::eventFilter(QObject* watched, QEvent* event) {
    if (watched == list_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Delete && key->modifiers() == Qt::NoModifier) {
            forgetSelected();
            return true;
        }
        // Also where the window is not the active one and its shortcuts are
        // not matched: the list would take Ctrl+Enter for its own Enter.
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            (key->modifiers() & ~Qt::KeypadModifier) == Qt::ControlModifier) {
            continueSelected();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace vorn
