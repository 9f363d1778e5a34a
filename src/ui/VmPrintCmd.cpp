#include "ui/VmPrintCmd.h"

#include "ui/BvPrinter.h"
#include "ui/VmLaufAnz.h"
#include "ui/VmMain.h"
#include "ui/VmUiSeam.h"
#include "ui/VmWPrn.h"

#include <QItemSelectionModel>
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
}

void CmdDruckerEinrichten(TMainForm& form) {
    ExecPrinterSetupDialog(&form, CurrentPrinter());
}

void CmdLaufAnzeigen(TMainForm& form) {
    if (TVmFile* doc = form.Document()) TLaufanzeigeDlg::Open(&form, doc->Competition());
}

} // namespace vm::ui
