#include "ui/VmLaufEingabeDlg.h"

#include "model/VmRech.h"
#include "operations/VmAuswahl.h"
#include "operations/VmPruefung.h"
#include "ui/BvValEdit.h"
#include "ui/VmUiSeam.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QSpinBox>
#include <QStyledItemDelegate>
#include <QTabBar>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>

namespace vm::ui {

namespace {

enum TColumn : int {
    colBahn,
    colName,
    colGlied,
    colAk,
    colZeit,
    colAbzug,
    colPunkte,
    colPlatz,
    colCount,
};

const QColor kBad(255, 150, 150);     // an entry that cannot be read
const QColor kPending(255, 244, 196); // typed, not applied yet
const QColor kFree(128, 128, 128);    // an empty lane
const QColor kComplete(0, 110, 0);    // a heat with every result

QString TimeShown(TZeit t, bool hundredths) {
    return t > 0 ? QString::fromStdString(TimeToText(t, hundredths)) : QString();
}

QString PenaltyShown(int penalty) {
    return penalty == 0 ? QString() : FromOem(PenaltyToText(penalty));
}

QString HeatLabel(int heat) {
    return heat == 0 ? QStringLiteral("Lauf ungesetzt (0)") : QStringLiteral("Lauf %1").arg(heat);
}

// "Meier, Leni" or the team name.
QString WhoOf(const TWettkampf& c, const TTeilnehmer& p) {
    if (!IsSingleCompetition(c)) return FromOem(p.Mannschaft()).trimmed();
    const QString first = FromOem(p.Vorname()).trimmed();
    const QString name = FromOem(p.Name()).trimmed();
    return first.isEmpty() ? name : name + QStringLiteral(", ") + first;
}

} // namespace

// ---- the rows of one heat ---------------------------------------------------------------

// One typed field: nothing typed (the stored value stands), a readable value, or a text
// that cannot be read.
struct THeatEntryField {
    bool edited = false;
    bool bad = false;
    QString text;
    int value = 0;
};

class THeatEntryModel : public QAbstractTableModel {
public:
    THeatEntryModel(const TWettkampf& c, QObject* parent)
        : QAbstractTableModel(parent), c_(c), hundredths_(WithHundredths(c)) {}

    std::function<void()> changed;

    void Load(std::vector<TLaufPlatz> slots, int discipline) {
        beginResetModel();
        discipline_ = discipline;
        rows_.clear();
        rows_.reserve(slots.size());
        for (const TLaufPlatz& s : slots)
            rows_.push_back({s, {}, {}});
        lastError_.clear();
        endResetModel();
    }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() ? 0 : static_cast<int>(rows_.size());
    }
    int columnCount(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() ? 0 : colCount;
    }

    bool Editable(int row) const {
        return row >= 0 && row < rowCount() && Row(row).slot.participant != nullptr;
    }

    QVariant headerData(int section, Qt::Orientation o, int role) const override {
        if (o != Qt::Horizontal || role != Qt::DisplayRole) return {};
        switch (section) {
        case colBahn:
            return QStringLiteral("Bahn");
        case colName:
            return IsSingleCompetition(c_) ? QStringLiteral("Teilnehmer")
                                           : QStringLiteral("Mannschaft");
        case colGlied:
            return QStringLiteral("Glied.");
        case colAk:
            return QStringLiteral("Altersklasse");
        case colZeit:
            return QStringLiteral("Zeit");
        case colAbzug:
            return QStringLiteral("Abzug");
        case colPunkte:
            return QStringLiteral("Pkt");
        case colPlatz:
            return QStringLiteral("Pl.");
        default:
            return {};
        }
    }

    Qt::ItemFlags flags(const QModelIndex& i) const override {
        Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        if ((i.column() == colZeit || i.column() == colAbzug) && Editable(i.row()))
            f |= Qt::ItemIsEditable;
        return f;
    }

