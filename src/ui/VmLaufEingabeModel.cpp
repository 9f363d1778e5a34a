#include "ui/VmLaufEingabeModel.h"

#include "model/VmRech.h"
#include "ui/VmUiSeam.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>

#include <algorithm>

namespace vm::ui {

QString TimeShown(TZeit t, bool hundredths) {
    return t > 0 ? QString::fromStdString(TimeToText(t, hundredths)) : QString();
}

QString PenaltyShown(int penalty) {
    return penalty == 0 ? QString() : FromOem(PenaltyToText(penalty));
}

QString HeatLabel(int heat) {
    return heat == 0 ? QStringLiteral("Lauf ungesetzt (0)") : QStringLiteral("Lauf %1").arg(heat);
}

QString WhoOf(const TWettkampf& c, const TTeilnehmer& p) {
    if (!IsSingleCompetition(c)) return FromOem(p.Mannschaft()).trimmed();
    const QString first = FromOem(p.Vorname()).trimmed();
    const QString name = FromOem(p.Name()).trimmed();
    return first.isEmpty() ? name : name + QStringLiteral(", ") + first;
}

namespace {

// "0,42 s"
QString SecondsShown(TZeit t) {
    return QStringLiteral("%1,%2 s").arg(t / 100).arg(t % 100, 2, 10, QLatin1Char('0'));
}

} // namespace

// ---- the rows of one heat ---------------------------------------------------------------

THeatEntryModel::THeatEntryModel(const TWettkampf& c, QObject* parent)
    : QAbstractTableModel(parent), c_(c), hundredths_(WithHundredths(c)) {}

void THeatEntryModel::Load(std::vector<TLaufPlatz> slots, int discipline) {
    beginResetModel();
    discipline_ = discipline;
    rows_ = std::move(slots);
    lastError_.clear();
    endResetModel();
}

void THeatEntryModel::SetWatchCount(int n) {
    n = std::clamp(n, 1, 3);
    if (n == watchCount_) return;
    beginResetModel();
    // One timekeeper's time is the first watch of several and back.
    watchCount_ = n;
    endResetModel();
    if (changed) changed();
}

void THeatEntryModel::SetSpreadLimit(TZeit limit) {
    limit_ = limit;
    if (!rows_.empty()) Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
    if (changed) changed();
}

TLaneColumn THeatEntryModel::Kind(int column) const {
    const int w = watchCount_ > 1 ? watchCount_ : 0;
    if (column < 4) return static_cast<TLaneColumn>(column);
    if (column < 4 + w) return TLaneColumn::Uhr;
    switch (column - w) {
    case 4:
        return TLaneColumn::Zeit;
    case 5:
        return TLaneColumn::Abzug;
    case 6:
        return TLaneColumn::Punkte;
    default:
        return TLaneColumn::Platz;
    }
}

int THeatEntryModel::Column(TLaneColumn kind, int watch) const {
    const int w = watchCount_ > 1 ? watchCount_ : 0;
    switch (kind) {
    case TLaneColumn::Bahn:
    case TLaneColumn::Name:
    case TLaneColumn::Glied:
    case TLaneColumn::Ak:
        return static_cast<int>(kind);
    case TLaneColumn::Uhr:
        return w > 0 ? 4 + std::clamp(watch, 0, w - 1) : 4;
    case TLaneColumn::Zeit:
        return 4 + w;
    case TLaneColumn::Abzug:
        return 5 + w;
    case TLaneColumn::Punkte:
        return 6 + w;
    case TLaneColumn::Platz:
        return 7 + w;
    }
    return 0;
}

int THeatEntryModel::FirstTimeColumn() const {
    return watchCount_ > 1 ? Column(TLaneColumn::Uhr, 0) : Column(TLaneColumn::Zeit);
}

bool THeatEntryModel::IsTimeColumn(int column) const {
    const TLaneColumn k = Kind(column);
    return k == TLaneColumn::Uhr || (k == TLaneColumn::Zeit && watchCount_ == 1);
}

bool THeatEntryModel::IsEntryColumn(int column) const {
    return IsTimeColumn(column) || Kind(column) == TLaneColumn::Abzug;
}

int THeatEntryModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int THeatEntryModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 8 + (watchCount_ > 1 ? watchCount_ : 0);
}

bool THeatEntryModel::Editable(int row) const {
    return row >= 0 && row < rowCount() && rows_[static_cast<std::size_t>(row)].participant;
}

