#include "operations/VmMerge.h"

#include "file/VmErg.h"

namespace vm {

namespace {
TAltersklasse* Corresponding(const TWettkampf& c, const TAltersklasse& ac) {
    int i = 0;
    return c.Search(ac, i) ? c.At(i) : nullptr;
}

bool Taken(const TTeilnehmer& p, int options) {
    return (!p.Has(tnAusserKonkurrenz) || (options & moAusserKonkurrenz)) &&
           (p.Has(tnMeldet) || (options & moNichtMeldend)) &&
           (IsPresent(p) || (options & moNichtAngetreten));
}
} // namespace

bool Merge(TWettkampf& target, TWettkampf& source, const TMergeSettings& s) {
    if (IsSingleCompetition(target) != IsSingleCompetition(source)) {
        ShowMessage("Einzel- u. Mannschaftswettkämpfe können nicht gemischt werden"_oem);
        return false;
    }
    long total = 0;
    for (const TAltersklasse& ac : source)
        total += ac.Count();
    ProgressStart("Wettkampf hinzufügen..."_oem, 0, total);
    long done = 0;

    TShortStr<5> code;
    code.Set(s.gliederung);

    while (source.Count() > 0) {
        std::unique_ptr<TAltersklasse> from = source.AtDelete(source.Count() - 1);
        const std::string name = from->Name();

        if ((s.options & moAltersklassen) && !Corresponding(target, *from)) {
            auto fresh = NewAgeClass();
            fresh->Data = from->Data;
            if (target.InsertAgeClass(std::move(fresh)))
                ShowMessage("Altersklasse " + name + " wurde hinzugefügt."_oem);
        }

        if (s.options & moTeilnehmer) {
            if (TAltersklasse* to = Corresponding(target, *from)) {
                int skipped = 0;
                while (from->Count() > 0) {
                    std::unique_ptr<TTeilnehmer> p = from->AtDelete(from->Count() - 1);
                    if (Taken(*p, s.options)) {
                        if (!code.Empty()) p->Gliederung.Set(code.View());
                        if (s.qualify != 0) p->SetFlag(tnDirektQualifiziert, p->Platz <= s.qualify);
                        if (!to->Append(std::move(p))) ++skipped; // the age class is full
                    } else {
                        ++skipped;
                    }
                    ProgressPosition(++done);
                }
                RecalcAgeClass(*to);
                if (skipped > 0)
                    ShowMessage(IntToText(skipped) + " Teilnehmer der Altersklasse " + name +
                                " übersprungen."_oem);
            } else {
                ShowMessage("Altersklasse " + name + " übersprungen."_oem);
            }
        }
    }
    ProgressStart("");
    return true;
}

bool MergeFile(TWettkampf& target, const std::string& fileName, const TMergeSettings& s) {
    std::unique_ptr<TWettkampf> source = Load(fileName);
    if (!source) return false;
    const bool merged = Merge(target, *source, s);
    if (merged) target.Sort();
    return merged;
}

} // namespace vm
