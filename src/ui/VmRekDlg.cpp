#include "ui/VmRekDlg.h"

#include "file/VmErg.h"
#include "model/VmRek.h"
#include "ui/BvValEdit.h"
#include "ui/VmDlgKit.h"
#include "ui/VmTimeEdit.h"
#include "ui/VmUiSeam.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

namespace vm::ui {

// ---- records of the competition -------------------------------------------------------

TRekordeDlg::TRekordeDlg(QWidget* parent, const TWettkampf& c) : QDialog(parent) {
    {
        TBusyGuard busy;
        ProgressStart("Bestleistungen aktualisieren");
        copy_ = CopyCompetition(c);
        RefreshBests(*copy_);
        ProgressStart("");
    }
    setWindowTitle(QStringLiteral("Rekordverwaltung"));
    SetHint(this, QStringLiteral("Rekorde verwalten"));
    auto* main = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("RekordList"));
    auto* label = new QLabel(QStringLiteral("&Rekorde der Altersklassen:"), this);
    label->setBuddy(list_);
    left->addWidget(label);
    left->addWidget(list_);
    row->addLayout(left, 1);

    auto* buttons = new QVBoxLayout;
    auto* edit = new QPushButton(QStringLiteral("Än&dern..."), this);
    auto* clear = new QPushButton(QStringLiteral("&Löschen"), this);
    auto* takeOver = new QPushButton(QStringLiteral("Übernehmen..."), this);
    for (QPushButton* b : {edit, clear, takeOver}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    buttons->addStretch();
    row->addLayout(buttons);
    main->addLayout(row);
    AddOkCancel(*this, *main);

    connect(edit, &QPushButton::clicked, this, &TRekordeDlg::Edit);
    connect(clear, &QPushButton::clicked, this, &TRekordeDlg::Clear);
    connect(takeOver, &QPushButton::clicked, this, &TRekordeDlg::TakeOver);
    connect(list_, &QListWidget::itemDoubleClicked, this, &TRekordeDlg::Edit);
    // Enter edits the chosen age class, as the default button shows.
    SetDefaultButton(*this, edit);
    list_->setMinimumSize(fontMetrics().averageCharWidth() * 36, fontMetrics().height() * 18);
    Fill(0);
}

TRekordeDlg::~TRekordeDlg() = default;

TAltersklasse* TRekordeDlg::Selected() const {
    return SelectedAgeClass(*list_, *copy_);
}

void TRekordeDlg::Fill(int select) {
    FillAgeClassList(*list_, *copy_, select);
}

void TRekordeDlg::Edit() {
    if (TAltersklasse* ac = Selected())
        TRekordDatenDlg::Open(this, ac->Data, WithHundredths(*copy_));
}

void TRekordeDlg::Clear() {
    TAltersklasse* ac = Selected();
    if (!ac) return;
    const QString q = QStringLiteral("Wollen Sie die gespeicherten Rekorddaten der Altersklasse ") +
                      FromOem(ac->Data.Bezeichnung.View()) + QStringLiteral(" wirklich löschen?");
    if (ShowBox(this, TBoxKind::Warning, q, QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    for (TRekordEintrag& r : ac->Data.Rekorde) {
        r.VorjahrZeit = 0;
        r.VorjahrAbzug = 0;
    }
    ac->Data.RekordGesamtpunkte = 0;
}

void TRekordeDlg::TakeOver() {
    TFileRequest req;
    req.caption = QStringLiteral("Rekorde übernehmen");
    req.filter = QStringLiteral("Ergebnisdateien (*.ERG *.erg);;Alle Dateien (*)");
    req.defaultSuffix = QStringLiteral("ERG");
    req.mustExist = true;
    const QString name = AskFileName(this, req);
    if (name.isEmpty()) return;
    TBusyGuard busy;
    // The loader says why when the file cannot be read.
    std::unique_ptr<TWettkampf> other = Load(name.toStdString());
    if (!other) return;
    ProgressStart("Rekorde übernehmen..."_oem);
    TakeOverRecords(*copy_, *other);
    ProgressStart("");
}

std::unique_ptr<TWettkampf> TRekordeDlg::Open(QWidget* parent, const TWettkampf& c) {
    TRekordeDlg dlg(parent, c);
    if (ExecDialog(dlg) != QDialog::Accepted) return nullptr;
    return dlg.TakeCopy();
}

// ---- previous years' records of one age class -----------------------------------------

TRekordDatenDlg::TRekordDatenDlg(QWidget* parent, const TAltersklasseData& data,
                                 bool withHundredths)
    : TDataDlg(parent) {
    setWindowTitle(QStringLiteral("Vorjahresrekorde eingeben oder ändern"));
    auto* main = new QVBoxLayout(this);
    auto* group = new QGroupBox(
        QStringLiteral("Bestleistungen der Ak ") + FromOem(data.Bezeichnung.View()), this);
    auto* grid = new QGridLayout(group);
    grid->setHorizontalSpacing(fontMetrics().averageCharWidth() * 2);
    grid->addWidget(new QLabel(QStringLiteral("Zeit"), group), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Abzug"), group), 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("aktuelles Jahr:"), group), 0, 4, 1, 2);
    grid->setColumnMinimumWidth(3, fontMetrics().averageCharWidth() * 3);

    const int count = data.DisciplineCount();
    for (int i = 0; i < 5; ++i) {
        const auto k = static_cast<std::size_t>(i);
        const TRekordEintrag& r = data.Rekorde[k];
        auto* time = new TTimeEdit(withHundredths, group);
        time->setObjectName(QStringLiteral("Zeit%1").arg(i + 1));
        time->SetTime(r.VorjahrZeit);
        time->setModified(false);
        time->setMaximumWidth(fontMetrics().averageCharWidth() * 12);
        auto* penalty = new TBvNumEdit(-3, 9999, group);
        penalty->setObjectName(QStringLiteral("Abzug%1").arg(i + 1));
        penalty->setMaxLength(4);
        penalty->SetValue(r.VorjahrAbzug);
        penalty->setMaximumWidth(fontMetrics().averageCharWidth() * 8);
        auto* label = new QLabel(QStringLiteral("Wettkampf &%1:").arg(i + 1), group);
        label->setBuddy(time);
        auto* bestTime =
            new QLabel(QString::fromStdString(TimeToText(r.BestZeit, withHundredths)), group);
        bestTime->setObjectName(QStringLiteral("BestZeit%1").arg(i + 1));
        auto* bestPenalty = new QLabel(FromOem(PenaltyToText(r.BestAbzug)), group);
        bestPenalty->setObjectName(QStringLiteral("BestAbzug%1").arg(i + 1));
        // Which discipline a row means, as far as the age class has one.
        const QString discipline = FromOem(data.Disziplinen[k].Bezeichnung.View());
        for (QWidget* w :
             std::initializer_list<QWidget*>{label, time, penalty, bestTime, bestPenalty}) {
            w->setToolTip(discipline);
            w->setEnabled(i < count);
        }
        grid->addWidget(label, i + 1, 0);
        grid->addWidget(time, i + 1, 1);
        grid->addWidget(penalty, i + 1, 2);
        grid->addWidget(bestTime, i + 1, 4);
        grid->addWidget(bestPenalty, i + 1, 5);
        times_[k] = time;
        penalties_[k] = penalty;
    }
    total_ = new TBvFloatEdit(-300.0, 9999.0, 8, 2, group);
    total_->setObjectName(QStringLiteral("Gesamtpunkte"));
    total_->setMaxLength(8);
    total_->setMaximumWidth(fontMetrics().averageCharWidth() * 12);
    total_->SetValue(data.RekordGesamtpunkte / 100.0);
    auto* totalLabel = new QLabel(QStringLiteral("&Gesamtpunkte"), group);
    totalLabel->setBuddy(total_);
    auto* bestTotal = new QLabel(FromOem(PointsOrStatusToText(data.BestGesamtpunkte, 2)), group);
    bestTotal->setObjectName(QStringLiteral("BestGesamtpunkte"));
    grid->addWidget(totalLabel, 6, 0);
    grid->addWidget(total_, 6, 1, 1, 2);
    grid->addWidget(bestTotal, 6, 4, 1, 2);
    grid->setColumnStretch(6, 1);
    main->addWidget(group);
    AddOkCancel(*this, *main);
}

void TRekordDatenDlg::Store(TAltersklasseData& data) const {
    for (std::size_t k = 0; k < 5; ++k) {
        if (!times_[k]->isEnabled()) continue;
        TRekordEintrag& r = data.Rekorde[k];
        // A time the user did not touch keeps its hundredths even where they are not shown.
        if (times_[k]->isModified()) r.VorjahrZeit = times_[k]->Time();
        r.VorjahrAbzug = static_cast<std::int16_t>(penalties_[k]->Value());
    }
    data.RekordGesamtpunkte = static_cast<std::int32_t>(std::lround(total_->Value() * 100.0));
}

bool TRekordDatenDlg::Open(QWidget* parent, TAltersklasseData& data, bool withHundredths) {
    TRekordDatenDlg dlg(parent, data, withHundredths);
    if (ExecDialog(dlg) != QDialog::Accepted) return false;
    dlg.Store(data);
    return true;
}

} // namespace vm::ui