    QVariant data(const QModelIndex& i, int role) const override {
        if (!i.isValid() || i.row() >= rowCount()) return {};
        const TRow& r = Row(i.row());
        const TTeilnehmer* p = r.slot.participant;
        const int col = i.column();
        if (role == Qt::TextAlignmentRole) {
            const bool right = col == colBahn || col == colZeit || col == colAbzug ||
                               col == colPunkte || col == colPlatz;
            return QVariant::fromValue(Qt::AlignVCenter | (right ? Qt::AlignRight : Qt::AlignLeft));
        }
        if (role == Qt::ForegroundRole && !p) return kFree;
        if (!p) {
            if (role != Qt::DisplayRole) return {};
            if (col == colBahn) return r.slot.lane;
            return col == colName ? QStringLiteral("frei") : QVariant();
        }
        const THeatEntryField* field = col == colZeit    ? &r.time
                                       : col == colAbzug ? &r.penalty
                                                         : nullptr;
        if (role == Qt::BackgroundRole && field && field->edited)
            return field->bad ? kBad : kPending;
        if (role == Qt::ToolTipRole && field && field->bad) return Problem(r, col == colZeit);
        if (role != Qt::DisplayRole && role != Qt::EditRole) return {};
        switch (col) {
        case colBahn:
            return r.slot.lane != 0 ? QVariant(r.slot.lane) : QVariant();
        case colName:
            return WhoOf(c_, *p);
        case colGlied:
            return FromOem(p->Gliederung.View());
        case colAk:
            return FromOem(r.slot.ageClass->Data.Bezeichnung.View());
        case colZeit:
            return r.time.edited ? (r.time.bad ? r.time.text : TimeShown(r.time.value, hundredths_))
                                 : TimeShown(Stored(r, true), hundredths_);
        case colAbzug:
            return r.penalty.edited
                       ? (r.penalty.bad ? r.penalty.text : PenaltyShown(r.penalty.value))
                       : PenaltyShown(Stored(r, false));
        case colPunkte: {
            const TZeit t = Time(r);
            const int pen = Penalty(r);
            if ((t == 0 && pen >= 0) || discipline_ > r.slot.ageClass->Data.DisciplineCount())
                return {};
            const TDisziplin& d = r.slot.ageClass->Discipline(discipline_ - 1);
            return QString::fromStdString(PointsToText(CalcPoints(t, pen, d), 2));
        }
        case colPlatz:
            return QString::fromStdString(FieldText(*p, "PLATZ", hundredths_));
        default:
            return {};
        }
    }

