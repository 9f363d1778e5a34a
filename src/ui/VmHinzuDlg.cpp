#include "ui/VmHinzuDlg.h"

#include "ui/VmGliedCodes.h"
#include "ui/VmUiSeam.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace vm::ui {

THinzufuegenDlg::THinzufuegenDlg(QWidget* parent, const TMergeSettings& s) : TDataDlg(parent) {
    setWindowTitle(QStringLiteral("Wettkampf hinzufügen"));
    SetHint(this, QStringLiteral("Einstellungen für das Hinzufügen eines Wettkampfs"));
    auto* main = new QVBoxLayout(this);

    auto* settings = new QGroupBox(QStringLiteral("Einstellungen"), this);
    auto* settingsLayout = new QVBoxLayout(settings);
    const QStringList texts = {QStringLiteral("fehlende Altersklassen hinzufügen"),
                               QStringLiteral("fehlende Teilnehmer hinzufügen"),
                               QStringLiteral("incl. Teilnehmer außer Konkurrenz"),
                               QStringLiteral("incl. nicht meldende Teilnehmer"),
                               QStringLiteral("incl. nicht angetretene Teilnehmer")};
    for (std::size_t k = 0; k < options_.size(); ++k) {
        options_[k] = new QCheckBox(texts[static_cast<int>(k)], settings);
        options_[k]->setObjectName(QStringLiteral("Option%1").arg(1 << k));
        options_[k]->setChecked((s.options & (1 << k)) != 0);
        settingsLayout->addWidget(options_[k]);
    }
    main->addWidget(settings);

    auto* change = new QGroupBox(QStringLiteral("Teilnehmer ändern"), this);
    auto* grid = new QGridLayout(change);
    changeGliederung_ = new QCheckBox(QStringLiteral("Gliederung ändern in:"), change);
    changeGliederung_->setObjectName(QStringLiteral("GliederungBox"));
    changeGliederung_->setChecked(true);
    gliederung_ = new QComboBox(change);
    gliederung_->setObjectName(QStringLiteral("GliederungCombo"));
    SetupGliederungBox(*gliederung_);
    KeepStorableText(gliederung_->lineEdit());
    gliederung_->setCurrentIndex(-1);
    gliederung_->setEditText(FromOem(s.gliederung));
    grid->addWidget(changeGliederung_, 0, 0);
    grid->addWidget(gliederung_, 0, 1, 1, 2);

    setQualified_ = new QCheckBox(QStringLiteral("die Eigenschaft 'Qualifiziert' für die"), change);
    setQualified_->setObjectName(QStringLiteral("QualifiziertBox"));
    setQualified_->setChecked(true);
    qualify_ = new TSpinEdit(0, 1000, change);
    qualify_->setObjectName(QStringLiteral("QualifyEdit"));
    qualify_->setValue(s.qualify);
    auto* first = new QLabel(QStringLiteral("ersten"), change);
    first->setBuddy(qualify_);
    grid->addWidget(setQualified_, 1, 0);
    grid->addWidget(first, 1, 1);
    grid->addWidget(qualify_, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Teilnehmer setzen"), change), 1, 3);
    grid->setColumnStretch(4, 1);
    main->addWidget(change);
    AddOkCancel(*this, *main);

    // An unchecked change has no value: the combo box is emptied, the count set to 0.
    connect(changeGliederung_, &QCheckBox::toggled, this, [this](bool on) {
        if (!on) gliederung_->setEditText(QString());
        gliederung_->setEnabled(on);
    });
    connect(setQualified_, &QCheckBox::toggled, this, [this](bool on) {
        if (!on) qualify_->setValue(0);
        qualify_->setEnabled(on);
    });
}

TMergeSettings THinzufuegenDlg::Settings() const {
    TMergeSettings s;
    s.options = 0;
    for (std::size_t k = 0; k < options_.size(); ++k)
        if (options_[k]->isChecked()) s.options |= 1 << k;
    if (changeGliederung_->isChecked())
        s.gliederung = ToOem(gliederung_->currentText().trimmed(), 5);
    s.qualify = setQualified_->isChecked() ? qualify_->value() : 0;
    return s;
}

bool THinzufuegenDlg::Open(QWidget* parent, TMergeSettings& s) {
    THinzufuegenDlg dlg(parent, s);
    if (ExecDialog(dlg) != QDialog::Accepted) return false;
    s = dlg.Settings();
    return true;
}

} // namespace vm::ui
