// A table view whose first columns stay in view while the others scroll sideways: a
// second view over the same model and selection lies over the left edge and shows only
// those columns. The main window's grid keeps place and name visible this way.
#pragma once

#include <QTableView>

namespace vm::ui {

class TFrozenGrid : public QTableView {
    Q_OBJECT
public:
    explicit TFrozenGrid(QWidget* parent = nullptr);

    void setModel(QAbstractItemModel* model) override;
    // Columns 0 .. count - 1 stay in view; call again after the model's columns changed.
    // The overlay takes over the look of the grid (delegate, row height, selection).
    void SetFrozenColumns(int count);
    int FrozenColumns() const { return frozen_; }
    // The overlay; it never takes the focus, the grid keeps it.
    QTableView* FrozenView() const { return overlay_; }
    // A scrolling cell is brought out from under the frozen columns; a frozen one only
    // scrolls the rows.
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void updateGeometries() override;

private:
    int FrozenWidth() const;
    void PlaceOverlay();

    QTableView* overlay_;
    int frozen_ = 0;
};

} // namespace vm::ui