    bool setData(const QModelIndex& i, const QVariant& v, int role) override {
        const int col = i.column();
        if (role != Qt::EditRole || !Editable(i.row()) || (col != colZeit && col != colAbzug))
            return false;
        TRow& r = rows_[static_cast<std::size_t>(i.row())];
        const bool isTime = col == colZeit;
        THeatEntryField& f = isTime ? r.time : r.penalty;
        const QString text = v.toString().trimmed();
        const int stored = Stored(r, isTime);
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
            if (!ok) lastError_ = Problem(r, isTime);
        }
        Q_EMIT dataChanged(index(i.row(), 0), index(i.row(), colCount - 1));
        if (changed) changed();
        return true;
    }

    // What the last typed entry could not say; empty when it could.
    QString LastError() const { return lastError_; }

    // One line per entry that cannot be read.
    QStringList Problems() const {
        QStringList out;
        for (const TRow& r : rows_) {
            if (r.time.bad) out << Problem(r, true);
            if (r.penalty.bad) out << Problem(r, false);
        }
        return out;
    }

    QModelIndex FirstBad() const {
        for (int i = 0; i < rowCount(); ++i) {
            if (Row(i).time.bad) return index(i, colZeit);
            if (Row(i).penalty.bad) return index(i, colAbzug);
        }
        return {};
    }

    // The entries typed in this heat that change a participant.
    std::vector<TLaufErgebnis> Results() const {
        std::vector<TLaufErgebnis> out;
        for (const TRow& r : rows_)
            if (r.slot.participant && (r.time.edited || r.penalty.edited))
                out.push_back({r.slot.ageClass, r.slot.participant, discipline_,
                               static_cast<TZeit>(Time(r)), static_cast<TAbzug>(Penalty(r))});
        return out;
    }

    // The heat as it stands with what was typed; an unreadable entry still lacks.
    TLaufStand Stand() const {
        TLaufStand s;
        for (const TRow& r : rows_) {
            if (!r.slot.participant) continue;
            ++s.participants;
            if (r.time.bad || r.penalty.bad || (Time(r) == 0 && Penalty(r) >= 0)) ++s.missing;
        }
        return s;
    }

    // After the heat was applied the participants hold what was typed.
    void Applied() {
        for (TRow& r : rows_)
            r.time = r.penalty = {};
        lastError_.clear();
        if (!rows_.empty()) Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, colCount - 1));
    }

    // "Meier, Leni" on its lane, for the lines that name an entry.
    QString Place(int row) const {
        const TRow& r = Row(row);
        const QString who = r.slot.participant ? WhoOf(c_, *r.slot.participant) : QString();
        return r.slot.lane != 0 ? QStringLiteral("Bahn %1 (%2)").arg(r.slot.lane).arg(who) : who;
    }

    QStringList DisciplineNames() const {
        QStringList names;
        for (const TRow& r : rows_) {
            if (!r.slot.ageClass || discipline_ > r.slot.ageClass->Data.DisciplineCount()) continue;
            const QString n =
                FromOem(r.slot.ageClass->Discipline(discipline_ - 1).Bezeichnung.View()).trimmed();
            if (!n.isEmpty() && !names.contains(n)) names << n;
        }
        return names;
    }

private:
    struct TRow {
        TLaufPlatz slot;
        THeatEntryField time;
        THeatEntryField penalty;
    };

    const TRow& Row(int i) const { return rows_[static_cast<std::size_t>(i)]; }
    std::size_t Slot() const { return static_cast<std::size_t>(discipline_ - 1); }
    int Stored(const TRow& r, bool time) const {
        return time ? r.slot.participant->Zeit[Slot()] : r.slot.participant->Abzug[Slot()];
    }
    int Time(const TRow& r) const {
        return r.time.edited && !r.time.bad ? r.time.value : Stored(r, true);
    }
    int Penalty(const TRow& r) const {
        return r.penalty.edited && !r.penalty.bad ? r.penalty.value : Stored(r, false);
    }

    QString Problem(const TRow& r, bool time) const {
        const auto row = static_cast<int>(&r - rows_.data());
        if (time)
            return QStringLiteral(
                       "%1: die Zeit „%2“ ist nicht lesbar (Ziffern wie auf der "
                       "Stoppuhr, z. B. %3; höchstens 9:59,99)")
                .arg(Place(row), r.time.text,
                     hundredths_ ? QStringLiteral("3520 für 0:35,20")
                                 : QStringLiteral("3521 für 3:52,1"));
        return QStringLiteral("%1: der Abzug „%2“ ist nicht lesbar (eine Zahl bis 9999 "
                              "oder d, a, e)")
            .arg(Place(row), r.penalty.text);
    }

    const TWettkampf& c_;
    const bool hundredths_;
    int discipline_ = 1;
    std::vector<TRow> rows_;
    QString lastError_;
};

// ---- editing --------------------------------------------------------------------------