QVariant THeatEntryModel::headerData(int section, Qt::Orientation o, int role) const {
    if (o != Qt::Horizontal || role != Qt::DisplayRole) return {};
    switch (Kind(section)) {
    case TLaneColumn::Bahn:
        return QStringLiteral("Bahn");
    case TLaneColumn::Name:
        return IsSingleCompetition(c_) ? QStringLiteral("Teilnehmer")
                                       : QStringLiteral("Mannschaft");
    case TLaneColumn::Glied:
        return QStringLiteral("Glied.");
    case TLaneColumn::Ak:
        return QStringLiteral("Altersklasse");
    case TLaneColumn::Uhr:
        return QStringLiteral("Uhr %1").arg(section - Column(TLaneColumn::Uhr, 0) + 1);
    case TLaneColumn::Zeit:
        return QStringLiteral("Zeit");
    case TLaneColumn::Abzug:
        return QStringLiteral("Abzug");
    case TLaneColumn::Punkte:
        return QStringLiteral("Pkt");
    case TLaneColumn::Platz:
        return QStringLiteral("Pl.");
    }
    return {};
}

Qt::ItemFlags THeatEntryModel::flags(const QModelIndex& i) const {
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (IsEntryColumn(i.column()) && Editable(i.row())) f |= Qt::ItemIsEditable;
    return f;
}

const THeatEntryModel::TEntry* THeatEntryModel::EntryOf(int row) const {
    const TLaufPlatz& s = rows_[static_cast<std::size_t>(row)];
    const auto it = entries_.find({s.participant, discipline_});
    return it == entries_.end() ? nullptr : &it->second;
}

THeatEntryModel::TEntry& THeatEntryModel::EntryFor(int row) {
    const TLaufPlatz& s = rows_[static_cast<std::size_t>(row)];
    TEntry& e = entries_[{s.participant, discipline_}];
    e.slot = s;
    e.discipline = discipline_;
    return e;
}

int THeatEntryModel::Stored(const TLaufPlatz& s, int discipline, bool time) const {
    const auto k = static_cast<std::size_t>(discipline - 1);
    return time ? s.participant->Zeit[k] : s.participant->Abzug[k];
}

TUhren THeatEntryModel::Watches(const TEntry* e) const {
    TUhren w{};
    if (!e) return w;
    for (int i = 0; i < watchCount_; ++i)
        if (e->watch[i].edited && !e->watch[i].bad)
            w[static_cast<std::size_t>(i)] = e->watch[i].value;
    return w;
}

int THeatEntryModel::Time(const TLaufPlatz& s, int discipline, const TEntry* e) const {
    if (e && watchCount_ == 1 && e->watch[0].edited && !e->watch[0].bad) return e->watch[0].value;
    if (e && watchCount_ > 1) {
        const TZeit t = OfficialTime(Watches(e), hundredths_);
        if (t > 0) return t;
    }
    return Stored(s, discipline, true);
}

int THeatEntryModel::Penalty(const TLaufPlatz& s, int discipline, const TEntry* e) const {
    return e && e->penalty.edited && !e->penalty.bad ? e->penalty.value
                                                     : Stored(s, discipline, false);
}

bool THeatEntryModel::Typed(const TEntry& e) const {
    for (int i = 0; i < watchCount_; ++i)
        if (e.watch[i].edited) return true;
    return e.penalty.edited;
}

bool THeatEntryModel::Bad(const TEntry* e) const {
    if (!e) return false;
    for (int i = 0; i < watchCount_; ++i)
        if (e->watch[i].bad) return true;
    return e->penalty.bad;
}

bool THeatEntryModel::Deviates(const TEntry* e) const {
    return watchCount_ > 1 && e && WatchesDeviate(Watches(e), limit_);
}

