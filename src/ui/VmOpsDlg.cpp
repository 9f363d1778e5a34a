#include "ui/VmOpsDlg.h"

#include "ui/BvValEdit.h"
#include "ui/VmTimeEdit.h"
#include "ui/VmUiSeam.h"

#include <QApplication>
#include <QCheckBox>
#include <QFocusEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

namespace vm::ui {

namespace {

QCheckBox* CheckBox(QWidget* parent, const QString& text, int number) {
    auto* b = new QCheckBox(text, parent);
    b->setObjectName(QStringLiteral("CheckBox%1").arg(number));
    return b;
}

} // namespace

// ---- qualification ------------------------------------------------------------------

TQualifikationDlg::TQualifikationDlg(QWidget* parent, const TQualiSettings& s) : TDataDlg(parent) {
    setWindowTitle(QStringLiteral("Qualifikation"));
    SetHint(this, QStringLiteral("Anzahl der zugelassenen Teilnehmer pro Altersklasse festlegen"));
    auto* main = new QVBoxLayout(this);

    auto* quotaBox = new QGroupBox(QStringLiteral("Teilnehmer pro Altersklasse:"), this);
    quota_ = new TSpinEdit(1, 100, quotaBox);
    quota_->setObjectName(QStringLiteral("SpinEdit1"));
    quota_->setValue(s.quota);
    auto* quotaLayout = new QHBoxLayout(quotaBox);
    quotaLayout->addWidget(quota_);
    quotaLayout->addStretch();
    main->addWidget(quotaBox);

    mode_ = new TRadioGroup(QStringLiteral("Optionen:"),
                            {QStringLiteral("&beide folgenden Aktionen"),
                             QStringLiteral("Eigenschaft 'startberechtigt' setzen"),
                             QStringLiteral("nicht startberechtigte Teilnehmer löschen")},
                            1, this);
    mode_->setObjectName(QStringLiteral("RadioGroup1"));
    mode_->SetItemIndex(s.mode, qmBeide);
    main->addWidget(mode_);
    AddOkCancel(*this, *main);
    quota_->setFocus();
}

TQualiSettings TQualifikationDlg::Settings() const {
    TQualiSettings s;
    s.quota = quota_->value();
    s.mode = mode_->ItemIndex();
    return s;
}

bool TQualifikationDlg::Open(QWidget* parent, TQualiSettings& s) {
    TQualifikationDlg dlg(parent, s);
    if (ExecDialog(dlg) != QDialog::Accepted) return false;
    s = dlg.Settings();
    return true;
}

// ---- heats and lanes ----------------------------------------------------------------

TLaufbesetzungDlg::TLaufbesetzungDlg(QWidget* parent, const THeatSettings& s) : TDataDlg(parent) {
    setWindowTitle(QStringLiteral("Automatische Laufbesetzung"));
    SetHint(this, QStringLiteral("Einstellungen für die automatische Laufbesetzung"));
    auto* main = new QVBoxLayout(this);

    const QStringList texts = {QStringLiteral("je zwei Altersklassen ggf. &mischen (m/w)"),
                               QStringLiteral("Bahnen in den Wettkämpfen &tauschen"),
                               QStringLiteral("&zufällige Laufbesetzung (alphabetisch)"),
                               QStringLiteral("&umgekehrte Reihenfolge der Läufe"),
                               QStringLiteral("Läufe für die Wettkämpfe &fortlaufend nummerieren")};
    for (std::size_t k = 0; k < options_.size(); ++k) {
        const int bit = 1 << k;
        options_[k] = CheckBox(this, texts[static_cast<int>(k)], static_cast<int>(k) + 1);
        options_[k]->setChecked((s.options & bit) != 0);
        main->addWidget(options_[k]);
    }
    // Mixing age classes and swapping lanes were never built; the boxes only show
    // that they exist.
    for (QCheckBox* never : {options_[0], options_[1]}) {
        never->setChecked(false);
        never->setEnabled(false);
    }

    auto* startBox = new QGroupBox(QStringLiteral("beginnen mit"), this);
    auto* form = new QFormLayout(startBox);
    heat_ = new TSpinEdit(0, 1000, startBox);
    heat_->setObjectName(QStringLiteral("LaufEdit"));
    heat_->setValue(s.startHeat);
    position_ = new TSpinEdit(0, 1000, startBox);
    position_->setObjectName(QStringLiteral("BahnEdit"));
    position_->setValue(s.startPosition);
    form->addRow(QStringLiteral("&Lauf"), heat_);
    form->addRow(QStringLiteral("&Bahn"), position_);
    main->addWidget(startBox);
    AddOkCancel(*this, *main);
    options_[2]->setFocus();
}

THeatSettings TLaufbesetzungDlg::Settings() const {
    THeatSettings s;
    s.startHeat = heat_->value();
    s.startPosition = position_->value();
    s.options = 0;
    for (std::size_t k = 0; k < options_.size(); ++k)
        if (options_[k]->isChecked()) s.options |= 1 << k;
    return s;
}

bool TLaufbesetzungDlg::Open(QWidget* parent, THeatSettings& s) {
    TLaufbesetzungDlg dlg(parent, s);
    if (ExecDialog(dlg) != QDialog::Accepted) return false;
    s = dlg.Settings();
    return true;
}

// ---- HLW schedule -------------------------------------------------------------------

THLWLaufbesetzungDlg::THLWLaufbesetzungDlg(QWidget* parent, const THLWSettings& s)
    : TDataDlg(parent) {
    setWindowTitle(QStringLiteral("HLW Laufeinteilung"));
    SetHint(this, QStringLiteral("Einstellungen für die automatische Laufeinteilung der HLW"));
    auto* main = new QVBoxLayout(this);

    auto* box = new QGroupBox(QStringLiteral("Einstellungen"), this);
    auto* form = new QFormLayout(box);
    start_ = new TClockEdit(box);
    start_->setObjectName(QStringLiteral("HLWZeitEdit"));
    start_->SetClock(s.startTime);
    start_->setMaximumWidth(start_->fontMetrics().horizontalAdvance(QStringLiteral("00:00")) + 24);
    start_->installEventFilter(this);
    // The dialog checks the start time on leaving itself, unfilled places included.
    start_->ValidateOnExit = false;
    start_->SetRangeErrorText(
        QStringLiteral("Die eingegebene Anfangszeit ist keine gültige Uhrzeit (00:00 bis 23:59)."));
    station_ = new TSpinEdit(1, 99, box);
    station_->setObjectName(QStringLiteral("SpinEdit1"));
    station_->setValue(s.firstStation);
    duration_ = new TBvNumEdit(0, 30, box);
    duration_->setObjectName(QStringLiteral("BvNumEdit1"));
    duration_->SetValue(s.duration);
    duration_->setMaxLength(2);
    duration_->setMaximumWidth(start_->maximumWidth());
    measures_ = new TSpinEdit(1, 9, box);
    measures_->setObjectName(QStringLiteral("SpinEdit2"));
    measures_->setValue(s.measures);
    form->addRow(QStringLiteral("Anfangs&zeit (1. Durchgang):"), start_);
    form->addRow(QStringLiteral("beginne mit HLW-&Station:"), station_);
    form->addRow(QStringLiteral("&Dauer (in Min.) pro Durchgang:"), duration_);
    form->addRow(QStringLiteral("Anzahl Maßnahmen pro &Mannschaft:"), measures_);
    block_ = CheckBox(box, QStringLiteral("Teilnehmer einer Gliederung im &Block"), 1);
    block_->setChecked(s.block);
    form->addRow(block_);
    main->addWidget(box);
    AddOkCancel(*this, *main);
    start_->setFocus();
}

THLWSettings THLWLaufbesetzungDlg::Settings() const {
    THLWSettings s;
    s.startTime = start_->Clock();
    s.firstStation = station_->value();
    s.duration = duration_->Value();
    s.measures = measures_->value();
    s.block = block_->isChecked();
    return s;
}

bool THLWLaufbesetzungDlg::CheckStartTime() {
    if (HLWTimeFromText(start_->displayText().toStdString()) >= 0) return true;
    start_->ShowRangeError();
    start_->setFocus(Qt::OtherFocusReason);
    start_->selectAll();
    return false;
}

bool THLWLaufbesetzungDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == start_ && event->type() == QEvent::FocusOut) {
        // Like the value edits: a time that is none cannot be left, except towards
        // Cancel or another window.
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        const bool away = reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason ||
                          IsCancelButton(QApplication::focusWidget());
        if (!away && !startCheckPending_) {
            startCheckPending_ = true;
            QTimer::singleShot(0, this, [this] {
                startCheckPending_ = false;
                if (isVisible() && !start_->hasFocus()) CheckStartTime();
            });
        }
    }
    return TDataDlg::eventFilter(watched, event);
}