// Enter confirms a field and Esc leaves it as it was, both without leaving the table;
// the rest is the usual editing.
class THeatEntryDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    std::function<void(const QModelIndex&, const QString&)> typing;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex& index) const override {
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

protected:
    bool eventFilter(QObject* object, QEvent* event) override {
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
};

// The lanes: typing starts an entry, Enter goes down the lanes, Tab runs time,
// penalty, next lane's time, past empty lanes.
class THeatEntryTable : public QTableView {
public:
    explicit THeatEntryTable(QWidget* parent) : QTableView(parent) {
        setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed |
                        QAbstractItemView::DoubleClicked);
        setSelectionMode(QAbstractItemView::SingleSelection);
        setSelectionBehavior(QAbstractItemView::SelectItems);
        setTabKeyNavigation(true);
        setAlternatingRowColors(true);
        setWordWrap(false);
        verticalHeader()->hide();
    }

    // Enter on a lane, in its field or on the row: the row and column it came from.
    std::function<void(int, int)> enter;

    // Takes over what an open field holds, as leaving it would.
    void CommitEditor() {
        if (state() != QAbstractItemView::EditingState) return;
        if (QWidget* w = indexWidget(currentIndex())) {
            commitData(w);
            closeEditor(w, QAbstractItemDelegate::NoHint);
        }
    }

protected:
    void keyPressEvent(QKeyEvent* e) override {
        if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) &&
            !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            e->accept();
            const QModelIndex at = currentIndex();
            if (enter && at.isValid()) enter(at.row(), at.column());
            return;
        }
        QTableView::keyPressEvent(e);
    }

    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override {
        const QModelIndex at = currentIndex();
        QTableView::closeEditor(editor, hint);
        if (hint == QAbstractItemDelegate::SubmitModelCache && enter && at.isValid())
            enter(at.row(), at.column());
    }

    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers mods) override {
        if (action != MoveNext && action != MovePrevious)
            return QTableView::moveCursor(action, mods);
        auto* m = static_cast<THeatEntryModel*>(model());
        const QModelIndex cur = currentIndex();
        int row = cur.isValid() ? cur.row() : 0;
        int col = cur.isValid() ? cur.column() : colBahn;
        for (;;) {
            if (action == MoveNext) {
                if (col < colZeit)
                    col = colZeit;
                else if (col == colZeit)
                    col = colAbzug;
                else {
                    ++row;
                    col = colZeit;
                }
            } else {
                if (col > colAbzug)
                    col = colAbzug;
                else if (col == colAbzug)
                    col = colZeit;
                else {
                    --row;
                    col = colAbzug;
                }
            }
            if (row < 0 || row >= m->rowCount()) return {};
            if (m->Editable(row)) return m->index(row, col);
        }
    }
};

// ---- the dialog -------------------------------------------------------------------------

