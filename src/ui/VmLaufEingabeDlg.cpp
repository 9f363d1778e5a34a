#include "ui/VmLaufEingabeDlg.h"

#include "operations/VmAuswahl.h"
#include "timing/VmStartliste.h"
#include "ui/BvValEdit.h"
#include "ui/VmLaufEingabeModel.h"
#include "ui/VmMain.h"
#include "ui/VmUiSeam.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QShortcut>
#include <QScrollBar>
#include <QSpinBox>
#include <QSplitter>
#include <QStyle>
#include <QTabBar>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace vm::ui {

namespace {

const QString kWatchesKey = QStringLiteral("Laufeingabe/Zeitnehmer/");
const QString kLimitKey = QStringLiteral("Laufeingabe/Abweichung");

std::string LocalName(const QString& fileName) {
    return QFile::encodeName(fileName).toStdString();
}

// The files a console leaves in its folder.
const QStringList kTimingPatterns = {QStringLiteral("*.csv"), QStringLiteral("*.CSV"),
                                     QStringLiteral("*.txt"), QStringLiteral("*.TXT")};

QString Lines(const std::vector<std::string>& lines) {
    QStringList out;
    for (const std::string& l : lines)
        out << QString::fromStdString(l);
    return out.join(QStringLiteral("\n"));
}

} // namespace