QVariant THeatEntryModel::data(const QModelIndex& i, int role) const {
    if (!i.isValid() || i.row() >= rowCount()) return {};
    const TLaufPlatz& s = rows_[static_cast<std::size_t>(i.row())];
    const TTeilnehmer* p = s.participant;
    const TLaneColumn kind = Kind(i.column());
    if (role == Qt::TextAlignmentRole) {
        const bool left =
            kind == TLaneColumn::Name || kind == TLaneColumn::Glied || kind == TLaneColumn::Ak;
        return QVariant::fromValue(Qt::AlignVCenter | (left ? Qt::AlignLeft : Qt::AlignRight));
    }
    if (role == Qt::ForegroundRole && !p) return kFree;
    if (!p) {
        if (role != Qt::DisplayRole) return {};
        if (kind == TLaneColumn::Bahn) return s.lane;
        return kind == TLaneColumn::Name ? QStringLiteral("frei") : QVariant();
    }
    const TEntry* e = EntryOf(i.row());
    const THeatEntryField* field = nullptr;
    if (e && IsTimeColumn(i.column()))
        field = &e->watch[kind == TLaneColumn::Uhr ? i.column() - Column(TLaneColumn::Uhr, 0) : 0];
    else if (e && kind == TLaneColumn::Abzug)
        field = &e->penalty;
    const bool timeLike = kind == TLaneColumn::Uhr || kind == TLaneColumn::Zeit;
    if (role == Qt::BackgroundRole) {
        if (field && field->bad) return kBad;
        if (timeLike && Deviates(e)) return kDeviating;
        if (field && field->edited) return kPending;
        if (kind == TLaneColumn::Zeit && watchCount_ > 1 && e && Typed(*e)) return kPending;
        return {};
    }
    if (role == Qt::ToolTipRole) {
        if (field && field->bad) return Problem(i.row(), i.column());
        if (timeLike && Deviates(e))
            return QStringLiteral("Die Uhren liegen %1 auseinander (Grenze %2).")
                .arg(SecondsShown(WatchSpread(Watches(e))), SecondsShown(limit_));
        if (kind == TLaneColumn::Zeit && watchCount_ > 1)
            return QStringLiteral("Die amtliche Zeit aus den Uhren der Bahn");
        return {};
    }
    if (role != Qt::DisplayRole && role != Qt::EditRole) return {};
    switch (kind) {
    case TLaneColumn::Bahn:
        return s.lane != 0 ? QVariant(s.lane) : QVariant();
    case TLaneColumn::Name:
        return WhoOf(c_, *p);
    case TLaneColumn::Glied:
        return FromOem(p->Gliederung.View());
    case TLaneColumn::Ak:
        return FromOem(s.ageClass->Data.Bezeichnung.View());
    case TLaneColumn::Uhr:
        if (!field || !field->edited) return QString();
        return field->bad ? field->text : TimeShown(field->value, hundredths_);
    case TLaneColumn::Zeit:
        if (field && field->edited && field->bad) return field->text;
        return TimeShown(Time(s, discipline_, e), hundredths_);
    case TLaneColumn::Abzug:
        if (field && field->edited && field->bad) return field->text;
        return PenaltyShown(Penalty(s, discipline_, e));
    case TLaneColumn::Punkte: {
        const TZeit t = Time(s, discipline_, e);
        const int pen = Penalty(s, discipline_, e);
        if ((t == 0 && pen >= 0) || Bad(e) || discipline_ > s.ageClass->Data.DisciplineCount())
            return {};
        const TDisziplin& d = s.ageClass->Discipline(discipline_ - 1);
        return QString::fromStdString(PointsToText(CalcPoints(t, pen, d), 2));
    }
    case TLaneColumn::Platz:
        return QString::fromStdString(FieldText(*p, "PLATZ", hundredths_));
    }
    return {};
}

bool THeatEntryModel::setData(const QModelIndex& i, const QVariant& v, int role) {
    const int col = i.column();
    if (role != Qt::EditRole || !Editable(i.row()) || !IsEntryColumn(col)) return false;
    const TLaufPlatz slot = rows_[static_cast<std::size_t>(i.row())];
    TEntry& e = EntryFor(i.row());
    const bool isTime = IsTimeColumn(col);
    const int watch = Kind(col) == TLaneColumn::Uhr ? col - Column(TLaneColumn::Uhr, 0) : 0;
    THeatEntryField& f = isTime ? e.watch[watch] : e.penalty;
    const QString text = v.toString().trimmed();
    // A single time and the penalty stand for the stored values; a watch has none.
    const int stored = !isTime            ? Stored(slot, discipline_, false)
                       : watchCount_ == 1 ? Stored(slot, discipline_, true)
                                          : 0;
    const QString storedText = isTime ? TimeShown(stored, hundredths_) : PenaltyShown(stored);
    lastError_.clear();
    if (text == storedText) {
        f = {};
    } else {
        const std::string s = text.toStdString();
        int value = 0;
        bool ok = false;
        if (isTime) {
            TZeit t = 0;
            ok = ParseTimeEntry(s, hundredths_, t);
            value = t;
        } else {
            TAbzug pen = 0;
            ok = ParsePenaltyEntry(s, pen);
            value = pen;
        }
        if (ok && value == stored)
            f = {};
        else
            f = {true, !ok, text, value};
        if (!ok) lastError_ = Problem(i.row(), col);
    }
    // A time for somebody marked as not started: they did start after all.
    if (isTime && f.edited && !f.bad && f.value > 0 && !e.penalty.edited &&
        IsNotStarted(static_cast<TAbzug>(Stored(slot, discipline_, false))))
        e.penalty = {true, false, QString(), 0};
    Q_EMIT dataChanged(index(i.row(), 0), index(i.row(), columnCount() - 1));
    if (changed) changed();
    return true;
}

