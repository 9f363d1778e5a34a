#include "ui/VmTeilnDlg.h"

#include "model/VmWettk.h"
#include "ui/BvValEdit.h"
#include "ui/VmGliedCodes.h"
#include "ui/VmTimeEdit.h"
#include "ui/VmUiSeam.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace vm::ui {

namespace {

// Field lengths of the participant record.
constexpr int kNameLen = 20;
constexpr int kVornameLen = 20;
constexpr int kGeburtsdatumLen = 10;
constexpr int kZusatzLen = 21;
constexpr int kMannschaftLen = 30;
constexpr int kGliederungLen = 5;
constexpr int kAltersklasseLen = 30;

const QString kStatusHint = QStringLiteral("-1 = disqualifiziert\n"
                                           "-2 = nicht angetreten (ohne Wertung)\n"
                                           "-3 = nicht angetreten");
const QString kStatusShortHint = QStringLiteral("negative Werte siehe eingeblendeter Hilfehinweis");

// A time field selects its whole text when the user comes to it with the keyboard, so
// that typing replaces the time instead of overwriting it digit by digit.
template <class Edit> class TSelectOnFocus : public Edit {
public:
    using Edit::Edit;

protected:
    void focusInEvent(QFocusEvent* event) override {
        Edit::focusInEvent(event);
        switch (event->reason()) {
        case Qt::TabFocusReason:
        case Qt::BacktabFocusReason:
        case Qt::ShortcutFocusReason:
        case Qt::OtherFocusReason:
            this->selectAll();
            break;
        default:
            break;
        }
    }
};

void SetHint(QWidget* w, const QString& tip, const QString& status) {
    w->setToolTip(tip);
    w->setStatusTip(status);
}

// Wide enough for the given number of typical characters and the frame.
int FieldWidth(const QWidget* w, int chars) {
    return w->fontMetrics().averageCharWidth() * chars + w->fontMetrics().height();
}

int DigitsWidth(const QWidget* w, const QString& sample) {
    return w->fontMetrics().horizontalAdvance(sample) + w->fontMetrics().height();
}

QLineEdit* TextEdit(const char* name, int maxLen, QWidget* parent) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(QLatin1String(name));
    e->setMaxLength(maxLen);
    e->setMinimumWidth(FieldWidth(e, std::min(maxLen, 20)));
    KeepStorableText(e);
    return e;
}

QLabel* Label(const QString& text, QWidget* buddy, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    l->setBuddy(buddy);
    return l;
}

TBvNumEdit* NumEdit(const QString& name, int minValue, int maxValue, int digits, QWidget* parent) {
    auto* e = new TBvNumEdit(minValue, maxValue, parent);
    e->setObjectName(name);
    e->setMaxLength(digits);
    e->setAlignment(Qt::AlignRight);
    e->setFixedWidth(DigitsWidth(e, QString(digits + 1, QLatin1Char('0'))));
    return e;
}

// A stored number wider than its field is shown whole, so that the range check reports
// it instead of the field cutting it into another number.
void ShowNumber(TBvNumEdit* e, int value, int digits) {
    e->setMaxLength(std::max(digits, static_cast<int>(QString::number(value).size())));
    e->SetValue(value);
}

constexpr int kPenaltyDigits = 4;
constexpr int kHeatDigits = 3;
constexpr int kPointsChars = 8;

constexpr std::array<std::int16_t, 5> kFlagBits = {
    tnWeiblich, tnAusserKonkurrenz, tnDirektQualifiziert, tnMeldet, tnStartberechtigt};

} // namespace

