// The short codes offered for a participant's Gliederung: the regional associations,
// then the districts. The user may type any other code as well.
#pragma once

#include <QComboBox>
#include <QLineEdit>
#include <QStringList>

namespace vm::ui {

inline const QStringList& GliederungCodes() {
    static const QStringList codes = {
        QStringLiteral("BA"),  QStringLiteral("BY"),  QStringLiteral("BE"),  QStringLiteral("BB"),
        QStringLiteral("HB"),  QStringLiteral("HH"),  QStringLiteral("HE"),  QStringLiteral("MV"),
        QStringLiteral("NI"),  QStringLiteral("NR"),  QStringLiteral("RP"),  QStringLiteral("SL"),
        QStringLiteral("SN"),  QStringLiteral("SA"),  QStringLiteral("SH"),  QStringLiteral("TH"),
        QStringLiteral("WF"),  QStringLiteral("WÜ"),  QStringLiteral("VB"),  QStringLiteral("OBB"),
        QStringLiteral("NDB"), QStringLiteral("OPF"), QStringLiteral("OFR"), QStringLiteral("MFR"),
        QStringLiteral("UFR")};
    return codes;
}

// An editable box with the codes: at most 5 characters, 19 lines when it drops down;
// a code the user types is taken as it is and not added to the list.
inline void SetupGliederungBox(QComboBox& box) {
    box.setEditable(true);
    box.setInsertPolicy(QComboBox::NoInsert);
    box.addItems(GliederungCodes());
    box.setMaxVisibleItems(19);
    box.lineEdit()->setMaxLength(5);
}

} // namespace vm::ui