QStringList THeatEntryModel::Problems() const {
    QStringList out;
    for (int r = 0; r < rowCount(); ++r)
        for (int col = 0; col < columnCount(); ++col) {
            const QModelIndex at = index(r, col);
            if (IsEntryColumn(col) && at.data(Qt::BackgroundRole).value<QColor>() == kBad)
                out << Problem(r, col);
        }
    return out;
}

QModelIndex THeatEntryModel::FirstBad() const {
    for (int r = 0; r < rowCount(); ++r)
        for (int col = 0; col < columnCount(); ++col)
            if (IsEntryColumn(col) &&
                index(r, col).data(Qt::BackgroundRole).value<QColor>() == kBad)
                return index(r, col);
    return {};
}

TLaufStand THeatEntryModel::StandOf(const std::vector<TLaufPlatz>& slots, int discipline) const {
    TLaufStand st;
    for (const TLaufPlatz& s : slots) {
        if (!s.participant) continue;
        ++st.participants;
        const auto it = entries_.find({s.participant, discipline});
        const TEntry* e = it == entries_.end() ? nullptr : &it->second;
        if (Bad(e) || (Time(s, discipline, e) == 0 && Penalty(s, discipline, e) >= 0)) ++st.missing;
        if (Deviates(e)) ++st.deviating;
    }
    return st;
}

TLaufStand THeatEntryModel::Stand() const {
    return StandOf(rows_, discipline_);
}

TZeit THeatEntryModel::DerivedWith(int row, int w, TZeit value) const {
    TUhren watches = Watches(EntryOf(row));
    if (w >= 0 && w < watchCount_) watches[static_cast<std::size_t>(w)] = value;
    return OfficialTime(watches, hundredths_);
}

int THeatEntryModel::DeviatingLanes() const {
    return Stand().deviating;
}

bool THeatEntryModel::AnyEntries() const {
    return std::any_of(entries_.begin(), entries_.end(),
                       [this](const auto& kv) { return Typed(kv.second); });
}

std::vector<TLaufErgebnis> THeatEntryModel::Results() const {
    std::vector<TLaufErgebnis> out;
    for (const auto& [key, e] : entries_) {
        if (!Typed(e) || Bad(&e)) continue;
        const TZeit time = Time(e.slot, e.discipline, &e);
        const int penalty = Penalty(e.slot, e.discipline, &e);
        if (time == Stored(e.slot, e.discipline, true) &&
            penalty == Stored(e.slot, e.discipline, false))
            continue;
        TLaufErgebnis r{e.slot.ageClass, e.slot.participant, e.discipline, time,
                        static_cast<TAbzug>(penalty)};
        if (watchCount_ > 1) r.watches = Watches(&e);
        out.push_back(r);
    }
    return out;
}

void THeatEntryModel::Fill(const TLaufErgebnis& r) {
    if (!r.participant || !r.ageClass) return;
    TEntry& e = entries_[{r.participant, r.discipline}];
    e.slot.ageClass = r.ageClass;
    e.slot.participant = r.participant;
    e.slot.lane = r.participant->Bahn[static_cast<std::size_t>(r.discipline - 1)];
    e.discipline = r.discipline;
    for (THeatEntryField& f : e.watch)
        f = {};
    auto set = [this](THeatEntryField& f, int value, bool time) {
        if (value == 0 && time) return;
        f = {true, false, time ? TimeShown(value, hundredths_) : PenaltyShown(value), value};
    };
    if (watchCount_ == 1)
        set(e.watch[0], r.time, true);
    else
        for (int w = 0; w < watchCount_; ++w)
            set(e.watch[w], r.watches[static_cast<std::size_t>(w)], true);
    const TLaufPlatz slot = e.slot;
    if (r.penalty != Stored(slot, r.discipline, false))
        set(e.penalty, r.penalty, false);
    else
        e.penalty = {};
    if (!rows_.empty()) Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
    if (changed) changed();
}

QString THeatEntryModel::Place(int row) const {
    const TLaufPlatz& s = rows_[static_cast<std::size_t>(row)];
    const QString who = s.participant ? WhoOf(c_, *s.participant) : QString();
    return s.lane != 0 ? QStringLiteral("Bahn %1 (%2)").arg(s.lane).arg(who) : who;
}