void THLWLaufbesetzungDlg::accept() {
    if (!CheckDataForm(this) || !CheckStartTime()) return;
    QDialog::accept();
}

bool THLWLaufbesetzungDlg::Open(QWidget* parent, THLWSettings& s) {
    THLWLaufbesetzungDlg dlg(parent, s);
    if (ExecDialog(dlg) != QDialog::Accepted) return false;
    s = dlg.Settings();
    return true;
}

// ---- reset ----------------------------------------------------------------------------

TZuruecksetzenDlg::TZuruecksetzenDlg(QWidget* parent) : TDataDlg(parent) {
    setWindowTitle(QStringLiteral("Zurücksetzen"));
    SetHint(this, QStringLiteral("Eingaben aller Teilnehmer zurücksetzen"));
    auto* main = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;

    group_ = new QGroupBox(QStringLiteral("Folgende Werte zurücksetzen"), this);
    auto* grid = new QGridLayout(group_);
    const QStringList kinds = {QStringLiteral("Zeit"), QStringLiteral("Abzug"),
                               QStringLiteral("Lauf"), QStringLiteral("Bahn")};
    // Item order runs down the columns: the times of the five disciplines first.
    for (int item = 1; item <= kItems; ++item) {
        const bool hlw = item == rsHLW;
        const int kind = (item - 1) / 5, discipline = (item - 1) % 5 + 1;
        auto* b = CheckBox(group_,
                           hlw ? QStringLiteral("Herz-Lungen-Wiederbelebung")
                               : QStringLiteral("%1 %2").arg(kinds[kind]).arg(discipline),
                           item);
        const auto k = static_cast<std::size_t>(item - 1);
        boxes_[k] = b;
        if (hlw)
            grid->addWidget(b, 5, 0, 1, 4);
        else
            grid->addWidget(b, discipline - 1, kind);
        connect(b, &QCheckBox::clicked, this, [this, k](bool on) {
            if (option_->ItemIndex() == 3) individual_[k] = on;
        });
    }
    row->addWidget(group_, 1);

    option_ = new TRadioGroup(QStringLiteral("Optionen"),
                              {QStringLiteral("&Zeiten, Strafpunkte und HLW"),
                               QStringLiteral("&Laufbesetzung (Lauf und Bahn)"),
                               QStringLiteral("&Alles einschließlich  HLW"),
                               QStringLiteral("&Individuell")},
                              1, this);
    option_->setObjectName(QStringLiteral("RadioGroup1"));
    row->addWidget(option_);
    main->addLayout(row);
    AddOkCancel(*this, *main);

    connect(option_, &TRadioGroup::indexChanged, this, &TZuruecksetzenDlg::ShowOption);
    option_->SetItemIndex(0);
    ShowOption(0);
    option_->Button(0)->setFocus();
}