TLaufeingabeDlg::TLaufeingabeDlg(QWidget* parent, const TWettkampf& c, const QString& fileName)
    : QDialog(parent), c_(c), fileName_(fileName) {
    setWindowTitle(QStringLiteral("Zeiten nach Läufen eingeben"));
    setStatusTip(QStringLiteral("Zeiten und Strafpunkte Lauf für Lauf eingeben"));

    tabs_ = new QTabBar(this);
    tabs_->setObjectName(QStringLiteral("DisziplinTabs"));
    for (int d = 1; d <= 5; ++d) {
        tabs_->addTab(QStringLiteral("Wettkampf &%1").arg(d));
        tabs_->setTabToolTip(d - 1,
                             QStringLiteral("Disziplin %1 der Altersklassen (Alt+%1)").arg(d));
    }
    // On a narrow screen the tabs scroll instead of widening the dialog.
    tabs_->setExpanding(false);
    tabs_->setUsesScrollButtons(true);

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

    // Hand timing: how many watches each lane has, and how far apart they may lie.
    QSettings settings;
    watches_ = new QSpinBox(this);
    watches_->setObjectName(QStringLiteral("Zeitnehmer"));
    watches_->setRange(1, 3);
    watches_->setToolTip(QStringLiteral("Wie viele Uhren je Bahn eingegeben werden; bei zwei "
                                        "oder drei wird die Zeit aus den Uhren bestimmt"));
    auto* watchesLabel = new QLabel(QStringLiteral("Zeit&nehmer je Bahn:"), this);
    watchesLabel->setBuddy(watches_);
    limit_ = new QDoubleSpinBox(this);
    limit_->setObjectName(QStringLiteral("Grenze"));
    limit_->setDecimals(2);
    limit_->setRange(0.01, 9.99);
    limit_->setSingleStep(0.05);
    limit_->setSuffix(QStringLiteral(" s"));
    limit_->setValue(settings.value(kLimitKey, kSpreadLimit).toInt() / 100.0);
    limit_->setToolTip(QStringLiteral("Bahnen, deren Uhren weiter auseinander liegen, werden "
                                      "markiert"));
    auto* limitLabel = new QLabel(QStringLiteral("Ab&weichung ab:"), this);
    limitLabel->setBuddy(limit_);
    auto* readButton = new QPushButton(QStringLiteral("Zeitmessung &einlesen…"), this);
    readButton->setObjectName(QStringLiteral("ZeitmessungEinlesen"));
    readButton->setAutoDefault(false);
    readButton->setToolTip(QStringLiteral("Die Datei einer Zeitmessanlage in die Läufe "
                                          "übernehmen, zur Kontrolle vor OK"));
    auto* folderButton = new QPushButton(QStringLiteral("Ordner &überwachen…"), this);
    folderButton->setObjectName(QStringLiteral("OrdnerUeberwachen"));
    folderButton->setAutoDefault(false);
    folderButton->setToolTip(QStringLiteral("Jede neue Datei der Zeitmessanlage in diesem "
                                            "Ordner zum Einlesen anbieten"));
    auto* startButton = new QPushButton(QStringLiteral("&Startliste schreiben…"), this);
    startButton->setObjectName(QStringLiteral("StartlisteSchreiben"));
    startButton->setAutoDefault(false);
    startButton->setToolTip(QStringLiteral("Die Läufe dieses Wettkampfs als Startliste für "
                                           "die Zeitmessanlage schreiben"));
    folderLabel_ = new QLabel(this);
    folderLabel_->setObjectName(QStringLiteral("Ordner"));
    folderLabel_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

    model_ = new THeatEntryModel(c_, this);
    model_->SetSpreadLimit(static_cast<TZeit>(std::lround(limit_->value() * 100)));
    const int remembered = fileName_.isEmpty() ? 1 : settings.value(SettingsKey(), 1).toInt();
    watches_->setValue(std::clamp(remembered, 1, 3));
    model_->SetWatchCount(watches_->value());
    table_ = new THeatEntryTable(this);
    table_->setObjectName(QStringLiteral("Bahnen"));
    table_->setModel(model_);
    auto* delegate = new THeatEntryDelegate(table_);
    table_->setItemDelegate(delegate);
    table_->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    table_->horizontalHeader()->setStretchLastSection(false);
    table_->viewport()->installEventFilter(this);
    const int ch = fontMetrics().averageCharWidth();
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    table_->setToolTip(QStringLiteral("Zeit und Abzug je Bahn eingeben"));
    table_->setStatusTip(statusTip());
    SizeColumns();

    const bool hundredths = WithHundredths(c_);
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
    auto* timing = new QHBoxLayout;
    timing->addWidget(watchesLabel);
    timing->addWidget(watches_);
    timing->addSpacing(ch * 2);
    timing->addWidget(limitLabel);
    timing->addWidget(limit_);
    timing->addSpacing(ch * 2);
    timing->addWidget(folderLabel_, 1);
    auto* right = new QVBoxLayout;
    right->setContentsMargins(0, 0, 0, 0);
    right->addLayout(nav);
    right->addLayout(timing);
    right->addWidget(table_, 1);
    right->addWidget(hint);
    right->addWidget(error_);
    auto* left = new QVBoxLayout;
    left->setContentsMargins(0, 0, 0, 0);
    left->addWidget(listLabel);
    left->addWidget(list_, 1);
    // The heat list and the lanes share the width; on a small screen the list gives
    // way first, and the user can move the border.
    list_->setMinimumWidth(ch * 18);
    auto* body = new QSplitter(Qt::Horizontal, this);
    body->setObjectName(QStringLiteral("LaufTeilung"));
    body->setChildrenCollapsible(false);
    auto* leftPane = new QWidget(body);
    leftPane->setLayout(left);
    auto* rightPane = new QWidget(body);
    rightPane->setLayout(right);
    body->setStretchFactor(0, 0);
    body->setStretchFactor(1, 1);
    // The list starts as wide as a complete heat's line; longer lines are cut.
    const int listWidth =
        list_->fontMetrics().horizontalAdvance(QStringLiteral("Lauf 888: vollständig")) +
        list_->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list_) +
        2 * list_->frameWidth() + 3 * ch;
    body->setSizes({listWidth, ch * 150});
    // The console's buttons go beside OK and Abbrechen, where the dialog's whole width
    // is free.
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(readButton);
    bottom->addWidget(folderButton);
    bottom->addWidget(startButton);
    bottom->addStretch(1);
    bottom->addWidget(buttons);
    auto* main = new QVBoxLayout(this);
    main->addWidget(tabs_);
    main->addWidget(body, 1);
    main->addLayout(bottom);

    setTabOrder(tabs_, spin_);
    setTabOrder(spin_, table_);
    setTabOrder(table_, watches_);
    setTabOrder(watches_, limit_);
    setTabOrder(limit_, readButton);
    setTabOrder(readButton, folderButton);
    setTabOrder(folderButton, startButton);
    setTabOrder(startButton, list_);
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
    connect(watches_, qOverload<int>(&QSpinBox::valueChanged), this, [this](int n) {
        if (!SetWatchCount(n)) {
            QSignalBlocker block(watches_);
            watches_->setValue(model_->WatchCount());
        }
    });
    connect(limit_, qOverload<double>(&QDoubleSpinBox::valueChanged), this, [this](double s) {
        const auto limit = static_cast<TZeit>(std::lround(s * 100));
        model_->SetSpreadLimit(limit);
        QSettings().setValue(kLimitKey, limit);
    });
    connect(readButton, &QPushButton::clicked, this, &TLaufeingabeDlg::ChooseTimingFile);
    connect(folderButton, &QPushButton::clicked, this, &TLaufeingabeDlg::ChooseFolder);
    connect(startButton, &QPushButton::clicked, this, &TLaufeingabeDlg::ChooseStartList);
    auto step = [this](int delta) {
        const QModelIndex at = table_->currentIndex();
        const bool penalty = at.isValid() && model_->Kind(at.column()) == TLaneColumn::Abzug;
        if (GoToHeat(heat_ + delta)) FocusFirstLane(penalty);
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
        const bool hundredths = WithHundredths(c_);
        TZeit t = 0;
        if (!model_->IsTimeColumn(at.column()) || text.trimmed().isEmpty())
            SetMessage(QString(), false);
        else if (ParseTimeEntry(text.toStdString(), hundredths, t)) {
            QString line = QStringLiteral("%1: %2").arg(model_->Place(at.row()),
                                                        t > 0 ? TimeShown(t, hundredths)
                                                              : QStringLiteral("keine Zeit"));
            // With several watches the lane's time as it would come out of them.
            if (model_->Kind(at.column()) == TLaneColumn::Uhr) {
                const int w = at.column() - model_->Column(TLaneColumn::Uhr, 0);
                const TZeit derived = model_->DerivedWith(at.row(), w, t);
                if (derived > 0)
                    line += QStringLiteral(" – Zeit %1").arg(TimeShown(derived, hundredths));
            }
            SetMessage(line, false);
        } else
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
    resize(std::min(ch * 195, screen.width() - 40),
           std::min(fontMetrics().height() * 38, screen.height() - 60));

    // As the heat view opens: discipline 1, heat 0 clamped into its heats.
    ShowDiscipline();
    FocusFirstLane(false);
}

