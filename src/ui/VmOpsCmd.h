// The commands of the menu "Wettkampf" that run an operation on the whole
// competition, the Gliederungen dialog, the import, and saving under another file type
// with the export's options. Each asks its dialog first and then changes the document
// through the main window's command gate.
#pragma once

#include "file/VmWFile.h"

#include <QString>

namespace vm::ui {

class TMainForm;

void CmdQualifikation(TMainForm& form);    // "&Qualifikation..." Alt+Q
void CmdLaufbesetzung(TMainForm& form);    // "&Laufbesetzung..." Alt+L
void CmdHLWLaufbesetzung(TMainForm& form); // "HLW Laufeinteilung..."
void CmdZuruecksetzen(TMainForm& form);    // "&Zurücksetzen..." Alt+Z
void CmdStreichen(TMainForm& form);        // "&Streichen..." Alt+S
// "&Gliederungen..." (Alt+G): the Gliederungen dialog on a copy of the competition; on
// OK the document takes the copy.
void CmdGliederungen(TMainForm& form);
// "Importieren..." Ctrl+I / Ctrl+F3: a result file is merged, any other file adds its
// participants; the first age class is shown afterwards.
void CmdImportieren(TMainForm& form);
// Save as, once the file name is chosen: the option dialog of the file type where it
// has one (Cancel there writes nothing and answers false), then the save with the
// confirmed options. Answers whether it saved.
bool SaveAsWithOptions(TMainForm& form, const QString& fileName, TFileType fileType);

} // namespace vm::ui
