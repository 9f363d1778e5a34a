// The short codes offered for a participant's Gliederung: the regional associations,
// then the districts. The user may type any other code as well.
#pragma once

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

} // namespace vm::ui