TLaufeingabeDlg::~TLaufeingabeDlg() = default;

bool TLaufeingabeDlg::Open(QWidget* parent, const TWettkampf& c,
                           std::vector<TLaufErgebnis>& results, const QString& fileName) {
    TLaufeingabeDlg dlg(parent, c, fileName);
    results.clear();
    if (ExecDialog(dlg) != QDialog::Accepted) return false;
    results = dlg.results_;
    return true;
}

QTableView* TLaufeingabeDlg::Table() const {
    return table_;
}

std::vector<TLaufErgebnis> TLaufeingabeDlg::Results() const {
    return model_->Results();
}

QString TLaufeingabeDlg::SettingsKey() const {
    return kWatchesKey +
           QString::fromLatin1(QUrl::toPercentEncoding(QFileInfo(fileName_).absoluteFilePath()));
}

void TLaufeingabeDlg::SizeColumns() {
    const int ch = fontMetrics().averageCharWidth();
    for (int i = 0; i < model_->columnCount(); ++i) {
        int w = 8;
        switch (model_->Kind(i)) {
        case TLaneColumn::Bahn:
        case TLaneColumn::Platz:
            w = 6;
            break;
        case TLaneColumn::Name:
            w = 30;
            break;
        case TLaneColumn::Glied:
            w = 7;
            break;
        case TLaneColumn::Ak:
            w = 0; // from its texts below
            break;
        case TLaneColumn::Uhr:
        case TLaneColumn::Zeit:
            w = 10;
            break;
        case TLaneColumn::Abzug:
            w = 8;
            break;
        case TLaneColumn::Punkte:
            w = 9;
            break;
        }
        table_->setColumnWidth(i, w * ch + 12);
    }
    const QFontMetrics fm = table_->fontMetrics();
    const int pad = 2 * table_->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr,
                                                     table_) + ch * 2;
    auto headerWidth = [&](TLaneColumn kind) {
        const QString text =
            model_->headerData(model_->Column(kind), Qt::Horizontal, Qt::DisplayRole).toString();
        return QFontMetrics(table_->horizontalHeader()->font()).horizontalAdvance(text) + pad;
    };
    int ak = headerWidth(TLaneColumn::Ak);
    for (const TAltersklasse& a : c_)
        ak = std::max(ak, fm.horizontalAdvance(FromOem(a.Data.Bezeichnung.View())) + pad);
    table_->setColumnWidth(model_->Column(TLaneColumn::Ak), ak);
    if (nameWidth_ == 0) nameWidth_ = LongestNameWidth(fm) + pad;
    nameWidth_ = std::max(nameWidth_, headerWidth(TLaneColumn::Name));
    FitNameColumn();
}

