// The result list as a PDF file: the export behind "Speichern unter..." with the PDF
// file type (landscape A4), and the writing of any built report as PDF.
#pragma once

#include "base/BvBase.h"
#include "model/VmWettk.h"
#include "output/PdfWriter.h"
#include "print/VmReport.h"

#include <string>

namespace vm {

// The options step before a PDF export: Subject becomes the competition's name +
// " - Einzelwettbewerb" or " - Mannschaftswettbewerb", Author its organiser, both
// converted to the Windows character set. Title and keywords stay.
void FillPdfInfo(TPdfInfo& info, const TWettkampf& c);

// Renders every page of the report onto the open stream (which stays open) with the
// report's page size; false when a write failed.
bool WriteReportPdf(const TVmReport& report, TStream& stream, const TPdfInfo& info);

// Builds the result list with the print dialog's default options on landscape A4
// (2970 x 2100) and writes it as PDF onto the stream.
bool WriteResultListPdf(TStream& stream, TWettkampf& c, const TPdfInfo& info);

// Registers the writer of the PDF save format: the result list with the save's PDF
// information as it stands (the front end has run the options step on it). Called once
// by each front end at start-up.
void InstallPdfExport();

} // namespace vm
