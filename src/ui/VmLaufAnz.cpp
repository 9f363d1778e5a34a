#include "ui/VmLaufAnz.h"

#include "operations/VmAuswahl.h"
#include "print/VmListen.h"
#include "ui/VmCanvas.h"
#include "ui/VmUiSeam.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace vm::ui {

TLaufanzeigeDlg::TLaufanzeigeDlg(QWidget* parent, const TWettkampf& c) : QDialog(parent), c_(c) {
    setObjectName(QStringLiteral("LaufanzeigeDlg"));
    const QString hint = QStringLiteral("Laufanzeige nach Wettkampf");
    setWindowTitle(hint);
    setToolTip(hint);
    setStatusTip(hint);
    auto* main = new QVBoxLayout(this);

    tabs_ = new QTabBar(this);
    tabs_->setObjectName(QStringLiteral("TabSet"));
    for (int d = 1; d <= 5; ++d)
        tabs_->addTab(QStringLiteral("Wettkampf ") + QString::number(d));
    tabs_->setFocusPolicy(Qt::StrongFocus);
    main->addWidget(tabs_);

    auto* row = new QHBoxLayout;
    previous_ = new QToolButton(this);
    previous_->setObjectName(QStringLiteral("PrevBtn"));
    previous_->setArrowType(Qt::LeftArrow);
    previous_->setToolTip(QStringLiteral("vorheriger Lauf (Bild auf)"));
    next_ = new QToolButton(this);
    next_->setObjectName(QStringLiteral("NextBtn"));
    next_->setArrowType(Qt::RightArrow);
    next_->setToolTip(QStringLiteral("nächster Lauf (Bild ab)"));
    heatLabel_ = new QLabel(this);
    heatLabel_->setObjectName(QStringLiteral("LaufLabel"));
    QFont bold = heatLabel_->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.2);
    heatLabel_->setFont(bold);
    heatLabel_->setMinimumWidth(
        QFontMetrics(bold).horizontalAdvance(QStringLiteral("Lauf ungesetzt (0000)")) + 8);
    heatLabel_->setAlignment(Qt::AlignCenter);
    row->addWidget(previous_);
    row->addWidget(heatLabel_);
    row->addWidget(next_);
    row->addStretch(1);
    main->addLayout(row);

    const QFont mono = ListLineFont(font());
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("LaufListe"));
    list_->setFont(mono);
    list_->setUniformItemSizes(true);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);

    // The header line scrolls sideways with the list.
    header_ = new QLabel(this);
    header_->setObjectName(QStringLiteral("HeaderLabel"));
    header_->setFont(mono);
    header_->setTextFormat(Qt::PlainText);
    header_->setContentsMargins(list_->frameWidth() + 2, 0, 0, 0);
    auto* headerBox = new QScrollArea(this);
    headerBox->setFrameShape(QFrame::NoFrame);
    headerBox->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    headerBox->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    headerBox->setWidget(header_);
    headerBox->setWidgetResizable(false);
    headerBox->setFixedHeight(QFontMetrics(mono).height() + 4);
    headerBox->setFocusPolicy(Qt::NoFocus);
    connect(list_->horizontalScrollBar(), &QScrollBar::valueChanged,
            headerBox->horizontalScrollBar(), &QScrollBar::setValue);
    main->addWidget(headerBox);
    main->addWidget(list_, 1);

    auto* buttons = new QDialogButtonBox(this);
    auto* change = buttons->addButton(QStringLiteral("Ändern..."), QDialogButtonBox::ActionRole);
    change->setObjectName(QStringLiteral("AendernBtn"));
    // It has nothing to do in the heat view.
    change->setEnabled(false);
    auto* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("OKBtn"));
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    main->addWidget(buttons);

    connect(tabs_, &QTabBar::currentChanged, this, [this](int i) { ShowHeat(i + 1, heat_); });
    connect(previous_, &QToolButton::clicked, this, [this] { ShowHeat(discipline_, heat_ - 1); });
    connect(next_, &QToolButton::clicked, this, [this] { ShowHeat(discipline_, heat_ + 1); });
    // The keys step at once, wherever the focus is.
    auto key = [this](Qt::Key k, int step) {
        auto* a = new QAction(this);
        a->setShortcut(QKeySequence(k));
        connect(a, &QAction::triggered, this,
                [this, step] { ShowHeat(discipline_, heat_ + step); });
        addAction(a);
    };
    key(Qt::Key_PageUp, -1);
    key(Qt::Key_PageDown, +1);

    // Wide enough for a whole line: heat, lane, names, Gliederung and age class.
    const int chars = 6 + 6 + 43 + 7 + 30;
    resize(QFontMetrics(mono).horizontalAdvance(QString(chars, QLatin1Char('0'))) + 60, 420);
    ShowHeat(1, 0);
    list_->setFocus();
}

TLaufanzeigeDlg::~TLaufanzeigeDlg() = default;

void TLaufanzeigeDlg::Open(QWidget* parent, const TWettkampf& c) {
    TLaufanzeigeDlg dlg(parent, c);
    ExecDialog(dlg);
}

void TLaufanzeigeDlg::ShowHeat(int discipline, int heat) {
    discipline = std::clamp(discipline, 1, 5);
    const THeatRange range = HeatRange(c_, discipline);
    if (heat < range.first) heat = range.first;
    if (heat > range.last) heat = range.last;
    discipline_ = discipline;
    heat_ = heat;

    ClearSelection(selection_);
    MarkAllAgeClasses(selection_, c_, true);
    SelectHeat(selection_, c_, heat, discipline);

    if (tabs_->currentIndex() != discipline - 1) {
        const QSignalBlocker block(tabs_);
        tabs_->setCurrentIndex(discipline - 1);
    }
    heatLabel_->setText(heat == 0 ? QStringLiteral("Lauf ungesetzt (0)")
                                  : QStringLiteral("Lauf ") + QString::number(heat));
    header_->setText(FromOem(HeatLine(c_, discipline, nullptr, false)));
    header_->adjustSize();
    list_->clear();
    for (const TListEntry& e : selection_.entries) {
        VM_ASSERT(PointsInto(c_, e));
        list_->addItem(FromOem(HeatLine(c_, discipline, e.participant, false)));
    }
    if (list_->count() > 0) list_->setCurrentRow(0);
    previous_->setEnabled(heat > range.first && range.first <= range.last);
    next_->setEnabled(heat < range.last);
}

} // namespace vm::ui
