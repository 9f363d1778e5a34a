#include "ui/VmWkDlg.h"

#include "ui/VmUiSeam.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QVBoxLayout>

namespace vm::ui {

namespace {

QLineEdit* TextEdit(QWidget* parent, const QString& name, int maxLen) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setMaxLength(maxLen);
    KeepStorableText(e);
    return e;
}

} // namespace

// ---- competition data -----------------------------------------------------------------

TWettkampfDatenDlg::TWettkampfDatenDlg(QWidget* parent, const TWettkampf& c) : TDataDlg(parent) {
    setWindowTitle(QStringLiteral("Wettkampfdaten"));
    SetHint(this, QStringLiteral("Allgemeine Wettkampfeinstellungen festlegen"));
    auto* main = new QVBoxLayout(this);

    auto* titleBox = new QGroupBox(QStringLiteral("&Veranstaltung:"), this);
    title_ = TextEdit(titleBox, QStringLiteral("Edit1"), 80);
    title_->setMinimumWidth(fontMetrics().averageCharWidth() * 60);
    (new QVBoxLayout(titleBox))->addWidget(title_);
    main->addWidget(titleBox);

    auto* infoBox = new QGroupBox(QStringLiteral("Veranstaltungsinformationen:"), this);
    auto* form = new QFormLayout(infoBox);
    organiser_ = TextEdit(infoBox, QStringLiteral("Edit2"), 80);
    host_ = TextEdit(infoBox, QStringLiteral("Edit3"), 80);
    date_ = TextEdit(infoBox, QStringLiteral("Edit4"), 80);
    venue_ = TextEdit(infoBox, QStringLiteral("Edit5"), 80);
    form->addRow(QStringLiteral("Veran&stalter:"), organiser_);
    form->addRow(QStringLiteral("Aus&richter:"), host_);
    form->addRow(QStringLiteral("&Datum:"), date_);
    form->addRow(QStringLiteral("Veranstaltungsstätte:"), venue_);
    main->addWidget(infoBox);

    auto* row = new QHBoxLayout;
    art_ = new TRadioGroup(
        QStringLiteral("Art der Veranstaltung:"),
        {QStringLiteral("&Einzelwettbewerbe"), QStringLiteral("&Mannschaftswettbewerbe")}, 1, this);
    art_->setObjectName(QStringLiteral("RadioGroup1"));
    pool_ = new TRadioGroup(
        QStringLiteral("Beckenlänge:"),
        {QStringLiteral("&25 Meter Bahnen"), QStringLiteral("5&0 Meter Bahnen")}, 1, this);
    pool_->setObjectName(QStringLiteral("RadioGroup3"));
    row->addWidget(art_);
    row->addWidget(pool_);
    main->addLayout(row);

    QStringList laneItems, stationItems;
    for (int n = 3; n <= 10; ++n) {
        laneItems << QStringLiteral("&%1").arg(n);
        stationItems << QString::number(n);
    }
    lanes_ = new TRadioGroup(QStringLiteral("Anzahl der Startplätze:"), laneItems, 8, this);
    lanes_->setObjectName(QStringLiteral("RadioGroup2"));
    stations_ = new TRadioGroup(QStringLiteral("Anzahl der HLW-Stationen:"), stationItems, 8, this);
    stations_->setObjectName(QStringLiteral("RadioGroup4"));
    main->addWidget(lanes_);
    main->addWidget(stations_);

    noHundredths_ = new QCheckBox(QStringLiteral("Zeiten ohne Hundertstel eingeben"), this);
    noHundredths_->setObjectName(QStringLiteral("HundertstelCB"));
    main->addWidget(noHundredths_);
    AddOkCancel(*this, *main);

    const TWettkampfHeader& h = c.Header;
    title_->setText(FromOem(h.Veranstaltung.View()));
    organiser_->setText(FromOem(h.Veranstalter.View()));
    host_->setText(FromOem(h.Ausrichter.View()));
    date_->setText(FromOem(h.Datum.View()));
    venue_->setText(FromOem(h.Veranstaltungsstaette.View()));
    art_->SetItemIndex(h.Art, 0);
    lanes_->SetItemIndex(h.Startplaetze, 2);
    pool_->SetItemIndex(h.Beckenlaenge, 0);
    stations_->SetItemIndex(h.HLWStationen, 2);
    noHundredths_->setChecked(!WithHundredths(c));
}

