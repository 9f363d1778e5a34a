#include "ui/VmPrintCmd.h"

#include "operations/VmPruefung.h"
#include "ui/BvPrinter.h"
#include "ui/VmLaufAnz.h"
#include "ui/VmMain.h"
#include "ui/VmUiSeam.h"
#include "ui/VmWPrn.h"

#include <QCoreApplication>
#include <QAction>
#include <QItemSelectionModel>
#include <QStatusTipEvent>
#include <QTableView>

#include <algorithm>
#include <climits>

namespace vm::ui {

void CmdDrucken(TMainForm& form) {
    const TVmFile* doc = form.Document();
    if (!doc) return;
    int first = form.CurrentRow(), last = first;
    if (QItemSelectionModel* sel = form.Grid() ? form.Grid()->selectionModel() : nullptr) {
        const QModelIndexList rows = sel->selectedIndexes();
        if (!rows.isEmpty()) {
            first = INT_MAX;
            last = 0;
            for (const QModelIndex& i : rows) {
                first = std::min(first, i.row());
                last = std::max(last, i.row());
            }
        }
    }
    // Printing brings the statistics rows up to date before it builds: on a copy, so
    // that a print never changes the document.
    std::unique_ptr<TWettkampf> copy;
    {
        TBusyGuard busy;
        copy = CopyCompetition(doc->Competition());
    }
    TDruckenDlg dlg(&form);
    dlg.UsePdfInfo(form.PdfInfo());
    dlg.Attach(copy.get(), form.CurrentAgeClass(), last, first, form.CurrentRow());
    dlg.OfferChecks(CheckCompetition(doc->Competition()).size());
    ExecDialog(dlg);
    // Where a PDF went that no program could open, on the window's status line; posted,
    // so that it comes after what closing the dialog sends there.
    if (!dlg.StatusText().isEmpty())
        QCoreApplication::postEvent(&form, new QStatusTipEvent(dlg.StatusText()));
    if (dlg.ChecksWanted()) form.Action("actPruefen")->trigger();
}

void CmdDruckerEinrichten(TMainForm& form) {
    ExecPrinterSetupDialog(&form, CurrentPrinter());
}

void CmdLaufAnzeigen(TMainForm& form) {
    // The view keeps a selection list of its own, on a copy that no change of the
    // document can pull away from under it.
    if (const TVmFile* doc = form.Document()) {
        auto copy = CopyCompetition(doc->Competition());
        TLaufanzeigeDlg::Open(&form, *copy);
    }
}

} // namespace vm::ui
