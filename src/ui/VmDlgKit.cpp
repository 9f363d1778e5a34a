#include "ui/VmDlgKit.h"

#include "ui/VmUiSeam.h"

#include <QApplication>
#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>

namespace vm::ui {

// ---- radio group ------------------------------------------------------------------

TRadioGroup::TRadioGroup(const QString& title, const QStringList& items, int columns,
                         QWidget* parent)
    : QGroupBox(title, parent), group_(new QButtonGroup(this)) {
    auto* grid = new QGridLayout(this);
    if (columns < 1) columns = 1;
    columns_ = columns;
    for (int i = 0; i < items.size(); ++i) {
        auto* b = new QRadioButton(items[i], this);
        b->installEventFilter(this);
        group_->addButton(b, i);
        grid->addWidget(b, i / columns, i % columns);
    }
    connect(group_, &QButtonGroup::idToggled, this, [this](int id, bool on) {
        if (on) Q_EMIT indexChanged(id);
    });
}

int TRadioGroup::Count() const {
    return static_cast<int>(group_->buttons().size());
}

int TRadioGroup::ItemIndex() const {
    return group_->checkedId();
}

void TRadioGroup::SetItemIndex(int index, int fallback) {
    if (index < 0 || index >= Count()) index = fallback;
    if (QAbstractButton* b = group_->button(index)) b->setChecked(true);
}

QRadioButton* TRadioGroup::Button(int index) const {
    return qobject_cast<QRadioButton*>(group_->button(index));
}

bool TRadioGroup::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QGroupBox::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    auto* from = qobject_cast<QAbstractButton*>(watched);
    const int index = from ? group_->id(from) : -1;
    if (index < 0 || (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return QGroupBox::eventFilter(watched, event);
    // A group of one row moves along it with every arrow key.
    const int down = Count() > columns_ ? columns_ : 1;
    int step = 0;
    switch (key->key()) {
    case Qt::Key_Left:
        step = -1;
        break;
    case Qt::Key_Right:
        step = 1;
        break;
    case Qt::Key_Up:
        step = -down;
        break;
    case Qt::Key_Down:
        step = down;
        break;
    default:
        return QGroupBox::eventFilter(watched, event);
    }
    int to = index + step;
    while (to >= 0 && to < Count() && !group_->button(to)->isEnabled())
        to += step;
    if (to >= 0 && to < Count()) {
        QAbstractButton* next = group_->button(to);
        next->setFocus(step < 0 ? Qt::BacktabFocusReason : Qt::TabFocusReason);
        next->click();
    }
    return true; // the focus stays in the group at its ends
}

// ---- spin edit ----------------------------------------------------------------------

TSpinEdit::TSpinEdit(int minValue, int maxValue, QWidget* parent) : QSpinBox(parent) {
    setRange(minValue, maxValue);
}

QString TSpinEdit::RangeErrorText() const {
    return IntRangeErrorText(minimum(), maximum());
}

void TSpinEdit::ShowRangeError() {
    ShowRangeErrorBox(this, RangeErrorText());
}

void TSpinEdit::focusOutEvent(QFocusEvent* event) {
    if (!LeavesTowardsCheck(event) || IsValid()) {
        QSpinBox::focusOutEvent(event);
        return;
    }
    // The spin box would quietly go back to its previous value here; the text stays
    // so that the user sees what was refused.
    QCoreApplication::sendEvent(lineEdit(), event);
    QWidget::focusOutEvent(event);
    exitCheck_.Schedule(
        this, [this] { return IsValid(); }, [this] { ShowRangeError(); }, [this] { selectAll(); });
}

// ---- dialog pieces ------------------------------------------------------------------

void SetHint(QWidget* widget, const QString& hint) {
    widget->setToolTip(hint);
    widget->setStatusTip(hint);
}

QDialogButtonBox* AddOkCancel(QDialog& dialog, QBoxLayout& layout) {
    auto* box = new QDialogButtonBox(&dialog);
    QPushButton* ok = box->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    QPushButton* cancel = box->addButton(QStringLiteral("Abbrechen"), QDialogButtonBox::RejectRole);
    ok->setDefault(true);
    MarkCancelButton(cancel);
    QObject::connect(box, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(box, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout.addWidget(box);
    return box;
}

bool CheckSpinBoxes(QWidget* form) {
    for (TSpinEdit* s : form->findChildren<TSpinEdit*>()) {
        if (!s->isEnabled() || s->IsValid()) continue;
        s->ShowRangeError();
        s->setFocus(Qt::OtherFocusReason);
        s->selectAll();
        return false;
    }
    return true;
}

bool CheckDataForm(QWidget* form) {
    return FormCheck(form) && CheckSpinBoxes(form);
}

void FillAgeClassList(QListWidget& list, const TWettkampf& c, int select) {
    list.clear();
    for (const TAltersklasse& ac : c)
        list.addItem(FromOem(ac.Data.Bezeichnung.View()));
    if (list.count() > 0) list.setCurrentRow(std::clamp(select, 0, list.count() - 1));
}

TAltersklasse* SelectedAgeClass(const QListWidget& list, const TWettkampf& c) {
    const int i = list.currentRow();
    return i >= 0 && i < c.Count() ? c.At(i) : nullptr;
}

namespace {

class TEnterFilter : public QObject {
public:
    TEnterFilter(QObject* parent, std::function<void()> action)
        : QObject(parent), action_(std::move(action)) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            auto* k = static_cast<QKeyEvent*>(event);
            if ((k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) &&
                !(k->modifiers() & (Qt::AltModifier | Qt::ControlModifier))) {
                action_();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> action_;
};

} // namespace

void SetDefaultButton(QDialog& dialog, QPushButton* button) {
    for (QPushButton* b : dialog.findChildren<QPushButton*>())
        b->setDefault(b == button);
}

void OnEnterKey(QWidget* widget, std::function<void()> action) {
    widget->installEventFilter(new TEnterFilter(widget, std::move(action)));
}

void TDataDlg::accept() {
    if (CheckDataForm(this)) QDialog::accept();
}

} // namespace vm::ui
