#include "slot_dialog.h"

#include "saves/slot_name.h"
#include "presentation/language/language.h"
#include "text_views.h"

#include <QDateTime>
#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QListWidget>
#include <QLocale>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>

namespace vorn {
namespace {

constexpr int kSlotRole = Qt::UserRole;         // the slot's name; empty on the row of a new save
constexpr int kReadableRole = Qt::UserRole + 1; // the slot can be loaded
constexpr QSize kThumbnail(112, 75);            // a sixth of the scene
constexpr qsizetype kLineCharacters = 60;

QString localTime(const std::string& savedAt) {
    const QDateTime utc = QDateTime::fromString(QString::fromStdString(savedAt), Qt::ISODate);
    if (!utc.isValid()) return QString::fromStdString(savedAt);
    return QLocale().toString(utc.toLocalTime(), QLocale::ShortFormat);
}

QString shortened(QString line) {
    line = line.simplified();
    if (line.size() <= kLineCharacters) return line;
    qsizetype cut = kLineCharacters;
    if (line.at(cut - 1).isHighSurrogate()) --cut;
    return line.left(cut) + QStringLiteral("\u2026");
}

// The picture of a slot, on a plain ground of the thumbnail's `size` so that
// every row lines up, whatever the picture.
QIcon thumbnail(const SlotSummary& slot, QSize size, const QStyle* style) {
    QPixmap ground(size);
    ground.fill(QColor(40, 40, 40));
    QPainter p(&ground);
    QImage picture;
    if (!slot.picture.empty() && picture.loadFromData(QByteArray::fromStdString(slot.picture), "PNG")) {
        const QImage scaled = picture.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        p.drawImage((size.width() - scaled.width()) / 2, (size.height() - scaled.height()) / 2, scaled);
    }
    if (!slot.problem.empty()) {
        const int side = size.height() * 48 / kThumbnail.height();
        const QPixmap warning = style->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(side, side);
        p.drawPixmap((size.width() - warning.width()) / 2, (size.height() - warning.height()) / 2, warning);
    }
    p.end();
    return QIcon(ground);
}

} // namespace

SlotDialog::SlotDialog(Purpose purpose, Saves& saves, Confirm confirm, Tell tell, QWidget* parent, double scale)
    : QDialog(parent), purpose_(purpose), saves_(saves), confirm_(std::move(confirm)), tell_(std::move(tell)),
      thumbnail_(kThumbnail * std::max(1.0, scale)) {
    const bool saving = purpose == Purpose::Save;
    setWindowTitle(saving ? tr("Save\u2026") : tr("Load\u2026"));
    auto* layout = new QVBoxLayout(this);
    list_ = new QListWidget(this);
    list_->setIconSize(thumbnail_);
    list_->setSpacing(2);
    list_->setUniformItemSizes(false);
    list_->setWordWrap(true);
    // Four rows; the dialog fits over the window, whatever its zoom.
    list_->setMinimumSize(QSize(480, 336) * std::max(1.0, scale));
    list_->setAccessibleName(saving ? tr("Slots to save into") : tr("Slots to load"));
    list_->setAccessibleDescription(saving ? tr("Enter saves into the chosen slot, Delete deletes it")
                                           : tr("Enter loads the chosen slot, Delete deletes it"));
    layout->addWidget(list_);

    auto* buttons = new QDialogButtonBox(this);
    take_ = buttons->addButton(saving ? tr("Save") : tr("Load"), QDialogButtonBox::AcceptRole);
    delete_ = buttons->addButton(tr("Delete"), QDialogButtonBox::DestructiveRole);
    QPushButton* cancel = buttons->addButton(QDialogButtonBox::Cancel);
    take_->setDefault(true);
    // Their tips are also what a screen reader gives as their descriptions.
    take_->setToolTip(saving ? tr("Save into the chosen slot (Enter)") : tr("Load the chosen slot (Enter)"));
    delete_->setToolTip(tr("Delete the chosen slot (Delete)"));
    cancel->setToolTip(tr("Close without saving or loading (Escape)"));
    layout->addWidget(buttons);
    // The buttons act themselves: "Save" may ask first, and "Delete" keeps the dialog open.
    disconnect(buttons, &QDialogButtonBox::accepted, nullptr, nullptr);
    connect(take_, &QPushButton::clicked, this, &SlotDialog::takeSelected);
    connect(delete_, &QPushButton::clicked, this, &SlotDialog::deleteSelected);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(list_, &QListWidget::itemActivated, this, [this] { takeSelected(); });
    connect(list_, &QListWidget::currentRowChanged, this, [this] { updateButtons(); });
    list_->installEventFilter(this);

    fill();
    list_->setFocus();
}

QString SlotDialog::displayName(const std::string& slot) {
    const std::optional<std::string> automatic = automaticSlotOf(slot);
    if (automatic == kQuickSlot) return tr("Quick save");
    if (automatic == kContinueSlot) return tr("Where the game was left");
    return QString::fromStdString(slot);
}

std::string SlotDialog::newSlotName(const std::vector<SlotSummary>& existing) {
    std::vector<std::string> inUse;
    for (const SlotSummary& s : existing) inUse.push_back(s.slot);
    return vorn::newSlotName(inUse);
}

void SlotDialog::fill() {
    const QString keep = list_->currentItem() ? selectedSlot() : QString();
    slots_ = saves_.list();
    // Newest first; slots that cannot be read have no date and come last, by name.
    std::stable_sort(slots_.begin(), slots_.end(),
                     [](const SlotSummary& a, const SlotSummary& b) { return a.savedAt > b.savedAt; });
    list_->clear();
    if (purpose_ == Purpose::Save) {
        auto* item = new QListWidgetItem(tr("New save"), list_);
        QPixmap plus(thumbnail_);
        plus.fill(QColor(40, 40, 40));
        QPainter p(&plus);
        const int arm = thumbnail_.height() * 12 / kThumbnail.height();
        p.setPen(QPen(QColor(200, 200, 200), thumbnail_.height() * 3 / kThumbnail.height()));
        const QPoint c = plus.rect().center();
        p.drawLine(c - QPoint(arm, 0), c + QPoint(arm, 0));
        p.drawLine(c - QPoint(0, arm), c + QPoint(0, arm));
        p.end();
        item->setIcon(QIcon(plus));
        item->setData(kSlotRole, QString());
        item->setData(kReadableRole, true);
    }
    for (const SlotSummary& slot : slots_) {
        QString text = displayName(slot.slot);
        if (!slot.savedAt.empty()) text += QStringLiteral("  \u2014  ") + localTime(slot.savedAt);
        text += "\n" + (slot.problem.empty() ? shortened(QString::fromStdString(slot.firstLine))
                                             : withVisibleControls(translated(slot.problem)));
        auto* item = new QListWidgetItem(thumbnail(slot, thumbnail_, style()), text, list_);
        item->setData(kSlotRole, QString::fromStdString(slot.slot));
        item->setData(kReadableRole, slot.problem.empty());
        item->setToolTip(slot.problem.empty() ? QString::fromStdString(slot.firstLine) : translated(slot.problem));
        if (!slot.problem.empty()) item->setForeground(QColor(170, 30, 30));
    }
    int row = 0;
    for (int k = 0; k < list_->count(); ++k)
        if (!keep.isEmpty() && list_->item(k)->data(kSlotRole).toString() == keep) row = k;
    list_->setCurrentRow(list_->count() ? row : -1);
    updateButtons();
}

QString SlotDialog::selectedSlot() const {
    const QListWidgetItem* item = list_->currentItem();
    return item ? item->data(kSlotRole).toString() : QString();
}

void SlotDialog::updateButtons() {
    const QListWidgetItem* item = list_->currentItem();
    const bool slot = item && !selectedSlot().isEmpty();
    take_->setEnabled(item && (purpose_ == Purpose::Save || item->data(kReadableRole).toBool()));
    delete_->setEnabled(slot);
}

void SlotDialog::takeSelected() {
    const QListWidgetItem* item = list_->currentItem();
    if (!item) return;
    const std::string slot = selectedSlot().toStdString();
    if (purpose_ == Purpose::Load) {
        if (!item->data(kReadableRole).toBool()) return; // the row says why
        chosen_ = slot;
    } else if (slot.empty()) {
        chosen_ = newSlotName(slots_);
    } else {
        const QString question =
            item->data(kReadableRole).toBool()
                ? tr("Save over \u201c%1\u201d?").arg(displayName(slot))
                : tr("\u201c%1\u201d cannot be loaded as it is. Save over it?").arg(displayName(slot));
        if (!confirm_(question, tr("Save over it"))) return;
        chosen_ = slot;
    }
    accept();
}

void SlotDialog::deleteSelected() {
    const std::string slot = selectedSlot().toStdString();
    if (slot.empty()) return;
    if (!confirm_(tr("Delete \u201c%1\u201d? It cannot be brought back.").arg(displayName(slot)), tr("Delete"))) return;
    const Message why = saves_.remove(slot);
    if (!why.empty()) tell_(translated(why));
    fill();
}

bool SlotDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == list_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        deleteSelected();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace vorn
