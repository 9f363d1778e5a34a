#include "ui/VmInfo.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace vm::ui {

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Info über Velmora"));
    auto* icon = new QLabel(this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(48, 48));
    auto* text = new QLabel(this);
    text->setObjectName(QStringLiteral("AboutText"));
    text->setTextFormat(Qt::RichText);
    text->setText(QStringLiteral("<h2>Velmora</h2>"
                                 "<p>Version %1</p>"
                                 "<p>Auswertung von Rettungssport-Meisterschaften:<br>"
                                 "Einzel- und Mannschaftswettbewerbe, Qualifikation,<br>"
                                 "Laufbesetzung, HLW, Ergebnislisten und Statistik.</p>"
                                 "<p>Für die Gliederungen des Velbund.</p>")
                      .arg(QStringLiteral(VELMORA_VERSION)));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* row = new QHBoxLayout;
    row->addWidget(icon, 0, Qt::AlignTop);
    row->addWidget(text, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
}

const QStringList& TTipsDlg::Tips() {
    static const QStringList tips = {
        QStringLiteral("Mit Alt+N und Alt+V wechseln Sie in der Tabelle zur nächsten und zur "
                       "vorigen Altersklasse, ohne die Maus zu benutzen."),
        QStringLiteral("Einfg legt einen neuen Teilnehmer in der gewählten Altersklasse an; "
                       "Eingabe auf einer Zeile öffnet seine Daten, Entf löscht ihn nach "
                       "Rückfrage."),
        QStringLiteral("Die Schaltfläche \"TN abwesend\" im Teilnehmerdialog setzt in allen "
                       "Disziplinen ohne Abzug \"nicht angetreten\" und lässt eingetragene "
                       "Werte stehen."),
        QStringLiteral("Werden Zeiten nur auf Zehntel genommen, setzen Sie in den "
                       "Wettkampfdaten \"Zeiten ohne Hundertstel eingeben\"; die Zeitfelder "
                       "zeigen dann eine Stelle weniger."),
        QStringLiteral("Kopieren (Strg+Einfg) legt die markierten Zellen als Text mit "
                       "Tabulatoren in die Zwischenablage; eine Tabellenkalkulation übernimmt "
                       "sie spaltenrichtig."),
        QStringLiteral("Vor jeder Ergebnisliste lohnt ein Blick auf die Anzeige rechts unten: "
                       "sie zeigt die Teilnehmer der Altersklasse und des ganzen Wettkampfs."),
        QStringLiteral("Beim Speichern bleibt die vorige Fassung der Ergebnisdatei als "
                       "Sicherungskopie neben der Datei erhalten."),
        QStringLiteral("Die Rekorde des Vorjahres übernehmen Sie unter Rekorde mit "
                       "\"Übernehmen...\" aus der Ergebnisdatei des letzten Jahres."),
    };
    return tips;
}

TTipsDlg::TTipsDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Tips und Tricks"));
    auto* title = new QLabel(QStringLiteral("<b>Wußten Sie schon ...</b>"), this);
    text_ = new QLabel(this);
    text_->setObjectName(QStringLiteral("TipText"));
    text_->setWordWrap(true);
    text_->setMinimumSize(380, 90);
    text_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    counter_ = new QLabel(this);
    auto* buttons = new QDialogButtonBox(this);
    auto* prev = buttons->addButton(QStringLiteral("&Voriger Tip"), QDialogButtonBox::ActionRole);
    auto* next = buttons->addButton(QStringLiteral("&Nächster Tip"), QDialogButtonBox::ActionRole);
    auto* close = buttons->addButton(QStringLiteral("&Schließen"), QDialogButtonBox::RejectRole);
    next->setDefault(true);
    connect(prev, &QPushButton::clicked, this, [this] { ShowTip(current_ - 1); });
    connect(next, &QPushButton::clicked, this, [this] { ShowTip(current_ + 1); });
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addWidget(text_, 1);
    layout->addWidget(counter_);
    layout->addWidget(buttons);
    ShowTip(0);
}

void TTipsDlg::ShowTip(int index) {
    const int n = static_cast<int>(Tips().size());
    current_ = ((index % n) + n) % n;
    text_->setText(Tips()[current_]);
    counter_->setText(QStringLiteral("Tip %1 von %2").arg(current_ + 1).arg(n));
}

} // namespace vm::ui
