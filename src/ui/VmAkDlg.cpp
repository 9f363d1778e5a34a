#include "ui/VmAkDlg.h"

#include "model/BvMath.h"
#include "model/VmWettk.h"
#include "ui/BvValEdit.h"
#include "ui/VmDlgKit.h"
#include "ui/VmRekDlg.h"
#include "ui/VmUiSeam.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace vm::ui {

namespace {

// Another age class of c that would compare equal to one with these data: the list
// cannot hold both, and a file holding both would lose one of them when it is loaded.
const TAltersklasse* EqualAgeClass(const TWettkampf& c, const TAltersklasse* self,
                                   const TAltersklasseData& data) {
    TAltersklasse probe;
    probe.Data = data;
    for (const TAltersklasse& other : c)
        if (&other != self && c.Compare(other, probe) == 0) return &other;
    return nullptr;
}

QPushButton* SideButton(QWidget* parent, QVBoxLayout& column, const QString& text) {
    auto* b = new QPushButton(text, parent);
    b->setAutoDefault(false);
    column.addWidget(b);
    return b;
}

} // namespace

// ---- list of the age classes -----------------------------------------------------------

TAltersklassenDlg::TAltersklassenDlg(QWidget* parent, const TWettkampf& c, int currentAgeClass)
    : QDialog(parent) {
    {
        TBusyGuard busy;
        copy_ = CopyCompetition(c);
    }
    setWindowTitle(QStringLiteral("Altersklassen eingeben"));
    SetHint(this, QStringLiteral("Altersklassen des Wettkampfs festlegen"));
    auto* main = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("AkList"));
    list_->setMinimumSize(fontMetrics().averageCharWidth() * 36, fontMetrics().height() * 18);
    auto* label = new QLabel(QStringLiteral("&Altersklassen:"), this);
    label->setBuddy(list_);
    left->addWidget(label);
    left->addWidget(list_);
    row->addLayout(left, 1);

    auto* column = new QVBoxLayout;
    column->addSpacing(label->sizeHint().height());
    connect(SideButton(this, *column, QStringLiteral("&Neu")), &QPushButton::clicked, this,
            &TAltersklassenDlg::New);
    QPushButton* change = SideButton(this, *column, QStringLiteral("Än&dern"));
    connect(change, &QPushButton::clicked, this, &TAltersklassenDlg::Change);
    connect(SideButton(this, *column, QStringLiteral("&Löschen")), &QPushButton::clicked, this,
            &TAltersklassenDlg::Delete);
    connect(SideButton(this, *column, QStringLiteral("&Jahrgänge")), &QPushButton::clicked, this,
            &TAltersklassenDlg::ShiftYearsOfAll);
    column->addStretch();
    row->addLayout(column);
    main->addLayout(row);
    AddOkCancel(*this, *main);

    connect(list_, &QListWidget::itemDoubleClicked, this, &TAltersklassenDlg::Change);
    // Enter edits the chosen age class, as the default button shows.
    SetDefaultButton(*this, change);
    Fill(currentAgeClass);
}

TAltersklassenDlg::~TAltersklassenDlg() = default;

int TAltersklassenDlg::SelectedIndex() const {
    return std::max(list_->currentRow(), 0);
}

TAltersklasse* TAltersklassenDlg::Selected() const {
    return SelectedAgeClass(*list_, *copy_);
}

void TAltersklassenDlg::Fill(int select) {
    FillAgeClassList(*list_, *copy_, select);
}

void TAltersklassenDlg::New() {
    TAltersklasseData data;
    if (const TAltersklasse* cur = Selected()) data = cur->Data;
    data.Bezeichnung.Set(data.Bezeichnung.Get() + " - neu");
    if (!TAltersklassenDatenDlg::Open(this, *copy_, data,
                                      QStringLiteral("Altersklassendaten eingeben")))
        return;
    auto ac = NewAgeClass();
    SetAgeClassData(*ac, data);
    TAltersklasse* raw = ac.get();
    // An equal age class is refused with the model's message.
    if (copy_->InsertAgeClass(std::move(ac))) Fill(copy_->IndexOf(raw));
}