TTeilnehmerDlg::TTeilnehmerDlg(const TWettkampf& c, TTeilnehmer& p, QWidget* parent)
    : QDialog(parent), c_(c), p_(p), single_(IsSingleCompetition(c)) {
    setObjectName(QStringLiteral("TeilnehmerDlg"));
    setWindowTitle(QStringLiteral("Teilnehmerdaten eingeben"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    auto* main = new QVBoxLayout(this);

    // ---- Teilnehmer: the names, Gliederung and age class -------------------------
    auto* person = new QGroupBox(QStringLiteral("Teilnehmer:"), this);
    auto* pg = new QGridLayout(person);
    name_ = TextEdit("NameEdit", kNameLen, person);
    vorname_ = TextEdit("VornameEdit", kVornameLen, person);
    mannschaft_ = TextEdit("MannschaftEdit", kMannschaftLen, person);
    zusatz_ = TextEdit("ZusatzEdit", single_ ? kGeburtsdatumLen : kZusatzLen, person);
    zusatz_->setMinimumWidth(FieldWidth(zusatz_, 20));
    nameLabel_ = Label(QStringLiteral("&Name:"), name_, person);
    vornameLabel_ = Label(QStringLiteral("&Vorname:"), vorname_, person);
    mannschaftLabel_ = Label(QStringLiteral("&Mannschaft:"), mannschaft_, person);
    geburtsLabel_ = Label(QStringLiteral("&Geburtsdatum:"), zusatz_, person);
    zusatzLabel_ = Label(QStringLiteral("&Zusatz:"), zusatz_, person);

    gliederung_ = new QComboBox(person);
    gliederung_->setObjectName(QStringLiteral("ComboBox2"));
    SetupGliederungBox(*gliederung_);
    KeepStorableText(gliederung_->lineEdit());
    gliederung_->setMinimumWidth(FieldWidth(gliederung_, 8));
    auto* gliederungLabel = Label(QStringLiteral("Glie&derung:"), gliederung_, person);

    altersklasse_ = new QComboBox(person);
    altersklasse_->setObjectName(QStringLiteral("ComboBox1"));
    // Editable so that it shows the participant's age class even when the competition
    // has none of that name; the user cannot change it here.
    altersklasse_->setEditable(true);
    altersklasse_->lineEdit()->setMaxLength(kAltersklasseLen);
    altersklasse_->setEnabled(false);
    auto* altersklasseLabel = Label(QStringLiteral("Altersklasse:"), altersklasse_, person);

    // The team's name takes the place of name and first name; the two labels of the
    // supplement field share one place.
    pg->addWidget(nameLabel_, 0, 0);
    pg->addWidget(name_, 0, 1);
    pg->addWidget(vornameLabel_, 0, 2);
    pg->addWidget(vorname_, 0, 3);
    pg->addWidget(mannschaftLabel_, 0, 0);
    pg->addWidget(mannschaft_, 0, 1, 1, 3);
    pg->addWidget(geburtsLabel_, 1, 0);
    pg->addWidget(zusatzLabel_, 1, 0);
    pg->addWidget(zusatz_, 1, 1);
    pg->addWidget(gliederungLabel, 1, 2);
    pg->addWidget(gliederung_, 1, 3, Qt::AlignLeft);
    pg->addWidget(altersklasseLabel, 2, 0);
    pg->addWidget(altersklasse_, 2, 1, 1, 3);
    pg->setColumnStretch(1, 1);
    pg->setColumnStretch(3, 1);
    main->addWidget(person);

    // ---- Leistungen: one row per discipline, then the HLW row --------------------
    auto* middle = new QHBoxLayout;
    auto* results = new QGroupBox(QStringLiteral("Leistungen:"), this);
    auto* rg = new QGridLayout(results);
    const QStringList columns = {QStringLiteral("Zeit"), QStringLiteral("Abzug"),
                                 QStringLiteral("Lauf"), QStringLiteral("Bahn")};
    for (int col = 0; col < columns.size(); ++col)
        rg->addWidget(new QLabel(columns[col], results), 0, col + 1);
    const bool hundredths = WithHundredths(c);
    for (int k = 0; k < 5; ++k) {
        const auto i = static_cast<std::size_t>(k);
        auto* time = new TSelectOnFocus<TTimeEdit>(hundredths, results);
        time->setObjectName(QStringLiteral("MaskEdit%1").arg(k + 1));
        time->setFixedWidth(DigitsWidth(time, QStringLiteral("0:00,000")));
        zeit_[i] = time;
        abzug_[i] = NumEdit(QStringLiteral("SpinEdit%1").arg(k + 1),
                            PenaltyCode(TStatus::NichtAngetreten), 9999, kPenaltyDigits, results);
        SetHint(abzug_[i], kStatusHint, kStatusShortHint);
        lauf_[i] = NumEdit(QStringLiteral("SpinEdit%1").arg(k + 6), 0, 999, kHeatDigits, results);
        bahn_[i] = NumEdit(QStringLiteral("SpinEdit%1").arg(k + 11), 0, 999, kHeatDigits, results);
        const int row = k + 1;
        rg->addWidget(Label(QStringLiteral("Wettkampf &%1:").arg(k + 1), time, results), row, 0);
        rg->addWidget(time, row, 1);
        rg->addWidget(abzug_[i], row, 2);
        rg->addWidget(lauf_[i], row, 3);
        rg->addWidget(bahn_[i], row, 4);
    }
    auto* clock = new TSelectOnFocus<TClockEdit>(results);
    clock->setObjectName(QStringLiteral("HLWZeitEdit"));
    clock->setFixedWidth(DigitsWidth(clock, QStringLiteral("00:000")));
    hlwZeit_ = clock;
    hlwPunkte_ = new TBvFloatEdit(-300.0, 9999.0, 8, 2, results);
    hlwPunkte_->setObjectName(QStringLiteral("HLWPunkteEdit"));
    hlwPunkte_->setMaxLength(kPointsChars);
    hlwPunkte_->setAlignment(Qt::AlignRight);
    hlwPunkte_->setFixedWidth(DigitsWidth(hlwPunkte_, QStringLiteral("-0000,000")));
    SetHint(hlwPunkte_, kStatusHint, kStatusShortHint);
    hlwBahn_ = NumEdit(QStringLiteral("HLWBahnEdit"), 0, 999, kHeatDigits, results);
    rg->setRowMinimumHeight(6, fontMetrics().height() / 2);
    rg->addWidget(new QLabel(QStringLiteral("Startzeit"), results), 7, 1);
    rg->addWidget(Label(QStringLiteral("&Punkte"), hlwPunkte_, results), 7, 2);
    rg->addWidget(new QLabel(QStringLiteral("Bahn"), results), 7, 4);
    rg->addWidget(Label(QStringLiteral("&HLW"), hlwZeit_, results), 8, 0);
    rg->addWidget(hlwZeit_, 8, 1);
    rg->addWidget(hlwPunkte_, 8, 2, 1, 2, Qt::AlignLeft);
    rg->addWidget(hlwBahn_, 8, 4);
    rg->setColumnStretch(5, 1);
    middle->addWidget(results, 1);

    // ---- Eigenschaften ----------------------------------------------------------
    auto* props = new QGroupBox(QStringLiteral("&Eigenschaften:"), this);
    auto* pl = new QVBoxLayout(props);
    const QStringList flagTexts = {QStringLiteral("&weiblich"), QStringLiteral("&außer Konkurrenz"),
                                   QStringLiteral("direkt &qualifiziert"),
                                   QStringLiteral("&meldet"), QStringLiteral("&startberechtigt")};
    for (std::size_t k = 0; k < flags_.size(); ++k) {
        flags_[k] = new QCheckBox(flagTexts[static_cast<int>(k)], props);
        flags_[k]->setObjectName(QStringLiteral("Flag%1").arg(kFlagBits[k]));
        pl->addWidget(flags_[k]);
    }
    pl->addStretch(1);
    middle->addWidget(props);
    main->addLayout(middle);

    // ---- the foot: TN abwesend, OK, Abbrechen -------------------------------------
    auto* foot = new QHBoxLayout;
    absent_ = new QPushButton(QStringLiteral("&TN abwesend"), this);
    absent_->setObjectName(QStringLiteral("AbwesendButton"));
    absent_->setAutoDefault(false);
    const QString absentHint = QStringLiteral("setzt \"nicht angetreten\" in allen Disziplinen");
    SetHint(absent_, absentHint, absentHint);
    connect(absent_, &QPushButton::clicked, this, &TTeilnehmerDlg::MarkAbsent);
    foot->addWidget(absent_);
    foot->addStretch(1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Abbrechen"));
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    MarkCancelButton(buttons->button(QDialogButtonBox::Cancel));
    connect(buttons, &QDialogButtonBox::accepted, this, &TTeilnehmerDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TTeilnehmerDlg::reject);
    foot->addWidget(buttons);
    main->addLayout(foot);

    // Top to bottom, left to right; controls of the other kind of competition are
    // disabled and skipped.
    QList<QWidget*> order = {name_, vorname_, mannschaft_, zusatz_, gliederung_, altersklasse_};
    for (int k = 0; k < 5; ++k) {
        const auto i = static_cast<std::size_t>(k);
        order << zeit_[i] << abzug_[i] << lauf_[i] << bahn_[i];
    }
    order << hlwZeit_ << hlwPunkte_ << hlwBahn_;
    for (QCheckBox* f : flags_)
        order << f;
    order << absent_ << buttons->button(QDialogButtonBox::Ok)
          << buttons->button(QDialogButtonBox::Cancel);
    for (int k = 1; k < order.size(); ++k)
        setTabOrder(order[k - 1], order[k]);

    Load();
    (single_ ? name_ : mannschaft_)->setFocus(Qt::OtherFocusReason);
}

void TTeilnehmerDlg::Load() {
    for (const TAltersklasse& ac : c_)
        altersklasse_->addItem(FromOem(ac.Data.Bezeichnung.View()));
    altersklasse_->setEditText(FromOem(p_.Altersklasse.View()));

    for (QWidget* w : {static_cast<QWidget*>(name_), static_cast<QWidget*>(vorname_),
                       static_cast<QWidget*>(nameLabel_), static_cast<QWidget*>(vornameLabel_),
                       static_cast<QWidget*>(geburtsLabel_)}) {
        w->setVisible(single_);
        w->setEnabled(single_);
    }
    for (QWidget* w : {static_cast<QWidget*>(mannschaft_), static_cast<QWidget*>(mannschaftLabel_),
                       static_cast<QWidget*>(zusatzLabel_)}) {
        w->setVisible(!single_);
        w->setEnabled(!single_);
    }
    if (single_) {
        name_->setText(FromOem(p_.Name()));
        vorname_->setText(FromOem(p_.Vorname()));
        zusatz_->setText(FromOem(p_.Geburtsdatum()));
    } else {
        mannschaft_->setText(FromOem(p_.Mannschaft()));
        zusatz_->setText(FromOem(p_.Zusatz()));
    }
    const QString code = FromOem(p_.Gliederung.View());
    const int item = gliederung_->findText(code, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (item >= 0) {
        gliederung_->setCurrentIndex(item);
    } else {
        gliederung_->setCurrentIndex(-1);
        gliederung_->setEditText(code);
    }

    for (std::size_t k = 0; k < 5; ++k) {
        zeit_[k]->SetTime(p_.Zeit[k]);
        ShowNumber(abzug_[k], p_.Abzug[k], kPenaltyDigits);
        ShowNumber(lauf_[k], p_.Lauf[k], kHeatDigits);
        ShowNumber(bahn_[k], p_.Bahn[k], kHeatDigits);
    }
    hlwZeit_->SetClock(p_.Startzeit);
    ShowNumber(hlwBahn_, p_.HLWBahn, kHeatDigits);
    hlwPunkte_->SetValue(p_.HLWPunkte / 100.0);
    hlwPunkte_->setMaxLength(std::max<int>(kPointsChars, hlwPunkte_->text().size()));

    for (std::size_t k = 0; k < flags_.size(); ++k)
        flags_[k]->setChecked(p_.Has(kFlagBits[k]));
}

void TTeilnehmerDlg::Store() {
    if (single_) {
        p_.SetName(ToOem(name_->text(), kNameLen));
        p_.SetVorname(ToOem(vorname_->text(), kVornameLen));
        p_.SetGeburtsdatum(ToOem(zusatz_->text(), kGeburtsdatumLen));
    } else {
        p_.SetMannschaft(ToOem(mannschaft_->text(), kMannschaftLen));
        p_.SetZusatz(ToOem(zusatz_->text(), kZusatzLen));
    }
    p_.Gliederung.Set(ToOem(gliederung_->currentText(), kGliederungLen));
    p_.Altersklasse.Set(ToOem(altersklasse_->currentText(), kAltersklasseLen));

    // The form check has made sure that every value lies in its field's range.
    for (std::size_t k = 0; k < 5; ++k) {
        p_.Zeit[k] = zeit_[k]->Time();
        p_.Abzug[k] = static_cast<std::int16_t>(abzug_[k]->Value());
        p_.Lauf[k] = static_cast<std::int16_t>(lauf_[k]->Value());
        p_.Bahn[k] = static_cast<std::int16_t>(bahn_[k]->Value());
    }
    p_.Startzeit = static_cast<std::int16_t>(hlwZeit_->Clock());
    p_.HLWBahn = static_cast<std::int16_t>(hlwBahn_->Value());
    p_.HLWPunkte = static_cast<std::int32_t>(std::lround(hlwPunkte_->Value() * 100.0));

    std::int16_t flags = 0;
    for (std::size_t k = 0; k < flags_.size(); ++k)
        if (flags_[k]->isChecked()) flags = static_cast<std::int16_t>(flags | kFlagBits[k]);
    p_.Eigenschaften = flags;
}

void TTeilnehmerDlg::MarkAbsent() {
    for (TBvNumEdit* e : abzug_)
        if (e->Value() == 0) e->SetValue(PenaltyCode(TStatus::NichtAngetreten));
    if (hlwPunkte_->Value() == 0.0) hlwPunkte_->SetValue(PenaltyCode(TStatus::NichtAngetreten));
}

void TTeilnehmerDlg::accept() {
    if (!FormCheck(this)) return;
    Store();
    QDialog::accept();
}

bool TTeilnehmerDlg::Open(QWidget* parent, const TWettkampf& c, TTeilnehmer& p) {
    TTeilnehmerDlg dlg(c, p, parent);
    return ExecDialog(dlg) == QDialog::Accepted;
}

} // namespace vm::ui
