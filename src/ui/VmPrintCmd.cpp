#include "ui/VmPrintCmd.h"

#include "model/VmGlied.h"
#include "ui/BvPrinter.h"
#include "ui/VmGliedDlg.h"
#include "ui/VmLaufAnz.h"
#include "ui/VmMain.h"
#include "ui/VmUiSeam.h"
#include "ui/VmWPrn.h"
#include "ui/VmWkDlg.h"

#include <QCoreApplication>
#include <QItemSelectionModel>
#include <QStatusTipEvent>
#include <QTableView>

#include <algorithm>
#include <climits>

namespace vm::ui {

void CmdDrucken(TMainForm& form) {
    TVmFile* doc = form.Document();
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
    TDruckenDlg dlg(&form);
    dlg.UsePdfInfo(form.PdfInfo());
    dlg.Attach(&doc->Competition(), form.CurrentAgeClass(), last, first, form.CurrentRow());
    ExecDialog(dlg);
    // Where a PDF went that no program could open, on the window's status line; posted,
    // so that it comes after what closing the dialog sends there.
    if (!dlg.StatusText().isEmpty())
        QCoreApplication::postEvent(&form, new QStatusTipEvent(dlg.StatusText()));
}

void CmdDruckerEinrichten(TMainForm& form) {
    ExecPrinterSetupDialog(&form, CurrentPrinter());
}

void CmdLaufAnzeigen(TMainForm& form) {
    if (TVmFile* doc = form.Document()) TLaufanzeigeDlg::Open(&form, doc->Competition());
}

void CmdGliederungen(TMainForm& form) {
    TVmFile* doc = form.Document();
    if (!doc) return;
    std::unique_ptr<TWettkampf> copy;
    {
        TBusyGuard busy;
        // The list of the Gliederungen is brought up to date with the participants
        // before the copy is taken.
        ComputeStatistics(doc->Competition(), smMedaillen);
        copy = CopyCompetition(doc->Competition());
    }
    TGliederungenDlg dlg(&form, std::move(copy));
    if (ExecDialog(dlg) != QDialog::Accepted) return;
    form.RunCommand([&] {
        doc->SetCompetition(dlg.TakeCopy());
        return true;
    });
}

} // namespace vm::ui