TLaufeingabeDlg::TLaufeingabeDlg(QWidget* parent, TVmFile& doc, TCommandGate& gate)
    : QDialog(parent), doc_(doc), gate_(gate) {
    const TWettkampf& c = doc_.Competition();
    setWindowTitle(QStringLiteral("Zeiten nach Läufen eingeben"));
    setStatusTip(QStringLiteral("Zeiten und Strafpunkte Lauf für Lauf eingeben"));

    tabs_ = new QTabBar(this);
    tabs_->setObjectName(QStringLiteral("DisziplinTabs"));
    for (int d = 1; d <= 5; ++d) {
        tabs_->addTab(QStringLiteral("Wettkampf &%1").arg(d));
        tabs_->setTabToolTip(d - 1,
                             QStringLiteral("Disziplin %1 der Altersklassen (Alt+%1)").arg(d));
    }

    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("LaufListe"));
    list_->setUniformItemSizes(true);
    list_->setToolTip(QStringLiteral("Die Läufe der Disziplin: vollständig oder wie "
                                     "viele Bahnen noch ohne Zeit sind"));
    auto* listLabel = new QLabel(QStringLiteral("Läu&fe:"), this);
    listLabel->setBuddy(list_);

    auto* prev = new QToolButton(this);
    prev->setObjectName(QStringLiteral("VorigerLauf"));
    prev->setArrowType(Qt::LeftArrow);
    prev->setToolTip(QStringLiteral("Voriger Lauf (Bild↑)"));
    prev->setFocusPolicy(Qt::NoFocus);
    auto* next = new QToolButton(this);
    next->setObjectName(QStringLiteral("NaechsterLauf"));
    next->setArrowType(Qt::RightArrow);
    next->setToolTip(QStringLiteral("Nächster Lauf (Bild↓)"));
    next->setFocusPolicy(Qt::NoFocus);
    spin_ = new QSpinBox(this);
    spin_->setObjectName(QStringLiteral("LaufNummer"));
    spin_->setKeyboardTracking(false);
    spin_->setToolTip(QStringLiteral("Nummer des Laufs; Bild↑/Bild↓ wechseln den Lauf"));
    spin_->setMinimumWidth(fontMetrics().averageCharWidth() * 12);
    auto* spinLabel = new QLabel(QStringLiteral("&Lauf:"), this);
    spinLabel->setBuddy(spin_);
    heading_ = new QLabel(this);
    heading_->setObjectName(QStringLiteral("LaufTitel"));
    QFont big = heading_->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.15);
    heading_->setFont(big);
    // A long heading is cut rather than widening the dialog.
    heading_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    stand_ = new QLabel(this);
    stand_->setObjectName(QStringLiteral("LaufStand"));

    model_ = new THeatEntryModel(c, this);
    table_ = new THeatEntryTable(this);
    table_->setObjectName(QStringLiteral("Bahnen"));
    table_->setModel(model_);
    auto* delegate = new THeatEntryDelegate(table_);
    table_->setItemDelegate(delegate);
    const int ch = fontMetrics().averageCharWidth();
    const int widths[colCount] = {6, 30, 7, 22, 10, 8, 9, 6};
    for (int i = 0; i < colCount; ++i)
        table_->setColumnWidth(i, widths[i] * ch + 12);
    table_->horizontalHeader()->setSectionResizeMode(colName, QHeaderView::Stretch);
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    table_->setToolTip(QStringLiteral("Zeit und Abzug je Bahn eingeben"));
    table_->setStatusTip(statusTip());

    const bool hundredths = WithHundredths(c);
    auto* hint = new QLabel(
        QStringLiteral("Zeit: Ziffern wie auf der Stoppuhr (%1), auch mit „:“ und "
                       "„,“ · Abzug: Zahl oder d = disq., a = n.a., e = n.er. "
                       "· Enter: nächste Bahn · Bild↑/Bild↓: Lauf "
                       "wechseln · Esc: Eingabe verwerfen")
            .arg(hundredths ? QStringLiteral("3520 = 0:35,20") : QStringLiteral("3521 = 3:52,1")),
        this);
    hint->setWordWrap(true);
    hint->setEnabled(false); // drawn grey: an explanation, not a control
    error_ = new QLabel(this);
    error_->setObjectName(QStringLiteral("Meldung"));
    error_->setWordWrap(true);

    auto* buttons = new QDialogButtonBox(this);
    ok_ = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    auto* cancel = buttons->addButton(QStringLiteral("Abbrechen"), QDialogButtonBox::RejectRole);
    MarkCancelButton(cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &TLaufeingabeDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TLaufeingabeDlg::reject);

    auto* nav = new QHBoxLayout;
    nav->addWidget(prev);
    nav->addWidget(spinLabel);
    nav->addWidget(spin_);
    nav->addWidget(next);
    nav->addSpacing(ch * 2);
    nav->addWidget(heading_, 1);
    nav->addWidget(stand_);
    auto* right = new QVBoxLayout;
    right->addLayout(nav);
    right->addWidget(table_, 1);
    right->addWidget(hint);
    right->addWidget(error_);
    auto* left = new QVBoxLayout;
    left->addWidget(listLabel);
    left->addWidget(list_, 1);
    list_->setFixedWidth(ch * 36);
    auto* body = new QHBoxLayout;
    body->addLayout(left);
    body->addLayout(right, 1);
    auto* main = new QVBoxLayout(this);
    main->addWidget(tabs_);
    main->addLayout(body, 1);
    main->addWidget(buttons);

    setTabOrder(tabs_, spin_);
    setTabOrder(spin_, table_);
    setTabOrder(table_, list_);
    setTabOrder(list_, ok_);
    setTabOrder(ok_, cancel);

    connect(tabs_, &QTabBar::currentChanged, this, [this](int i) {
        if (i + 1 == discipline_) return;
        if (!GoToDiscipline(i + 1)) {
            QSignalBlocker block(tabs_);
            tabs_->setCurrentIndex(discipline_ - 1);
        }
    });
    connect(spin_, qOverload<int>(&QSpinBox::valueChanged), this, [this](int v) {
        if (v != heat_) GoToHeat(v);
    });
    connect(list_, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
        if (item && item->data(Qt::UserRole).toInt() != heat_)
            GoToHeat(item->data(Qt::UserRole).toInt());
    });
    auto step = [this](int delta) {
        const QModelIndex at = table_->currentIndex();
        const int col = at.isValid() && at.column() == colAbzug ? colAbzug : colZeit;
        if (GoToHeat(heat_ + delta)) FocusFirstLane(col);
    };
    connect(prev, &QToolButton::clicked, this, [step] { step(-1); });
    connect(next, &QToolButton::clicked, this, [step] { step(1); });
    auto* pageUp = new QShortcut(QKeySequence(Qt::Key_PageUp), this);
    connect(pageUp, &QShortcut::activated, this, [step] { step(-1); });
    auto* pageDown = new QShortcut(QKeySequence(Qt::Key_PageDown), this);
    connect(pageDown, &QShortcut::activated, this, [step] { step(1); });

    table_->enter = [this](int row, int col) { NextLaneOrHeat(row, col); };
    model_->changed = [this] { EntryChanged(); };
    // While a time is typed the line under the lanes shows how it reads.
    delegate->typing = [this](const QModelIndex& at, const QString& text) {
        const bool hundredths = WithHundredths(doc_.Competition());
        TZeit t = 0;
        if (at.column() != colZeit || text.trimmed().isEmpty())
            SetMessage(QString(), false);
        else if (ParseTimeEntry(text.toStdString(), hundredths, t))
            SetMessage(QStringLiteral("%1: %2").arg(model_->Place(at.row()),
                                                    t > 0 ? TimeShown(t, hundredths)
                                                          : QStringLiteral("keine Zeit")),
                       false);
        else
            SetMessage(QStringLiteral("%1: „%2“ ist keine lesbare Zeit")
                           .arg(model_->Place(at.row()), text),
                       true);
    };
    // Enter on the tabs, the heat number or the heat list goes to the lanes; it must not
    // reach OK.
    for (QWidget* w :
         {static_cast<QWidget*>(tabs_), static_cast<QWidget*>(spin_), static_cast<QWidget*>(list_)})
        w->installEventFilter(this);

    const QRect screen = QApplication::primaryScreen()
                             ? QApplication::primaryScreen()->availableGeometry()
                             : QRect(0, 0, 1366, 768);
    resize(std::min(ch * 160, screen.width() - 40),
           std::min(fontMetrics().height() * 36, screen.height() - 60));

    // As the heat view opens: discipline 1, heat 0 clamped into its heats.
    ShowDiscipline();
    FocusFirstLane(colZeit);
}

