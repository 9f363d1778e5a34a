// Answers the program's boxes, dialogs and file dialogs from a script, in order, and
// keeps what was asked, so that a GUI test reads like the user's session.
#pragma once

#include "ui/VmUiSeam.h"

#include <QDialog>
#include <QString>

#include <deque>
#include <functional>
#include <vector>

namespace vmtest {

class TSeamScript {
public:
    TSeamScript();
    ~TSeamScript();
    TSeamScript(const TSeamScript&) = delete;
    TSeamScript& operator=(const TSeamScript&) = delete;

    // The next box is answered with this button.
    void AnswerBox(QMessageBox::StandardButton b) { boxAnswers.push_back(b); }
    // The next modal dialog is handed to this function, which works it and closes it.
    void OnDialog(std::function<void(QDialog&)> f) { dialogs.push_back(std::move(f)); }
    // The next file dialog answers this name (empty: Cancel) and filter index.
    void AnswerFile(const QString& name, int filterIndex = 1) {
        fileAnswers.push_back({name, filterIndex});
    }

    // What the program showed, in order.
    std::vector<vm::ui::TBoxRequest> boxes;
    std::vector<vm::ui::TFileRequest> fileRequests;
    std::vector<QString> dialogTitles;
    int beeps = 0;
    // Questions and dialogs for which the script had no answer (answered Cancel).
    int unexpected = 0;

    QString LastBoxText() const { return boxes.empty() ? QString() : boxes.back().text; }

private:
    std::deque<QMessageBox::StandardButton> boxAnswers;
    std::deque<std::function<void(QDialog&)>> dialogs;
    std::deque<std::pair<QString, int>> fileAnswers;
};

// Finds a child widget by its object name, or by its text (button, check box, label).
template <class W> W* Find(QWidget* root, const QString& nameOrText);

} // namespace vmtest

#include <QAbstractButton>
#include <QLabel>

namespace vmtest {

template <class W> W* Find(QWidget* root, const QString& nameOrText) {
    for (W* w : root->findChildren<W*>()) {
        if (w->objectName() == nameOrText) return w;
        if constexpr (std::is_base_of_v<QAbstractButton, W>) {
            if (w->text() == nameOrText) return w;
        } else if constexpr (std::is_base_of_v<QLabel, W>) {
            if (w->text() == nameOrText) return w;
        }
    }
    return nullptr;
}

} // namespace vmtest
