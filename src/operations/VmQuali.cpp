#include "operations/VmQuali.h"


namespace vm {

TQualiSettings DefaultQualiSettings(const TWettkampf& c) {
    TQualiSettings s;
    s.quota = 3 * LaneCount(c);
    return s;
}

bool QualifyAgeClass(TAltersklasse& ac, int quota, int mode) {
    const int n = ac.Count();
    const int requested = quota;
    int q = quota < 0 ? 0 : quota;
    if (n < q) q = n;

    ac.SortBy(TParticipantOrder::DirectQualifiedFirst());

    // Directly qualified participants sort first and are admitted beyond the quota.
    const int cut = q;
    for (int i = cut; i < n; ++i)
        if (ac.At(i)->Has(tnDirektQualifiziert)) ++q;

    // Those tied with the last admitted one are admitted too (never at total 0).
    if (q > 0) {
        const TTeilnehmer& last = *ac.At(q - 1);
        const int from = q;
        for (int i = from; i < n; ++i) {
            const TTeilnehmer& p = *ac.At(i);
            if (p.Gesamtpunkte > 0 && p.Gesamtpunkte == last.Gesamtpunkte &&
                p.Has(tnDirektQualifiziert) == last.Has(tnDirektQualifiziert))
                ++q;
        }
    }

    const bool overflow = q > requested;
    if (overflow) {
        std::string text =
            "Überhang (durch TN mit gleicher Punktzahl oder mit der Eig. qualifiziert) in der "
            "Altersklasse "_oem +
            ac.Name() + ".";
        if (text.size() > 125) text.resize(125);
        ShowMessage(text);
    }

    if (mode == qmBeide || mode == qmSetzen)
        for (int i = 0; i < n; ++i) {
            TTeilnehmer& p = *ac.At(i);
            p.SetFlag(tnStartberechtigt, i < q && p.Gesamtpunkte >= 1);
        }

    if (mode == qmBeide || mode == qmLoeschen) {
        int i = 0;
        while (i < ac.Count()) {
            if (!ac.At(i)->Has(tnStartberechtigt))
                ac.AtDelete(i);
            else
                ++i;
        }
    }

    RecalcAgeClass(ac);
    return overflow;
}

void QualifyCompetition(TWettkampf& c, const TQualiSettings& s) {
    ProgressStart("Die Qualifikation wird erstellt...");
    for (TAltersklasse& ac : c)
        QualifyAgeClass(ac, s.quota, s.mode);
    ProgressStart("");
}

} // namespace vm