void TAltersklassenDlg::Change() {
    TAltersklasse* ac = Selected();
    if (!ac) return;
    TAltersklasseData data = ac->Data;
    if (!TAltersklassenDatenDlg::Open(this, *copy_, data,
                                      QStringLiteral("Altersklassendaten ändern")))
        return;
    if (EqualAgeClass(*copy_, ac, data)) {
        ShowBox(this, TBoxKind::Error,
                QStringLiteral("Die Altersklasse '%1' gibt es bereits mit denselben Jahrgängen "
                               "und demselben Geschlecht. Die Änderung wurde nicht übernommen.")
                    .arg(FromOem(data.Bezeichnung.View())));
        return;
    }
    SetAgeClassData(*ac, data);
    copy_->Sort();
    Fill(copy_->IndexOf(ac));
}

bool ConfirmDeleteAgeClass(QWidget* parent, const TWettkampf& c, const TAltersklasse& ac) {
    if (c.Count() <= 1) {
        ShowBox(parent, TBoxKind::Error,
                QStringLiteral("Ein Wettkampf muß mindestens aus einer Altersklasse bestehen. Sie "
                               "können die letzte Altersklasse nicht löschen."));
        return false;
    }
    const QString name = FromOem(ac.Data.Bezeichnung.View());
    const QString q =
        ac.Count() == 0
            ? QStringLiteral("Möchten Sie die Altersklasse '%1' löschen?").arg(name)
            : QStringLiteral("Die Altersklasse '%1' ist nicht leer. Altersklasse mit allen "
                             "enthaltenen Teilnehmern löschen?")
                  .arg(name);
    return ShowBox(parent, TBoxKind::Warning, q, QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
}

void TAltersklassenDlg::Delete() {
    TAltersklasse* ac = Selected();
    if (!ac || !ConfirmDeleteAgeClass(this, *copy_, *ac)) return;
    const int index = list_->currentRow();
    copy_->Free(ac);
    Fill(index);
}

void TAltersklassenDlg::ShiftYearsOfAll() {
    int delta = 0;
    if (!TJahrgaengeDlg::Open(this, delta)) return;
    // Every class moves by the same amount, so their order stays.
    ShiftYears(*copy_, delta);
    Fill(list_->currentRow());
}

std::unique_ptr<TWettkampf> TAltersklassenDlg::Open(QWidget* parent, const TWettkampf& c,
                                                    int& currentAgeClass) {
    TAltersklassenDlg dlg(parent, c, currentAgeClass);
    if (ExecDialog(dlg) != QDialog::Accepted) return nullptr;
    currentAgeClass = dlg.SelectedIndex();
    return dlg.TakeCopy();
}

// ---- data of one age class ---------------------------------------------------------------

TAltersklassenDatenDlg::TAltersklassenDatenDlg(QWidget* parent, const TWettkampf& c,
                                               const TAltersklasseData& data,
                                               const QString& caption)
    : TDataDlg(parent), team_(!IsSingleCompetition(c)), hundredths_(WithHundredths(c)),
      work_(data) {
    setWindowTitle(caption);
    SetHint(this, QStringLiteral("Einstellungen der Altersklasse festlegen"));
    auto* main = new QVBoxLayout(this);

    auto* top = new QGridLayout;
    name_ = new QComboBox(this);
    name_->setObjectName(QStringLiteral("ComboBox1"));
    name_->setEditable(true);
    KeepStorableText(name_->lineEdit());
    name_->setInsertPolicy(QComboBox::NoInsert);
    name_->addItems({QStringLiteral("AK 10w"),
                     QStringLiteral("AK 10m"),
                     QStringLiteral("AK 12w"),
                     QStringLiteral("AK 12m"),
                     QStringLiteral("AK 13/14w"),
                     QStringLiteral("AK 13/14m"),
                     QStringLiteral("AK 15/16w"),
                     QStringLiteral("AK 15/16m"),
                     QStringLiteral("AK 17/18w"),
                     QStringLiteral("AK 17/18m"),
                     QStringLiteral("Offene Altersklasse (w)"),
                     QStringLiteral("Offene Altersklasse (m)"),
                     QStringLiteral("Schüler"),
                     QStringLiteral("Schülerinnen"),
                     QStringLiteral("Jugend (weiblich)"),
                     QStringLiteral("Jugend (männlich)"),
                     QStringLiteral("Juniorinnen"),
                     QStringLiteral("Junioren"),
                     QStringLiteral("Damen"),
                     QStringLiteral("Herren")});
    name_->setMaxVisibleItems(20);
    name_->lineEdit()->setMaxLength(30);
    name_->setEditText(FromOem(data.Bezeichnung.View()));
    auto* nameLabel = new QLabel(QStringLiteral("Bezeichnung:"), this);
    nameLabel->setBuddy(name_);
    top->addWidget(nameLabel, 0, 0);
    top->addWidget(name_, 0, 1, 1, 4);

    from_ = new TSpinEdit(1800, 2200, this);
    from_->setObjectName(QStringLiteral("SpinEdit1"));
    from_->setValue(data.JahrgangVon);
    to_ = new TSpinEdit(1800, 2200, this);
    to_->setObjectName(QStringLiteral("SpinEdit2"));
    to_->setValue(data.JahrgangBis);
    auto* fromLabel = new QLabel(QStringLiteral("Jahrgänge &von"), this);
    fromLabel->setBuddy(from_);
    auto* toLabel = new QLabel(QStringLiteral("&bis"), this);
    toLabel->setBuddy(to_);
    top->addWidget(fromLabel, 1, 0);
    top->addWidget(from_, 1, 1);
    top->addWidget(toLabel, 1, 2);
    top->addWidget(to_, 1, 3);
    top->addWidget(new QLabel(QStringLiteral("(einschließlich)"), this), 1, 4);
    top->setColumnStretch(4, 1);
    main->addLayout(top);

    auto* row = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    count_ = new TRadioGroup(QStringLiteral("&Disziplinenanzahl:"),
                             {QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2"),
                              QStringLiteral("3"), QStringLiteral("4"), QStringLiteral("5")},
                             6, this);
    count_->setObjectName(QStringLiteral("RadioGroup1"));
    count_->SetItemIndex(data.Disziplinenanzahl, data.DisciplineCount());
    left->addWidget(count_);
    auto* props = new QGroupBox(QStringLiteral("&Eigenschaften:"), this);
    auto* propsLayout = new QVBoxLayout(props);
    const QStringList propTexts = {QStringLiteral("&weibliche Altersklasse"),
                                   QStringLiteral("mit &HLW - Wertung"),
                                   QStringLiteral("direkt &qualifiziert-Flag berücksichtigen"),
                                   QStringLiteral("&alphabetisch sortieren")};
    for (std::size_t k = 0; k < properties_.size(); ++k) {
        properties_[k] = new QCheckBox(propTexts[static_cast<int>(k)], props);
        properties_[k]->setChecked((data.Eigenschaften & (1 << k)) != 0);
        propsLayout->addWidget(properties_[k]);
    }
    left->addWidget(props);
    left->addStretch();
    row->addLayout(left);

    auto* right = new QVBoxLayout;
    disciplines_ = new QListWidget(this);
    disciplines_->setObjectName(QStringLiteral("ListBox1"));
    disciplines_->setMinimumWidth(fontMetrics().averageCharWidth() * 40);
    auto* discLabel = new QLabel(QStringLiteral("Disziplinen:"), this);
    discLabel->setBuddy(disciplines_);
    right->addWidget(discLabel);
    right->addWidget(disciplines_, 1);
    auto* records = new QPushButton(QStringLiteral("&Rekorde"), this);
    records->setAutoDefault(false);
    SetHint(records, QStringLiteral("Rekorddaten der Altersklasse"));
    auto* recordsRow = new QHBoxLayout;
    recordsRow->addStretch();
    recordsRow->addWidget(records);
    right->addLayout(recordsRow);
    row->addLayout(right, 1);
    main->addLayout(row);
    AddOkCancel(*this, *main);

    FillDisciplines();
    disciplines_->setCurrentRow(0);
    // The list shows its five lines without scrolling.
    disciplines_->setMinimumHeight(disciplines_->sizeHintForRow(0) * 5 +
                                   2 * disciplines_->frameWidth() + 4);
    connect(disciplines_, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { EditDiscipline(disciplines_->row(item)); });
    OnEnterKey(disciplines_, [this] { EditDiscipline(disciplines_->currentRow()); });
    connect(records, &QPushButton::clicked, this, &TAltersklassenDatenDlg::EditRecords);
}

void TAltersklassenDatenDlg::FillDisciplines() {
    const int current = disciplines_->currentRow();
    disciplines_->clear();
    for (int i = 0; i < 5; ++i)
        disciplines_->addItem(
            QStringLiteral("%1. ").arg(i + 1) +
            FromOem(work_.Disziplinen[static_cast<std::size_t>(i)].Bezeichnung.View()));
    if (current >= 0) disciplines_->setCurrentRow(current);
}

void TAltersklassenDatenDlg::EditDiscipline(int index) {
    if (index < 0 || index >= 5) return;
    if (TDisziplinDatenDlg::Open(this, work_.Disziplinen[static_cast<std::size_t>(index)], team_,
                                 properties_[0]->isChecked()))
        FillDisciplines();
}

void TAltersklassenDatenDlg::EditRecords() {
    // The record dialog names the class and offers its disciplines as they stand now.
    work_ = Collect();
    TRekordDatenDlg::Open(this, work_, hundredths_);
}

TAltersklasseData TAltersklassenDatenDlg::Collect() const {
    TAltersklasseData d = work_;
    d.Bezeichnung.Set(ToOem(name_->currentText(), 30));
    d.JahrgangVon = static_cast<std::int16_t>(from_->value());
    d.JahrgangBis = static_cast<std::int16_t>(to_->value());
    d.Disziplinenanzahl = static_cast<std::int16_t>(count_->ItemIndex());
    int bits = d.Eigenschaften & ~(akWeiblich | akHLW | akDirektQualifiziert | akAlphabetisch);
    for (std::size_t k = 0; k < properties_.size(); ++k)
        if (properties_[k]->isChecked()) bits |= 1 << k;
    d.Eigenschaften = static_cast<std::int16_t>(bits);
    return d;
}

bool TAltersklassenDatenDlg::Open(QWidget* parent, const TWettkampf& c, TAltersklasseData& data,
                                  const QString& caption) {
    TAltersklassenDatenDlg dlg(parent, c, data, caption);
    if (ExecDialog(dlg) != QDialog::Accepted) return false;
    data = dlg.Collect();
    return true;
}

// ---- one discipline ------------------------------------------------------------------------

TDisziplinDatenDlg::TDisziplinDatenDlg(QWidget* parent, const TDisziplin& d, bool team, bool female)
    : TDataDlg(parent) {
    setWindowTitle(QStringLiteral("Disziplin einstellen (") +
                   (team ? QStringLiteral("Mannschaft, ") : QStringLiteral("Einzel, ")) +
                   (female ? QStringLiteral("weiblich)") : QStringLiteral("männlich)")));
    auto* main = new QVBoxLayout(this);
    auto* nameForm = new QFormLayout;
    name_ = new QLineEdit(this);
    name_->setObjectName(QStringLiteral("Edit1"));
    name_->setMaxLength(80);
    KeepStorableText(name_);
    name_->setMinimumWidth(fontMetrics().averageCharWidth() * 56);
    name_->setText(FromOem(d.Bezeichnung.View()));
    nameForm->addRow(QStringLiteral("&Bezeichnung"), name_);
    main->addLayout(nameForm);

    auto* row = new QHBoxLayout;
    kind_ = new TRadioGroup(QStringLiteral("Berechnungs&art"),
                            {QStringLiteral("benutzerdefiniert (per Formel)"),
                             QStringLiteral("neue Berechnung (Meisterschaften 1999-xxxx)"),
                             QStringLiteral("lineare Berechnung (Meisterschaften 1988-1998)")},
                            1, this);
    kind_->setObjectName(QStringLiteral("RadioGroup1"));
    kind_->SetItemIndex(d.Berechnungsart, 0);
    row->addWidget(kind_, 1);
    auto* vars = new QFormLayout;
    for (std::size_t k = 0; k < variables_.size(); ++k) {
        auto* e = new TBvFloatEdit(0.0, 9999.0, 8, 2, this);
        e->setObjectName(QStringLiteral("Variable%1").arg(k + 1));
        e->setMaxLength(8);
        e->setMaximumWidth(fontMetrics().averageCharWidth() * 12);
        e->SetValue(d.V[k] / 100.0);
        vars->addRow(QStringLiteral("Variable &%1").arg(k + 1), e);
        variables_[k] = e;
    }
    row->addLayout(vars);
    main->addLayout(row);

    auto* formulaForm = new QFormLayout;
    formula_ = new QLineEdit(this);
    formula_->setObjectName(QStringLiteral("Edit2"));
    formula_->setMaxLength(255);
    KeepStorableText(formula_);
    formula_->setText(FromOem(d.Formel.View()));
    formulaForm->addRow(QStringLiteral("&Formel"), formula_);
    main->addLayout(formulaForm);
    AddOkCancel(*this, *main);
}

void TDisziplinDatenDlg::Store(TDisziplin& d) const {
    d.Bezeichnung.Set(ToOem(name_->text(), 80));
    d.Berechnungsart = static_cast<std::int16_t>(kind_->ItemIndex());
    for (std::size_t k = 0; k < variables_.size(); ++k)
        d.V[k] = static_cast<std::int32_t>(std::lround(variables_[k]->Value() * 100.0));
    d.Formel.Set(ToOem(formula_->text(), 255));
}

void TAltersklassenDatenDlg::accept() {
    if (!CheckDataForm(this)) return;
    if (from_->value() > to_->value()) {
        ShowRangeErrorBox(from_, QStringLiteral("Jahrgänge von %1 bis %2: Der erste Jahrgang liegt "
                                                "nach dem letzten.")
                                     .arg(from_->value())
                                     .arg(to_->value()));
        from_->setFocus(Qt::OtherFocusReason);
        from_->selectAll();
        return;
    }
    QDialog::accept();
}

void TDisziplinDatenDlg::accept() {
    if (!CheckDataForm(this)) return;
    if (kind_->ItemIndex() == baFormel) {
        const TFormulaFault fault = CheckFormula(ToOem(formula_->text(), 255));
        if (fault) {
            ShowBox(this, TBoxKind::Warning, FromOem(fault.message));
            formula_->setFocus(Qt::OtherFocusReason);
            formula_->deselect();
            formula_->setCursorPosition(fault.position > 0
                                            ? fault.position - 1
                                            : static_cast<int>(formula_->text().size()));
            return;
        }
    }
    QDialog::accept();
}

bool TDisziplinDatenDlg::Open(QWidget* parent, TDisziplin& d, bool team, bool female) {
    TDisziplinDatenDlg dlg(parent, d, team, female);
    if (ExecDialog(dlg) != QDialog::Accepted) return false;
    dlg.Store(d);
    return true;
}

// ---- shift of the birth years ----------------------------------------------------------------

TJahrgaengeDlg::TJahrgaengeDlg(QWidget* parent) : TDataDlg(parent) {
    setWindowTitle(QStringLiteral("Wettkampfjahr ändern"));
    auto* main = new QVBoxLayout(this);
    auto* group = new QGroupBox(QStringLiteral("Wettkampfaltersklassen"), this);
    auto* row = new QHBoxLayout(group);
    delta_ = new TSpinEdit(-100, 100, group);
    delta_->setObjectName(QStringLiteral("DeltaEdit"));
    delta_->setValue(0);
    auto* label = new QLabel(QStringLiteral("Jahrgänge verschieben um "), group);
    label->setBuddy(delta_);
    row->addWidget(label);
    row->addWidget(delta_);
    row->addWidget(new QLabel(QStringLiteral("Jahre."), group));
    row->addStretch();
    main->addWidget(group);
    AddOkCancel(*this, *main);
}

int TJahrgaengeDlg::Delta() const {
    return delta_->value();
}

bool TJahrgaengeDlg::Open(QWidget* parent, int& delta) {
    TJahrgaengeDlg dlg(parent);
    if (ExecDialog(dlg) != QDialog::Accepted) return false;
    delta = dlg.Delta();
    return true;
}

} // namespace vm::ui
