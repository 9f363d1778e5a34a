#include "output/VmPdfExport.h"

#include "file/VmErg.h"
#include "output/PdfDevice.h"

namespace vm {

void FillPdfInfo(TPdfInfo& info, const TWettkampf& c) {
    info.Subject = OemToAnsi(c.Header.Veranstaltung.View()) +
                   (IsSingleCompetition(c) ? " - Einzelwettbewerb" : " - Mannschaftswettbewerb");
    info.Author = OemToAnsi(c.Header.Veranstalter.View());
}

bool WriteReportPdf(const TVmReport& report, TStream& stream, const TPdfInfo& info) {
    auto device =
        TPdfDevice::CreateForStream(&report, report.PageWidth, report.PageHeight, &info, stream);
    device->Render(1, report.PageCount());
    return device->Finish();
}

bool WriteResultListPdf(TStream& stream, TWettkampf& c, const TPdfInfo& info) {
    TVmPrintJob job(&c, 0);
    job.SetLandscape(true);
    TVmReport& report = job.BuildResultList(TPrintOptions{});
    return WriteReportPdf(report, stream, info);
}

void InstallPdfExport() {
    SetExportWriter(TSaveFormat::Pdf, [](TStream& stream, TWettkampf& c, const TSaveOptions& o) {
        return WriteResultListPdf(stream, c, o.Pdf);
    });
}

} // namespace vm