QStringList THeatEntryModel::DisciplineNames() const {
    QStringList names;
    for (const TLaufPlatz& s : rows_) {
        if (!s.ageClass || discipline_ > s.ageClass->Data.DisciplineCount()) continue;
        const QString n =
            FromOem(s.ageClass->Discipline(discipline_ - 1).Bezeichnung.View()).trimmed();
        if (!n.isEmpty() && !names.contains(n)) names << n;
    }
    return names;
}

QString THeatEntryModel::Problem(int row, int column) const {
    const TEntry* e = EntryOf(row);
    if (IsTimeColumn(column)) {
        const int w = Kind(column) == TLaneColumn::Uhr ? column - Column(TLaneColumn::Uhr, 0) : 0;
        const QString what = watchCount_ > 1 ? QStringLiteral("die Zeit der Uhr %1").arg(w + 1)
                                             : QStringLiteral("die Zeit");
        return QStringLiteral("%1: %2 „%3“ ist nicht lesbar (Ziffern wie auf der "
                              "Stoppuhr, z. B. %4; höchstens 9:59,99)")
            .arg(Place(row), what, e ? e->watch[w].text : QString(),
                 hundredths_ ? QStringLiteral("3520 für 0:35,20")
                             : QStringLiteral("3521 für 3:52,1"));
    }
    return QStringLiteral("%1: der Abzug „%2“ ist nicht lesbar (eine Zahl bis 9999 "
                          "oder d, a, e)")
        .arg(Place(row), e ? e->penalty.text : QString());
}

// ---- editing --------------------------------------------------------------------------

QWidget* THeatEntryDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                          const QModelIndex& index) const {
    auto* e = new QLineEdit(parent);
    e->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    e->setMaxLength(12);
    e->setFrame(false);
    const QPersistentModelIndex at(index);
    QObject::connect(e, &QLineEdit::textEdited, e, [this, at](const QString& t) {
        if (typing) typing(at, t);
    });
    return e;
}

bool THeatEntryDelegate::eventFilter(QObject* object, QEvent* event) {
    auto* editor = qobject_cast<QWidget*>(object);
    if (editor && event->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(event);
        const bool plain = !(k->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
        if (plain && (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter)) {
            Q_EMIT commitData(editor);
            Q_EMIT closeEditor(editor, QAbstractItemDelegate::SubmitModelCache);
            return true;
        }
        if (k->key() == Qt::Key_Escape) {
            Q_EMIT closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
            return true;
        }
    }
    return QStyledItemDelegate::eventFilter(object, event);
}

THeatEntryTable::THeatEntryTable(QWidget* parent) : QTableView(parent) {
    setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::DoubleClicked);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setTabKeyNavigation(true);
    setAlternatingRowColors(true);
    setWordWrap(false);
    verticalHeader()->hide();
}

void THeatEntryTable::CommitEditor() {
    if (state() != QAbstractItemView::EditingState) return;
    if (QWidget* w = indexWidget(currentIndex())) {
        commitData(w);
        closeEditor(w, QAbstractItemDelegate::NoHint);
    }
}

void THeatEntryTable::keyPressEvent(QKeyEvent* e) {
    if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) &&
        !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        e->accept();
        const QModelIndex at = currentIndex();
        if (enter && at.isValid()) enter(at.row(), at.column());
        return;
    }
    QTableView::keyPressEvent(e);
}

void THeatEntryTable::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    const QModelIndex at = currentIndex();
    QTableView::closeEditor(editor, hint);
    if (hint == QAbstractItemDelegate::SubmitModelCache && enter && at.isValid())
        enter(at.row(), at.column());
}

QModelIndex THeatEntryTable::moveCursor(CursorAction action, Qt::KeyboardModifiers mods) {
    if (action != MoveNext && action != MovePrevious) return QTableView::moveCursor(action, mods);
    auto* m = static_cast<THeatEntryModel*>(model());
    const int first = m->FirstTimeColumn();
    const int last = m->Column(TLaneColumn::Abzug);
    const QModelIndex cur = currentIndex();
    int row = cur.isValid() ? cur.row() : 0;
    int col = cur.isValid() ? cur.column() : 0;
    for (;;) {
        if (action == MoveNext) {
            if (col < first)
                col = first;
            else if (col < last)
                col = m->IsEntryColumn(col + 1) ? col + 1 : last;
            else {
                ++row;
                col = first;
            }
        } else {
            if (col > last)
                col = last;
            else if (col > first)
                col = m->IsEntryColumn(col - 1) ? col - 1 : (col == last ? last - 1 : first);
            else {
                --row;
                col = last;
            }
        }
        if (row < 0 || row >= m->rowCount()) return {};
        if (m->Editable(row) && m->IsEntryColumn(col)) return m->index(row, col);
    }
}

} // namespace vm::ui
