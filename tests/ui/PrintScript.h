// Answers the platform's print, printer setup and page setup dialogs from a script,
// in order, and keeps which were asked.
#pragma once

#include "ui/BvPrinter.h"

#include <QPrinter>

#include <deque>
#include <functional>
#include <vector>

namespace vmtest {

class TPrinterScript {
public:
    using TAnswer = std::function<bool(QPrinter&, const vm::ui::TPrintDialogRequest&)>;

    TPrinterScript() {
        vm::ui::SetPrinterDialogHandler([this](vm::ui::TPrinterDialogKind kind, QPrinter& p,
                                               const vm::ui::TPrintDialogRequest& r) {
            asked.push_back(kind);
            requests.push_back(r);
            if (answers.empty()) {
                ++unexpected;
                return false;
            }
            TAnswer a = std::move(answers.front());
            answers.pop_front();
            return a(p, r);
        });
    }
    ~TPrinterScript() { vm::ui::SetPrinterDialogHandler({}); }
    TPrinterScript(const TPrinterScript&) = delete;
    TPrinterScript& operator=(const TPrinterScript&) = delete;

    void Answer(TAnswer a) { answers.push_back(std::move(a)); }
    void Cancel() {
        answers.push_back([](QPrinter&, const vm::ui::TPrintDialogRequest&) { return false; });
    }
    // Confirms the print dialog with all pages, once.
    void PrintAll() {
        answers.push_back([](QPrinter&, const vm::ui::TPrintDialogRequest&) { return true; });
    }

    std::vector<vm::ui::TPrinterDialogKind> asked;
    std::vector<vm::ui::TPrintDialogRequest> requests;
    int unexpected = 0;

private:
    std::deque<TAnswer> answers;
};

// The program's printer as a PDF file printer on A4 portrait, or back to no printer.
inline void UseFilePrinter(const QString& file) {
    QPrinter& p = vm::ui::CurrentPrinter();
    p.setOutputFormat(QPrinter::PdfFormat);
    p.setOutputFileName(file);
    p.setPageSize(QPageSize(QPageSize::A4));
    p.setPageOrientation(QPageLayout::Portrait);
}

inline void UseNoPrinter() {
    vm::ui::CurrentPrinter().setOutputFileName(QString());
}

} // namespace vmtest
