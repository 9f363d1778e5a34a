#include "ui/VmFrozenGrid.h"

#include <QHeaderView>
#include <QScrollBar>

#include <algorithm>

namespace vm::ui {

TFrozenGrid::TFrozenGrid(QWidget* parent) : QTableView(parent), overlay_(new QTableView(this)) {
    overlay_->setObjectName(QStringLiteral("FrozenColumns"));
    overlay_->setFocusPolicy(Qt::NoFocus);
    // Its cells lie exactly over the grid's, without a border of its own.
    overlay_->setFrameShape(QFrame::NoFrame);
    overlay_->verticalHeader()->hide();
    overlay_->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    overlay_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    overlay_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    overlay_->setContextMenuPolicy(Qt::CustomContextMenu);
    overlay_->hide();
    // The scrolling columns pass beneath the overlay, pixel by pixel.
    viewport()->stackUnder(overlay_);
    setHorizontalScrollMode(ScrollPerPixel);
    setVerticalScrollMode(ScrollPerPixel);
    overlay_->setVerticalScrollMode(ScrollPerPixel);

    connect(horizontalHeader(), &QHeaderView::sectionResized, this,
            [this](int column, int, int size) {
                if (column < frozen_) {
                    overlay_->setColumnWidth(column, size);
                    PlaceOverlay();
                }
            });
    connect(verticalHeader(), &QHeaderView::sectionResized, this,
            [this](int row, int, int size) { overlay_->setRowHeight(row, size); });
    connect(overlay_->verticalScrollBar(), &QAbstractSlider::valueChanged, verticalScrollBar(),
            &QAbstractSlider::setValue);
    connect(verticalScrollBar(), &QAbstractSlider::valueChanged, overlay_->verticalScrollBar(),
            &QAbstractSlider::setValue);
    // What the user does on the overlay is done on the grid.
    connect(overlay_, &QAbstractItemView::doubleClicked, this, &QAbstractItemView::doubleClicked);
    connect(overlay_, &QAbstractItemView::clicked, this, &QAbstractItemView::clicked);
    connect(overlay_, &QWidget::customContextMenuRequested, this, [this](const QPoint& p) {
        Q_EMIT customContextMenuRequested(
            viewport()->mapFromGlobal(overlay_->viewport()->mapToGlobal(p)));
    });
}

void TFrozenGrid::setModel(QAbstractItemModel* model) {
    QTableView::setModel(model);
    overlay_->setModel(model);
    overlay_->setSelectionModel(selectionModel());
    // The current row is marked across both views.
    connect(selectionModel(), &QItemSelectionModel::currentChanged, overlay_->viewport(),
            qOverload<>(&QWidget::update));
}

void TFrozenGrid::SetFrozenColumns(int count) {
    const int columns = model() ? model()->columnCount() : 0;
    frozen_ = std::clamp(count, 0, columns);
    overlay_->setItemDelegate(itemDelegate());
    overlay_->setSelectionMode(selectionMode());
    overlay_->setSelectionBehavior(selectionBehavior());
    overlay_->setEditTriggers(editTriggers());
    overlay_->setAlternatingRowColors(alternatingRowColors());
    overlay_->setWordWrap(wordWrap());
    overlay_->setFont(font());
    overlay_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    overlay_->verticalHeader()->setDefaultSectionSize(verticalHeader()->defaultSectionSize());
    overlay_->horizontalHeader()->setHighlightSections(horizontalHeader()->highlightSections());
    overlay_->horizontalHeader()->setFixedHeight(horizontalHeader()->height());
    for (int c = 0; c < columns; ++c) {
        overlay_->setColumnHidden(c, c >= frozen_);
        if (c < frozen_) overlay_->setColumnWidth(c, columnWidth(c));
    }
    overlay_->setVisible(frozen_ > 0);
    PlaceOverlay();
}

int TFrozenGrid::FrozenWidth() const {
    int w = 0;
    for (int c = 0; c < frozen_; ++c)
        w += columnWidth(c);
    return w;
}

void TFrozenGrid::PlaceOverlay() {
    const int left = verticalHeader()->isVisible() ? verticalHeader()->width() : 0;
    overlay_->horizontalHeader()->setFixedHeight(horizontalHeader()->height());
    overlay_->setGeometry(left + frameWidth(), frameWidth(), FrozenWidth(),
                          viewport()->height() + horizontalHeader()->height());
    overlay_->verticalScrollBar()->setValue(verticalScrollBar()->value());
}

void TFrozenGrid::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    PlaceOverlay();
}

void TFrozenGrid::updateGeometries() {
    QTableView::updateGeometries();
    PlaceOverlay();
}

QModelIndex TFrozenGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    const QModelIndex current = QTableView::moveCursor(action, modifiers);
    // A scrolling cell reached from the right must not end up beneath the overlay.
    if (current.isValid() && current.column() >= frozen_) {
        const int x = visualRect(current).left();
        if (x < FrozenWidth())
            horizontalScrollBar()->setValue(horizontalScrollBar()->value() + x - FrozenWidth());
    }
    return current;
}

void TFrozenGrid::scrollTo(const QModelIndex& index, ScrollHint hint) {
    const int sideways = horizontalScrollBar()->value();
    QTableView::scrollTo(index, hint);
    if (!index.isValid()) return;
    if (index.column() < frozen_) {
        // A frozen cell is always in view sideways: only the rows scroll.
        horizontalScrollBar()->setValue(sideways);
        return;
    }
    const int x = visualRect(index).left();
    if (x < FrozenWidth())
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() + x - FrozenWidth());
}

} // namespace vm::ui