int TLaufeingabeDlg::LongestNameWidth(const QFontMetrics& fm) const {
    // Measured for the longest names by characters only: a competition may have
    // 20 000 of them.
    std::vector<QString> longest;
    std::size_t keep = 0;
    for (const TAltersklasse& a : c_)
        for (const TTeilnehmer& p : a) {
            QString who = WhoOf(c_, p);
            if (static_cast<std::size_t>(who.size()) + 3 < keep) continue;
            keep = std::max(keep, static_cast<std::size_t>(who.size()));
            longest.push_back(std::move(who));
        }
    int width = 0;
    for (const QString& who : longest)
        if (static_cast<std::size_t>(who.size()) + 3 >= keep)
            width = std::max(width, fm.horizontalAdvance(who));
    return width;
}

bool TLaufeingabeDlg::SetWatchCount(int n) {
    n = std::clamp(n, 1, 3);
    if (n == model_->WatchCount()) return true;
    table_->CommitEditor();
    // Fewer watches would change times already derived from more of them.
    if (n < model_->WatchCount() && model_->AnyEntries()) {
        ShowBox(this, TBoxKind::Warning,
                QStringLiteral("Weniger Zeitnehmer je Bahn erst, wenn keine Zeiten mehr "
                               "eingegeben sind (Abbrechen verwirft sie)."),
                QMessageBox::Ok, windowTitle());
        return false;
    }
    const QModelIndex at = table_->currentIndex();
    const bool penalty = at.isValid() && model_->Kind(at.column()) == TLaneColumn::Abzug;
    model_->SetWatchCount(n);
    SizeColumns();
    {
        QSignalBlocker block(watches_);
        watches_->setValue(n);
    }
    if (!fileName_.isEmpty()) QSettings().setValue(SettingsKey(), n);
    const int row = at.isValid() ? at.row() : 0;
    if (row < model_->rowCount())
        table_->setCurrentIndex(model_->index(row, penalty ? model_->Column(TLaneColumn::Abzug)
                                                           : model_->FirstTimeColumn()));
    UpdateHeatItem();
    return true;
}