void TWettkampfDatenDlg::Store(TWettkampfHeader& h) const {
    h.Veranstaltung.Set(ToOem(title_->text(), 80));
    h.Veranstalter.Set(ToOem(organiser_->text(), 80));
    h.Ausrichter.Set(ToOem(host_->text(), 80));
    h.Datum.Set(ToOem(date_->text(), 80));
    h.Veranstaltungsstaette.Set(ToOem(venue_->text(), 80));
    h.Art = static_cast<std::int16_t>(art_->ItemIndex());
    h.Startplaetze = static_cast<std::int16_t>(lanes_->ItemIndex());
    h.Beckenlaenge = static_cast<std::int16_t>(pool_->ItemIndex());
    h.HLWStationen = static_cast<std::int16_t>(stations_->ItemIndex());
    if (noHundredths_->isChecked())
        h.Optionen = static_cast<std::int16_t>(h.Optionen & ~1);
    else
        h.Optionen = static_cast<std::int16_t>(h.Optionen | 1);
}

bool TWettkampfDatenDlg::Open(QWidget* parent, const TWettkampf& c, TWettkampfHeader& header) {
    TWettkampfDatenDlg dlg(parent, c);
    if (ExecDialog(dlg) != QDialog::Accepted) return false;
    dlg.Store(header);
    return true;
}

// ---- new championship -----------------------------------------------------------------

TFileNewDlg::TFileNewDlg(QWidget* parent, int year) : TDataDlg(parent) {
    setWindowTitle(QStringLiteral("Neue Meisterschaft anlegen"));
    auto* main = new QVBoxLayout(this);

    auto* yearBox = new QGroupBox(QStringLiteral("Wettkampfjahr"), this);
    // Presets exist up to 1999 and serve every later year; a few years ahead allow
    // preparing next season's championship.
    year_ = new TSpinEdit(1995, CurrentYear() + 5, yearBox);
    year_->setObjectName(QStringLiteral("YearEdit"));
    year_->setValue(year);
    auto* yearLayout = new QHBoxLayout(yearBox);
    yearLayout->addWidget(year_);
    yearLayout->addStretch();
    main->addWidget(yearBox);

    art_ = new TRadioGroup(
        QStringLiteral("Art"),
        {QStringLiteral("Einzelmeisterschaft"), QStringLiteral("Mannschaftsmeisterschaft")}, 1,
        this);
    art_->setObjectName(QStringLiteral("ArtGroup"));
    art_->SetItemIndex(0);
    main->addWidget(art_);

    range_ = new TRadioGroup(QStringLiteral("Altersklassenbereich"),
                             {QStringLiteral("nur Jugend"), QStringLiteral("nur Senioren"),
                              QStringLiteral("Jugend und Senioren")},
                             1, this);
    range_->setObjectName(QStringLiteral("RangeGroup"));
    range_->SetItemIndex(2);
    main->addWidget(range_);

    auto* options = new QGroupBox(QStringLiteral("Optionen"), this);
    split12_ =
        new QCheckBox(QStringLiteral("(saarländische) Unterteilung der Altersklasse 12"), options);
    split12_->setObjectName(QStringLiteral("Split12Box"));
    split12_->setChecked(true);
    (new QVBoxLayout(options))->addWidget(split12_);
    main->addWidget(options);
    AddOkCancel(*this, *main);

    // Seniors have no age class 12 to divide.
    connect(range_, &TRadioGroup::indexChanged, this, [this](int index) {
        const bool seniorsOnly = index == 1;
        if (seniorsOnly) split12_->setChecked(false);
        split12_->setEnabled(!seniorsOnly);
    });
}

int TFileNewDlg::Year() const {
    return year_->value();
}

int TFileNewDlg::PresetCode() const {
    return art_->ItemIndex() + 2 * range_->ItemIndex() +
           (split12_->isEnabled() && split12_->isChecked() ? 8 : 0);
}

bool TFileNewDlg::Open(QWidget* parent, int& year, int& presetCode) {
    TFileNewDlg dlg(parent, year);
    if (ExecDialog(dlg) != QDialog::Accepted) return false;
    year = dlg.Year();
    presetCode = dlg.PresetCode();
    return true;
}

} // namespace vm::ui
