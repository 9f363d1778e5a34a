// The participant grid of the main window: a table model over the current age class
// that answers every cell from the core's column set on demand, and the delegate that
// draws a cell's text 2 pixels from its left edge, centred vertically.
#pragma once

#include "model/VmGrid.h"

#include <QAbstractTableModel>
#include <QStyledItemDelegate>

#include <vector>

namespace vm::ui {

class TParticipantModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit TParticipantModel(QObject* parent = nullptr);

    // Shows the age class (or nothing); call again after every change of the document.
    void SetAgeClass(const TWettkampf* c, const TAltersklasse* ac);
    const TAltersklasse* AgeClass() const { return ac_; }
    const std::vector<TGridColumn>& Columns() const { return columns_; }

    // Rows: the participants in list order, then the empty new-participant row.
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // The text of a participant cell, or "" for the new-participant row.
    QString CellText(int row, int column) const;

private:
    const TWettkampf* c_ = nullptr;
    const TAltersklasse* ac_ = nullptr;
    std::vector<TGridColumn> columns_;
    bool hundredths_ = true;
};

class TGridDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
};

} // namespace vm::ui