TLaufeingabeDlg::~TLaufeingabeDlg() = default;

bool TLaufeingabeDlg::Open(QWidget* parent, TVmFile& doc, TCommandGate& gate) {
    TLaufeingabeDlg dlg(parent, doc, gate);
    ExecDialog(dlg);
    return dlg.applied_;
}

QTableView* TLaufeingabeDlg::Table() const {
    return table_;
}

bool TLaufeingabeDlg::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(event);
        if ((k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) &&
            !(k->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            if (watched == spin_) {
                spin_->interpretText();
                if (spin_->value() != heat_ && !GoToHeat(spin_->value())) return true;
            }
            FocusFirstLane(colZeit);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TLaufeingabeDlg::ShowDiscipline() {
    const TWettkampf& c = doc_.Competition();
    const THeatRange range = HeatRange(c, discipline_);
    firstHeat_ = range.first <= range.last ? range.first : 0;
    lastHeat_ = range.first <= range.last ? range.last : 0;
    progress_ = HeatProgress(c, discipline_);
    {
        QSignalBlocker block(list_);
        list_->clear();
        for (int h = firstHeat_; h <= lastHeat_; ++h) {
            auto* item = new QListWidgetItem(list_);
            item->setData(Qt::UserRole, h);
        }
    }
    for (int h = firstHeat_; h <= lastHeat_; ++h) {
        QListWidgetItem* item = ItemOf(h);
        const auto it = progress_.find(h);
        const TLaufStand s = it != progress_.end() ? it->second : TLaufStand{};
        item->setText(HeatItemText(h, s));
        if (s.participants > 0 && s.missing == 0) item->setForeground(kComplete);
    }
    {
        QSignalBlocker block(spin_);
        spin_->setRange(firstHeat_, lastHeat_);
        spin_->setSpecialValueText(firstHeat_ == 0 ? QStringLiteral("ungesetzt") : QString());
    }
    {
        QSignalBlocker block(tabs_);
        tabs_->setCurrentIndex(discipline_ - 1);
    }
    ShowHeat(std::clamp(heat_, firstHeat_, lastHeat_));
}

void TLaufeingabeDlg::ShowHeat(int heat) {
    heat_ = heat;
    model_->Load(HeatRows(doc_.Competition(), heat_, discipline_), discipline_);
    // The heat and its discipline; where the age classes name it differently (the
    // unassigned of many classes) the tool tip lists every name.
    const QStringList names = model_->DisciplineNames();
    const QString sep = QStringLiteral(" / ");
    QString shown = names.isEmpty() ? QString() : names.front();
    if (names.size() > 1) shown += sep + QStringLiteral("…");
    heading_->setText(names.isEmpty() ? HeatLabel(heat_)
                                      : HeatLabel(heat_) + QStringLiteral(" – ") + shown);
    heading_->setToolTip(names.join(QStringLiteral("\n")));
    {
        QSignalBlocker block(spin_);
        spin_->setValue(heat_);
    }
    {
        QSignalBlocker block(list_);
        if (QListWidgetItem* item = ItemOf(heat_)) {
            list_->setCurrentItem(item);
            list_->scrollToItem(item);
        }
    }
    SetMessage(QString(), false);
    UpdateHeatItem();
    // The current field follows the heat even while the focus is elsewhere.
    for (int r = 0; r < model_->rowCount(); ++r)
        if (model_->Editable(r)) {
            table_->setCurrentIndex(model_->index(r, colZeit));
            break;
        }
}

void TLaufeingabeDlg::FocusFirstLane(int column) {
    table_->setFocus(Qt::OtherFocusReason);
    for (int r = 0; r < model_->rowCount(); ++r)
        if (model_->Editable(r)) {
            const QModelIndex at = model_->index(r, column);
            table_->setCurrentIndex(at);
            table_->scrollTo(at);
            return;
        }
}

bool TLaufeingabeDlg::ApplyHeat() {
    table_->CommitEditor();
    const QStringList problems = model_->Problems();
    if (!problems.isEmpty()) {
        ShowBox(this, TBoxKind::Warning,
                QStringLiteral("%1 kann nicht übernommen werden, solange eine Eingabe nicht "
                               "lesbar ist:\n\n%2\n\nBitte die Eingabe korrigieren.")
                    .arg(HeatLabel(heat_), problems.join(QStringLiteral("\n"))),
                QMessageBox::Ok, windowTitle());
        const QModelIndex bad = model_->FirstBad();
        table_->setFocus(Qt::OtherFocusReason);
        table_->setCurrentIndex(bad);
        table_->scrollTo(bad);
        return false;
    }
    const std::vector<TLaufErgebnis> results = model_->Results();
    if (results.empty()) return true;
    gate_.RunCommand([&] { return ApplyHeatResults(results); });
    applied_ = true;
    model_->Applied();
    progress_[heat_] = model_->Stand();
    UpdateHeatItem();
    return true;
}

bool TLaufeingabeDlg::GoToHeat(int heat) {
    heat = std::clamp(heat, firstHeat_, lastHeat_);
    if (heat != heat_ && ApplyHeat()) {
        ShowHeat(heat);
        return true;
    }
    // Staying (or refused): the heat number and the list show the current heat again.
    QSignalBlocker blockSpin(spin_);
    spin_->setValue(heat_);
    QSignalBlocker blockList(list_);
    if (QListWidgetItem* item = ItemOf(heat_)) list_->setCurrentItem(item);
    return heat == heat_;
}

bool TLaufeingabeDlg::GoToDiscipline(int discipline) {
    discipline = std::clamp(discipline, 1, 5);
    if (discipline == discipline_) return true;
    if (!ApplyHeat()) return false;
    discipline_ = discipline;
    ShowDiscipline();
    return true;
}

void TLaufeingabeDlg::NextLaneOrHeat(int row, int column) {
    const int col = column == colAbzug ? colAbzug : colZeit;
    for (int r = row + 1; r < model_->rowCount(); ++r)
        if (model_->Editable(r)) {
            const QModelIndex at = model_->index(r, col);
            table_->setCurrentIndex(at);
            table_->scrollTo(at);
            return;
        }
    if (!ApplyHeat()) return;
    for (auto it = progress_.upper_bound(heat_); it != progress_.end() && it->first <= lastHeat_;
         ++it)
        if (it->second.participants > 0) {
            ShowHeat(it->first);
            FocusFirstLane(col);
            return;
        }
    ok_->setFocus(Qt::OtherFocusReason);
}

void TLaufeingabeDlg::accept() {
    if (!FormCheck(this)) return;
    if (!ApplyHeat()) return;
    QDialog::accept();
}

void TLaufeingabeDlg::EntryChanged() {
    SetMessage(model_->LastError(), true);
    if (!model_->LastError().isEmpty()) Beep();
    UpdateHeatItem();
}

void TLaufeingabeDlg::SetMessage(const QString& text, bool bad) {
    QPalette pal = palette();
    if (bad) pal.setColor(QPalette::WindowText, QColor(180, 0, 0));
    error_->setPalette(pal);
    error_->setText(text);
}

QString TLaufeingabeDlg::HeatItemText(int heat, const TLaufStand& s) const {
    QString state;
    if (s.participants == 0)
        state = QStringLiteral("leer");
    else if (s.missing == 0)
        state = QStringLiteral("vollständig");
    else
        state = QStringLiteral("%1 ohne Zeit").arg(s.missing);
    return HeatLabel(heat) + QStringLiteral(": ") + state;
}

QListWidgetItem* TLaufeingabeDlg::ItemOf(int heat) const {
    const int i = heat - firstHeat_;
    return i >= 0 && i < list_->count() ? list_->item(i) : nullptr;
}

void TLaufeingabeDlg::UpdateHeatItem() {
    const TLaufStand s = model_->Stand();
    stand_->setText(HeatItemText(heat_, s).mid(HeatLabel(heat_).size() + 2));
    if (QListWidgetItem* item = ItemOf(heat_)) {
        item->setText(HeatItemText(heat_, s));
        item->setForeground(s.participants > 0 && s.missing == 0 ? QBrush(kComplete) : QBrush());
    }
}

} // namespace vm::ui
