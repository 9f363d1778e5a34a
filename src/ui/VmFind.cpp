#include "ui/VmFind.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace vm::ui {

namespace {

void Step(const TWettkampf& c, bool up, TFindPosition& pos) {
    const int n = c.Count();
    pos.participant += up ? -1 : 1;
    const int inClass = c.At(pos.ageClass)->Count();
    if (!up && pos.participant >= inClass) {
        pos.ageClass = (pos.ageClass + 1) % n;
        pos.participant = 0;
    } else if (up && pos.participant < 0) {
        pos.ageClass = (pos.ageClass + n - 1) % n;
        const int count = c.At(pos.ageClass)->Count();
        pos.participant = count > 0 ? count - 1 : 0;
    }
}

bool Names(const TWettkampf& c, const TFindPosition& pos) {
    return pos.participant >= 0 && pos.participant < c.At(pos.ageClass)->Count();
}

} // namespace

bool FindParticipant(const TWettkampf& c, std::string_view textOem, int flags, TFindPosition& pos) {
    if (c.Count() == 0) return false;
    if (pos.ageClass < 0 || pos.ageClass >= c.Count()) pos.ageClass = 0;
    const bool up = flags & fdUp;
    const int matchFlags = flags & (fdWholeWord | fdMatchCase | fdIndividual);
    TFindPosition p = pos;
    Step(c, up, p);
    const TFindPosition start = p;
    for (;;) {
        if (Names(c, p) &&
            MatchParticipant(*c.At(p.ageClass)->At(p.participant), textOem, matchFlags)) {
            pos = p;
            return true;
        }
        Step(c, up, p);
        if (p.ageClass == start.ageClass && p.participant == start.participant) return false;
    }
}

TFindDlg::TFindDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Suchen"));
    text_ = new QLineEdit(this);
    text_->setObjectName(QStringLiteral("FindText"));
    auto* label = new QLabel(QStringLiteral("Suchen &nach:"), this);
    label->setBuddy(text_);
    whole_ = new QCheckBox(QStringLiteral("Nur &ganzes Wort"), this);
    matchCase_ = new QCheckBox(QStringLiteral("Groß-/&Kleinschreibung"), this);
    auto* dir = new QGroupBox(QStringLiteral("Suchrichtung"), this);
    up_ = new QRadioButton(QStringLiteral("Nach &oben"), dir);
    down_ = new QRadioButton(QStringLiteral("Nach &unten"), dir);
    down_->setChecked(true);
    auto* dirLayout = new QHBoxLayout(dir);
    dirLayout->addWidget(up_);
    dirLayout->addWidget(down_);

    auto* buttons = new QDialogButtonBox(this);
    auto* next = buttons->addButton(QStringLiteral("&Weitersuchen"), QDialogButtonBox::AcceptRole);
    next->setObjectName(QStringLiteral("FindNext"));
    next->setDefault(true);
    buttons->addButton(QStringLiteral("Abbrechen"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (!text_->text().isEmpty()) Q_EMIT findNext();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(text_, &QLineEdit::textChanged, next,
            [next](const QString& t) { next->setEnabled(!t.isEmpty()); });
    next->setEnabled(false);

    auto* row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(text_, 1);
    auto* options = new QVBoxLayout;
    options->addWidget(whole_);
    options->addWidget(matchCase_);
    auto* middle = new QHBoxLayout;
    middle->addLayout(options);
    middle->addWidget(dir);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addLayout(middle);
    layout->addWidget(buttons);
}

QString TFindDlg::Text() const {
    return text_->text();
}

int TFindDlg::Flags() const {
    return (up_->isChecked() ? fdUp : 0) | (whole_->isChecked() ? fdWholeWord : 0) |
           (matchCase_->isChecked() ? fdMatchCase : 0);
}

} // namespace vm::ui
