// The main window's printing commands: the print dialog, the printer setup and the
// heat view.
#pragma once

namespace vm::ui {

class TMainForm;

// "&Drucken..." (F4) and the button "Drucken": the print dialog on the open
// competition, its current age class and the marked and current participants.
void CmdDrucken(TMainForm& form);
// "Drucker &einrichten...": the platform's printer setup.
void CmdDruckerEinrichten(TMainForm& form);
// "Lau&f anzeigen..." (Ctrl+Alt+L): the heat view.
void CmdLaufAnzeigen(TMainForm& form);

} // namespace vm::ui