bool TLaufeingabeDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == table_->viewport() && event->type() == QEvent::Resize) {
        FitNameColumn();
        ShowLaneFromTheLeft(table_->currentIndex());
        return false;
    }
    if (event->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(event);
        if ((k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) &&
            !(k->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            if (watched == spin_) {
                spin_->interpretText();
                if (spin_->value() != heat_ && !GoToHeat(spin_->value())) return true;
            }
            FocusFirstLane(false);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TLaufeingabeDlg::ShowDiscipline() {
    const THeatRange range = HeatRange(c_, discipline_);
    firstHeat_ = range.first <= range.last ? range.first : 0;
    lastHeat_ = range.first <= range.last ? range.last : 0;
    progress_ = HeatProgress(c_, discipline_);
    for (const auto& [d, h] : visited_)
        if (d == discipline_) progress_[h] = model_->StandOf(HeatRows(c_, h, d), d);
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
    visited_.insert({discipline_, heat_});
    model_->Load(HeatRows(c_, heat_, discipline_), discipline_);
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
            table_->setCurrentIndex(model_->index(r, model_->FirstTimeColumn()));
            break;
        }
}

void TLaufeingabeDlg::FocusFirstLane(bool penalty) {
    table_->setFocus(Qt::OtherFocusReason);
    const int column = penalty ? model_->Column(TLaneColumn::Abzug) : model_->FirstTimeColumn();
    for (int r = 0; r < model_->rowCount(); ++r)
        if (model_->Editable(r)) {
            const QModelIndex at = model_->index(r, column);
            table_->setCurrentIndex(at);
            table_->scrollTo(at);
            ShowLaneFromTheLeft(at);
            return;
        }
}

void TLaufeingabeDlg::ShowLaneFromTheLeft(const QModelIndex& at) {
    if (!at.isValid()) return;
    // Bahn and Teilnehmer stay in view as long as the field being typed into fits
    // beside them.
    const QHeaderView* header = table_->horizontalHeader();
    const int right = header->sectionPosition(at.column()) + header->sectionSize(at.column());
    if (right <= table_->viewport()->width())
        table_->horizontalScrollBar()->setValue(0);
    else
        table_->scrollTo(at);
}

void TLaufeingabeDlg::FitNameColumn() {
    // The participant column is as wide as the longest name of the competition, and
    // takes what room the other columns leave.
    const int column = model_->Column(TLaneColumn::Name);
    int others = 0;
    for (int i = 0; i < model_->columnCount(); ++i)
        if (i != column) others += table_->columnWidth(i);
    table_->setColumnWidth(column, std::max(nameWidth_, table_->viewport()->width() - others));
}

bool TLaufeingabeDlg::CheckHeat() {
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
    progress_[heat_] = model_->Stand();
    UpdateHeatItem();
    return true;
}

bool TLaufeingabeDlg::GoToHeat(int heat) {
    heat = std::clamp(heat, firstHeat_, lastHeat_);
    if (heat != heat_ && CheckHeat()) {
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
    if (!CheckHeat()) return false;
    discipline_ = discipline;
    ShowDiscipline();
    return true;
}

void TLaufeingabeDlg::NextLaneOrHeat(int row, int column) {
    const bool penalty = model_->Kind(column) == TLaneColumn::Abzug;
    const int col = penalty ? column : model_->FirstTimeColumn();
    for (int r = row + 1; r < model_->rowCount(); ++r)
        if (model_->Editable(r)) {
            const QModelIndex at = model_->index(r, col);
            table_->setCurrentIndex(at);
            table_->scrollTo(at);
            return;
        }
    if (!CheckHeat()) return;
    for (auto it = progress_.upper_bound(heat_); it != progress_.end() && it->first <= lastHeat_;
         ++it)
        if (it->second.participants > 0) {
            ShowHeat(it->first);
            FocusFirstLane(penalty);
            return;
        }
    ok_->setFocus(Qt::OtherFocusReason);
}

void TLaufeingabeDlg::accept() {
    if (!FormCheck(this)) return;
    if (!CheckHeat()) return;
    results_ = model_->Results();
    QDialog::accept();
}

void TLaufeingabeDlg::reject() {
    table_->CommitEditor();
    if (model_->AnyEntries() &&
        ShowBox(this, TBoxKind::Question, QStringLiteral("Eingegebene Zeiten verwerfen?"),
                QMessageBox::Yes | QMessageBox::No, windowTitle()) != QMessageBox::Yes)
        return;
    results_.clear();
    QDialog::reject();
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
    if (s.deviating > 0) state += QStringLiteral(", %1 abweichend").arg(s.deviating);
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

// ---- timing consoles ----------------------------------------------------------------------

void TLaufeingabeDlg::TakeTiming(const TZeitmessungAbgleich& m, const QString& fileName) {
    // A file with more watches than the dialog shows brings their columns along.
    int used = 1;
    for (const TLaufErgebnis& r : m.results)
        for (int w = 2; w >= 0; --w)
            if (r.watches[static_cast<std::size_t>(w)] > 0) {
                used = std::max(used, w + 1);
                break;
            }
    if (used > model_->WatchCount()) SetWatchCount(used);
    for (const TLaufErgebnis& r : m.results)
        model_->Fill(r);
    for (int h : m.heats)
        visited_.insert({discipline_, h});
    if (!m.heats.empty() && std::find(m.heats.begin(), m.heats.end(), heat_) == m.heats.end()) {
        ShowHeat(m.heats.front());
    } else {
        ShowHeat(heat_);
    }
    for (int h : m.heats)
        if (QListWidgetItem* item = ItemOf(h))
            item->setText(
                HeatItemText(h, model_->StandOf(HeatRows(c_, h, discipline_), discipline_)));
    FocusFirstLane(false);
    QString summary = QString::fromStdString(TimingSummary(m));
    summary.replace(QStringLiteral("übernommen"), QStringLiteral("eingelesen"));
    const QString name = QFileInfo(fileName).fileName();
    if (m.skipped.empty() && m.deviating.empty()) {
        SetMessage(QStringLiteral("%1: %2").arg(name, summary), false);
        return;
    }
    QString text = QStringLiteral("%1: %2").arg(name, summary);
    if (!m.deviating.empty()) text += QStringLiteral("\n\n") + Lines(m.deviating);
    if (!m.skipped.empty()) text += QStringLiteral("\n\nÜbersprungen:\n") + Lines(m.skipped);
    SetMessage(QStringLiteral("%1: %2").arg(name, summary), false);
    ShowBox(this, TBoxKind::Information, text, QMessageBox::Ok, windowTitle());
}

bool TLaufeingabeDlg::ReadTiming(const QString& fileName) {
    if (!CheckHeat()) return false;
    TZeitmessungDatei file;
    std::string error;
    if (!ReadTimingFile(LocalName(fileName), file, error)) {
        ShowBox(this, TBoxKind::Warning,
                QStringLiteral("Die Datei kann nicht als Zeitmessung gelesen werden.\n%1")
                    .arg(QString::fromLocal8Bit(error)),
                QMessageBox::Ok, windowTitle());
        return false;
    }
    TakeTiming(MatchTiming(c_, discipline_, file, model_->SpreadLimit()), fileName);
    return true;
}

void TLaufeingabeDlg::ChooseTimingFile() {
    TFileRequest request;
    request.caption = QStringLiteral("Zeitmessung einlesen");
    request.filter = QStringLiteral("Zeitmessung (*.csv *.CSV *.txt *.TXT);;Alle Dateien (*)");
    const QString name = AskFileName(this, request);
    if (!name.isEmpty()) ReadTiming(name);
}

void TLaufeingabeDlg::WatchFolder(const QString& folder) {
    if (!watcher_) {
        watcher_ = new QFileSystemWatcher(this);
        connect(watcher_, &QFileSystemWatcher::directoryChanged, this,
                [this](const QString&) { CheckFolder(); });
    }
    if (!folder_.isEmpty()) watcher_->removePath(folder_);
    folder_ = folder;
    // What is there already was there before; only new files are offered.
    known_ = QDir(folder_).entryList(kTimingPatterns, QDir::Files);
    watcher_->addPath(folder_);
    folderLabel_->setText(QStringLiteral("Überwacht: %1").arg(QDir::toNativeSeparators(folder_)));
    folderLabel_->setToolTip(folder_);
}

void TLaufeingabeDlg::CheckFolder() {
    // A box of an earlier file is still open; its answer comes first.
    if (folder_.isEmpty() || checkingFolder_) return;
    checkingFolder_ = true;
    const QStringList now = QDir(folder_).entryList(kTimingPatterns, QDir::Files, QDir::Name);
    for (const QString& name : now) {
        if (known_.contains(name)) continue;
        const QString path = QDir(folder_).filePath(name);
        TZeitmessungDatei file;
        std::string error;
        // A file still being written is read again when it changes.
        if (!ReadTimingFile(LocalName(path), file, error)) continue;
        known_ << name;
        const TZeitmessungAbgleich m = MatchTiming(c_, discipline_, file, model_->SpreadLimit());
        if (m.results.empty()) {
            SetMessage(QStringLiteral("%1: kein Lauf von Wettkampf %2").arg(name).arg(discipline_),
                       true);
            continue;
        }
        QStringList heats;
        for (int h : m.heats)
            heats << QString::number(h);
        const QString which =
            m.heats.size() == 1
                ? QStringLiteral("Lauf %1").arg(heats.front())
                : QStringLiteral("die Läufe %1").arg(heats.join(QStringLiteral(", ")));
        if (ShowBox(this, TBoxKind::Question,
                    QStringLiteral("Neue Zeitmessung „%1“ für %2 einlesen?").arg(name, which),
                    QMessageBox::Yes | QMessageBox::No, windowTitle()) != QMessageBox::Yes)
            continue;
        // The open heat cannot be left yet: the file is offered again with the next change.
        if (!CheckHeat()) {
            known_.removeAll(name);
            continue;
        }
        TakeTiming(m, path);
    }
    checkingFolder_ = false;
}

void TLaufeingabeDlg::ChooseFolder() {
    TFileRequest request;
    request.caption = QStringLiteral("Ordner überwachen – eine Datei des Ordners wählen");
    request.filter = QStringLiteral("Zeitmessung (*.csv *.CSV *.txt *.TXT);;Alle Dateien (*)");
    const QString name = AskFileName(this, request);
    if (!name.isEmpty()) WatchFolder(QFileInfo(name).absolutePath());
}

bool TLaufeingabeDlg::WriteStartList(const QString& fileName) {
    TStartliste list;
    std::string error;
    if (!vm::WriteStartList(LocalName(fileName), c_, discipline_, list, error)) {
        ShowBox(this, TBoxKind::Warning,
                QStringLiteral("Die Startliste wurde nicht geschrieben.\n%1")
                    .arg(QString::fromLocal8Bit(error)),
                QMessageBox::Ok, windowTitle());
        return false;
    }
    SetMessage(QStringLiteral("Startliste mit %1 in %2 geschrieben: %3")
                   .arg(list.entries == 1 ? QStringLiteral("1 Bahn")
                                          : QStringLiteral("%1 Bahnen").arg(list.entries),
                        list.heats == 1 ? QStringLiteral("1 Lauf")
                                        : QStringLiteral("%1 Läufen").arg(list.heats),
                        QDir::toNativeSeparators(fileName)),
               false);
    return true;
}

void TLaufeingabeDlg::ChooseStartList() {
    TFileRequest request;
    request.save = true;
    request.caption = QStringLiteral("Startliste schreiben");
    request.filter = QStringLiteral("Startlisten (*.csv)");
    request.defaultSuffix = QStringLiteral("csv");
    QString name = AskFileName(this, request);
    if (name.isEmpty()) return;
    if (QFileInfo(name).suffix().isEmpty()) name += QStringLiteral(".csv");
    WriteStartList(name);
}

// ---- the command ------------------------------------------------------------------------

void CmdLaufeingabe(TMainForm& form) {
    const TVmFile* doc = form.Document();
    if (!doc) return;
    std::vector<TLaufErgebnis> results;
    const QString fileName =
        doc->IsUnnamed() ? QString() : QString::fromLocal8Bit(doc->FileName().c_str());
    if (!TLaufeingabeDlg::Open(&form, doc->Competition(), results, fileName) || results.empty())
        return;
    // The watches behind each official time go into the change journal beside it.
    const bool hundredths = WithHundredths(doc->Competition());
    for (const TLaufErgebnis& r : results) {
        if (!r.ageClass || !r.participant || (!r.watches[1] && !r.watches[2])) continue;
        std::string watches;
        for (TZeit w : r.watches) {
            if (!watches.empty()) watches += " / ";
            watches += w ? OemToUtf8(TimeToText(w, hundredths)) : "–";
        }
        const TTeilnehmer& p = *r.participant;
        const std::string who = IsSingleCompetition(doc->Competition())
                                    ? OemToUtf8(p.Name()) + ", " + OemToUtf8(p.Vorname())
                                    : OemToUtf8(p.Mannschaft());
        form.NoteForJournal(OemToUtf8(r.ageClass->Name()) + " | " + who + " | Uhren" +
                            std::to_string(r.discipline) + " " + watches + " → Zeit" +
                            std::to_string(r.discipline) + " " +
                            OemToUtf8(TimeToText(r.time, hundredths)));
    }
    form.RunCommand(QStringLiteral("Zeiten nach Läufen eingeben"),
                    [&](TWettkampf&) { ApplyHeatResults(results); });
}

} // namespace vm::ui