void TZuruecksetzenDlg::ShowOption(int option) {
    const bool individual = option == 3;
    const TResetSet preset = ResetSetForOption(option);
    for (std::size_t k = 0; k < boxes_.size(); ++k)
        boxes_[k]->setChecked(individual ? individual_[k]
                                         : HasResetItem(preset, static_cast<int>(k) + 1));
    // A disabled group greys its caption as well.
    group_->setEnabled(individual);
}

TResetSet TZuruecksetzenDlg::Items() const {
    TResetSet s = 0;
    for (std::size_t k = 0; k < boxes_.size(); ++k)
        if (boxes_[k]->isChecked()) s |= ResetItem(static_cast<int>(k) + 1);
    return s;
}

bool TZuruecksetzenDlg::Open(QWidget* parent, TResetSet& items) {
    TZuruecksetzenDlg dlg(parent);
    if (ExecDialog(dlg) != QDialog::Accepted) return false;
    items = dlg.Items();
    return true;
}

// ---- strike ---------------------------------------------------------------------------

TStreichenDlg::TStreichenDlg(QWidget* parent) : TDataDlg(parent) {
    setWindowTitle(QStringLiteral("Teilnehmer streichen"));
    SetHint(this, QStringLiteral(
                      "Streichen von Teilnehmern ohne Leistungsangaben (d.h. nicht anwesend)"));
    auto* main = new QVBoxLayout(this);
    mode_ = new TRadioGroup(QStringLiteral("nicht anwesende Teilnehmer ..."),
                            {QStringLiteral("\"n.a.\" für alle Disziplinen setzen"),
                             QStringLiteral("löschen"),
                             QStringLiteral("nur löschen, wenn \"n.a.\" gesetzt")},
                            1, this);
    mode_->setObjectName(QStringLiteral("RadioGroup1"));
    mode_->SetItemIndex(skMarkAbsent);
    main->addWidget(mode_);
    AddOkCancel(*this, *main);
    mode_->Button(skMarkAbsent)->setFocus();
}

int TStreichenDlg::Mode() const {
    return mode_->ItemIndex();
}

bool TStreichenDlg::Open(QWidget* parent, int& mode) {
    TStreichenDlg dlg(parent);
    if (ExecDialog(dlg) != QDialog::Accepted) return false;
    mode = dlg.Mode();
    return true;
}

} // namespace vm::ui
