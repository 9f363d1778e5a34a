#include "ui/VmGliedDlg.h"

#include "model/VmGlied.h"
#include "print/VmStat.h"
#include "ui/VmCanvas.h"
#include "ui/VmDlgKit.h"
#include "ui/VmUiSeam.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabBar>
#include <QVBoxLayout>

namespace vm::ui {

TGliederungenDlg::TGliederungenDlg(QWidget* parent, std::unique_ptr<TWettkampf> copy)
    : QDialog(parent), copy_(std::move(copy)) {
    setObjectName(QStringLiteral("GliederungenDlg"));
    setWindowTitle(QStringLiteral("Teilnehmende Gliederungen"));
    SetHint(this, QStringLiteral("Namen teilnehmender Gliederungen eingeben"));
    auto* main = new QVBoxLayout(this);

    tabs_ = new QTabBar(this);
    tabs_->setObjectName(QStringLiteral("TabSet"));
    for (const char* t : {"Medaillenspiegel", "Gesamtpunkte", "alphabetisch", "Kranz-Pokalwertung"})
        tabs_->addTab(QString::fromUtf8(t));
    tabs_->setFocusPolicy(Qt::StrongFocus);
    main->addWidget(tabs_);

    const QFont mono = ListLineFont(font());
    header_ = new QLabel(this);
    header_->setObjectName(QStringLiteral("HeaderLabel"));
    header_->setFont(mono);
    header_->setTextFormat(Qt::PlainText);
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("GliederungListe"));
    list_->setFont(mono);
    list_->setUniformItemSizes(true);
    header_->setContentsMargins(list_->frameWidth() + 2, 0, 0, 0);
    main->addWidget(header_);
    main->addWidget(list_, 1);

    QDialogButtonBox* buttons = AddOkCancel(*this, *main);
    for (QAbstractButton* b : buttons->buttons())
        if (auto* p = qobject_cast<QPushButton*>(b)) p->setDefault(false);
    edit_ = buttons->addButton(QStringLiteral("Ändern..."), QDialogButtonBox::ActionRole);
    edit_->setObjectName(QStringLiteral("AendernBtn"));
    SetHint(edit_, QStringLiteral("Name der ausgewählten Gliederung ändern"));
    edit_->setDefault(true);

    connect(tabs_, &QTabBar::currentChanged, this, &TGliederungenDlg::SelectTab);
    connect(edit_, &QPushButton::clicked, this, &TGliederungenDlg::Edit);
    connect(list_, &QListWidget::itemDoubleClicked, this, [this] { Edit(); });

    const int chars = static_cast<int>(StatLine(copy_->Gliederungen, 1, 0).size()) + 4;
    resize(QFontMetrics(mono).horizontalAdvance(QString(chars, QLatin1Char('0'))) + 40, 460);
    SelectTab(0);
    list_->setFocus();
}

TGliederungenDlg::~TGliederungenDlg() = default;

void TGliederungenDlg::SelectTab(int index) {
    index = std::clamp(index, 0, 3);
    if (tabs_->currentIndex() != index) {
        const QSignalBlocker block(tabs_);
        tabs_->setCurrentIndex(index);
    }
    mode_ = TabModes[index];
    ComputeStatistics(*copy_, mode_);
    Fill(0);
}

void TGliederungenDlg::Fill(int select) {
    const TGliederungStatList& rows = copy_->Gliederungen;
    header_->setText(FromOem(StatLine(rows, mode_, 0)));
    list_->clear();
    for (int r = 1; r <= rows.Count(); ++r)
        list_->addItem(FromOem(StatLine(rows, mode_, r)));
    if (list_->count() > 0) list_->setCurrentRow(std::clamp(select, 0, list_->count() - 1));
    edit_->setEnabled(list_->count() > 0);
}

void TGliederungenDlg::Edit() {
    const int row = list_->currentRow();
    TGliederungStatList& rows = copy_->Gliederungen;
    if (row < 0 || row >= rows.Count()) return;
    TGliederungStat* g = rows.At(row);
    TGliederungEingabeDlg box(this, FromOem(g->Name.View()));
    if (ExecDialog(box) != QDialog::Accepted) return;
    g->Name.Set(ToOem(box.Name(), static_cast<int>(g->Name.Capacity)));
    Fill(row);
}

// ---- input box -------------------------------------------------------------------------

TGliederungEingabeDlg::TGliederungEingabeDlg(QWidget* parent, const QString& name)
    : QDialog(parent) {
    setObjectName(QStringLiteral("GliederungEingabe"));
    setWindowTitle(QStringLiteral("Gliederung eingeben"));
    auto* main = new QVBoxLayout(this);
    auto* label = new QLabel(QStringLiteral("Gliederung:"), this);
    edit_ = new QLineEdit(name, this);
    edit_->setObjectName(QStringLiteral("NameEdit"));
    edit_->setMaxLength(30);
    KeepStorableText(edit_);
    edit_->setMinimumWidth(edit_->fontMetrics().horizontalAdvance(QString(32, QLatin1Char('M'))));
    edit_->selectAll();
    label->setBuddy(edit_);
    main->addWidget(label);
    main->addWidget(edit_);
    AddOkCancel(*this, *main);
}

QString TGliederungEingabeDlg::Name() const {
    return edit_->text();
}

} // namespace vm::ui
