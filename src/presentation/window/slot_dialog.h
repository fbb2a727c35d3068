#pragma once
// The "Save…" and "Load…" dialogs: the game's slots, newest first, each with a
// small picture of its scene, when it was saved and the first line of its page.
// A slot that cannot be loaded shows why. The reader picks a slot to save into
// (or a new one) or to load, and may delete slots; the dialog only says which
// slot was picked, the window saves or loads it.

#include "saves/saves.h"

#include <QDialog>
#include <QSize>
#include <functional>
#include <string>
#include <vector>

class QListWidget;
class QPushButton;

namespace vorn {

class SlotDialog : public QDialog {
    Q_OBJECT
  public:
    enum class Purpose { Save, Load };
    // Asks the reader to confirm; true for `yes`.
    using Confirm = std::function<bool(const QString& question, const QString& yes)>;
    // Tells the reader something that went wrong.
    using Tell = std::function<void(const QString& message)>;

    // `scale`: how much larger than at zoom 1 the scene is drawn; the slots' pictures grow with it.
    SlotDialog(Purpose purpose, Saves& saves, Confirm confirm, Tell tell, QWidget* parent, double scale = 1);

    // The slot to save into or to load, once the dialog is accepted.
    const std::string& chosenSlot() const { return chosen_; }
    QListWidget* slotList() const { return list_; }

    // What the buttons do, on the selected row.
    void takeSelected(); // "Save" or "Load"
    void deleteSelected();

    // The slot as the reader knows it: the quick save and the kept place by
    // what they are, the others by their names.
    static QString displayName(const std::string& slot);
    // The name a new save gets: "slot-N", N one above the highest in use.
    static std::string newSlotName(const std::vector<SlotSummary>& existing);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void fill();
    void updateButtons();
    QString selectedSlot() const;

    Purpose purpose_;
    Saves& saves_;
    Confirm confirm_;
    Tell tell_;
    std::vector<SlotSummary> slots_;
    std::string chosen_;
    QListWidget* list_ = nullptr;
    QPushButton* take_ = nullptr;
    QPushButton* delete_ = nullptr;
    QSize thumbnail_; // the slots' pictures
};

} // namespace vorn
