#include "ui/VmGridModel.h"

#include "ui/VmUiSeam.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QPainter>

namespace vm::ui {

TParticipantModel::TParticipantModel(QObject* parent) : QAbstractTableModel(parent) {}

void TParticipantModel::SetAgeClass(const TWettkampf* c, const TAltersklasse* ac) {
    beginResetModel();
    c_ = c;
    ac_ = c ? ac : nullptr;
    columns_ = (c_ && ac_) ? GridColumns(*c_, *ac_) : std::vector<TGridColumn>{};
    hundredths_ = c_ ? WithHundredths(*c_) : true;
    endResetModel();
}

int TParticipantModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() || !ac_) return 0;
    return ac_->Count() + 1;
}

int TParticipantModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QString TParticipantModel::CellText(int row, int column) const {
    if (!ac_ || row < 0 || row >= ac_->Count() || column < 0 ||
        column >= static_cast<int>(columns_.size()))
        return QString();
    return FromOem(
        FieldText(*ac_->At(row), columns_[static_cast<std::size_t>(column)].key, hundredths_));
}

QVariant TParticipantModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    switch (role) {
    case Qt::DisplayRole:
        return CellText(index.row(), index.column());
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    default:
        return {};
    }
}

QVariant TParticipantModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 ||
        section >= static_cast<int>(columns_.size()))
        return {};
    if (role == Qt::DisplayRole)
        return FromOem(columns_[static_cast<std::size_t>(section)].caption);
    if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    return {};
}

void TGridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const {
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QString text = opt.text;
    opt.text.clear();
    const QWidget* w = opt.widget;
    QStyle* style = w ? w->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, w);
    const bool selected = opt.state & QStyle::State_Selected;
    // The current row stands out across the whole grid, not only in its current cell.
    if (auto* view = qobject_cast<const QAbstractItemView*>(w);
        !selected && view && view->currentIndex().row() == index.row()) {
        QColor mark = opt.palette.color(QPalette::Highlight);
        mark.setAlpha(60);
        painter->fillRect(opt.rect, mark);
    }
    painter->save();
    painter->setPen(
        opt.palette.color(QPalette::Normal, selected ? QPalette::HighlightedText : QPalette::Text));
    painter->setFont(opt.font);
    const QRect r = opt.rect.adjusted(2, 0, -1, 0);
    painter->drawText(r, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                      opt.fontMetrics.elidedText(text, Qt::ElideNone, r.width()));
    painter->restore();
}

} // namespace vm::ui
