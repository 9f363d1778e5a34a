#include "support/UiTestSeam.h"

namespace vmtest {

TSeamScript::TSeamScript() {
    vm::ui::SetBoxHandler([this](const vm::ui::TBoxRequest& r) {
        boxes.push_back(r);
        if (boxAnswers.empty()) {
            // A box with only OK needs no answer; a question does.
            if (r.buttons != QMessageBox::Ok) ++unexpected;
            return (r.buttons & QMessageBox::Ok) ? QMessageBox::Ok : QMessageBox::Cancel;
        }
        auto b = boxAnswers.front();
        boxAnswers.pop_front();
        return b;
    });
    vm::ui::SetDialogHandler([this](QDialog& d) {
        dialogTitles.push_back(d.windowTitle());
        if (dialogs.empty()) {
            ++unexpected;
            d.reject();
            return;
        }
        auto f = std::move(dialogs.front());
        dialogs.pop_front();
        f(d);
    });
    vm::ui::SetFileHandler([this](vm::ui::TFileRequest& r) {
        fileRequests.push_back(r);
        if (fileAnswers.empty()) {
            ++unexpected;
            return QString();
        }
        auto [name, index] = fileAnswers.front();
        fileAnswers.pop_front();
        r.filterIndex = index;
        return name;
    });
    vm::ui::SetBeepHandler([this] { ++beeps; });
}

TSeamScript::~TSeamScript() {
    vm::ui::SetBoxHandler({});
    vm::ui::SetDialogHandler({});
    vm::ui::SetFileHandler({});
    vm::ui::SetBeepHandler({});
}

} // namespace vmtest
