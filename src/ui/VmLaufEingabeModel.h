// The lanes of one heat in the heat-wise entry: the model of what was typed (kept for
// every heat until the dialog closes), the field editor and the table that moves
// through the lanes.
#pragma once

#include "operations/VmLaufEingabe.h"
#include "timing/VmZeitmessung.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QStyledItemDelegate>
#include <QTableView>

#include <functional>
#include <map>
#include <vector>

namespace vm::ui {

inline const QColor kBad(255, 150, 150);       // an entry that cannot be read
inline const QColor kPending(255, 244, 196);   // typed, not taken over yet
inline const QColor kDeviating(255, 190, 110); // watches further apart than the limit
inline const QColor kFree(128, 128, 128);      // an empty lane
inline const QColor kComplete(0, 110, 0);      // a heat with every result

QString TimeShown(TZeit t, bool hundredths);
QString PenaltyShown(int penalty);
QString HeatLabel(int heat);
// "Meier, Leni" or the team name.
QString WhoOf(const TWettkampf& c, const TTeilnehmer& p);

// One typed field: nothing typed (the stored value stands), a readable value, or a text
// that cannot be read.
struct THeatEntryField {
    bool edited = false;
    bool bad = false;
    QString text;
    int value = 0;
};

// What the columns of the lanes show; the watches only with two or three timekeepers.
enum class TLaneColumn { Bahn, Name, Glied, Ak, Uhr, Zeit, Abzug, Punkte, Platz };

class THeatEntryModel : public QAbstractTableModel {
public:
    THeatEntryModel(const TWettkampf& c, QObject* parent);

    std::function<void()> changed;

    // Shows the rows of a heat; what was typed for them before is kept.
    void Load(std::vector<TLaufPlatz> slots, int discipline);
    // Timekeepers per lane, 1..3: with one the time is typed, with more each watch and
    // the time derived from them.
    void SetWatchCount(int n);
    int WatchCount() const { return watchCount_; }
    void SetSpreadLimit(TZeit limit);
    TZeit SpreadLimit() const { return limit_; }

    TLaneColumn Kind(int column) const;
    int Column(TLaneColumn kind, int watch = 0) const;
    // The column typed into first on a lane: the first watch, or the time.
    int FirstTimeColumn() const;
    bool IsTimeColumn(int column) const;
    bool IsEntryColumn(int column) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    bool Editable(int row) const;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& i) const override;
    QVariant data(const QModelIndex& i, int role) const override;
    bool setData(const QModelIndex& i, const QVariant& v, int role) override;

    // What the last typed entry could not say; empty when it could.
    QString LastError() const { return lastError_; }
    // One line per entry of the shown heat that cannot be read.
    QStringList Problems() const;
    QModelIndex FirstBad() const;
    // The shown heat as it stands with what was typed; an unreadable entry still lacks.
    TLaufStand Stand() const;
    // Any heat's rows as they stand with what was typed.
    TLaufStand StandOf(const std::vector<TLaufPlatz>& slots, int discipline) const;
    // Whether anything was typed in any heat.
    bool AnyEntries() const;
    // Everything typed that changes a participant, over all heats and disciplines.
    std::vector<TLaufErgebnis> Results() const;
    // A lane from a timing console: its watches and its penalty, as if typed.
    void Fill(const TLaufErgebnis& r);
    // The time of a lane as it would be derived with `value` on watch w (0-based), while
    // that watch is still being typed.
    TZeit DerivedWith(int row, int w, TZeit value) const;
    // The lanes of the shown heat whose watches lie further apart than the limit.
    int DeviatingLanes() const;

    // "Bahn 3 (Meier, Leni)", for the lines that name an entry.
    QString Place(int row) const;
    QStringList DisciplineNames() const;

private:
    struct TEntry {
        TLaufPlatz slot;
        int discipline = 1;
        THeatEntryField watch[3]; // with one timekeeper watch[0] is the time
        THeatEntryField penalty;
    };
    using TKey = std::pair<const TTeilnehmer*, int>;

    const TEntry* EntryOf(int row) const;
    TEntry& EntryFor(int row);
    int Stored(const TLaufPlatz& s, int discipline, bool time) const;
    // The time and penalty of a participant with what was typed (entry may be null).
    int Time(const TLaufPlatz& s, int discipline, const TEntry* e) const;
    int Penalty(const TLaufPlatz& s, int discipline, const TEntry* e) const;
    TUhren Watches(const TEntry* e) const;
    bool Typed(const TEntry& e) const;
    bool Deviates(const TEntry* e) const;
    bool Bad(const TEntry* e) const;
    QString Problem(int row, int column) const;

    const TWettkampf& c_;
    const bool hundredths_;
    int discipline_ = 1;
    int watchCount_ = 1;
    TZeit limit_ = kSpreadLimit;
    std::vector<TLaufPlatz> rows_;
    std::map<TKey, TEntry> entries_;
    QString lastError_;
};

// Enter confirms a field and Esc leaves it as it was, both without leaving the table;
// the rest is the usual editing.
class THeatEntryDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    std::function<void(const QModelIndex&, const QString&)> typing;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex& index) const override;

protected:
    bool eventFilter(QObject* object, QEvent* event) override;
};

// The lanes: typing starts an entry, Enter goes down the lanes, Tab runs through the
// watches (or the time) and the penalty, then the next lane, past empty lanes.
class THeatEntryTable : public QTableView {
public:
    explicit THeatEntryTable(QWidget* parent);

    // Enter on a lane, in its field or on the row: the row and column it came from.
    std::function<void(int, int)> enter;

    // Takes over what an open field holds, as leaving it would.
    void CommitEditor();

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers mods) override;
};

} // namespace vm::ui
