// The real main window as the GUI suites open it: shown, active, the grid focused; and
// the few gestures the suites share.
#pragma once

#include "support/UiTestSeam.h"
#include "ui/VmMain.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <functional>
#include <string>

namespace vmtest {

struct TMainWindow {
    explicit TMainWindow(const QString& file = QString()) : form(file) {
        form.show();
        QApplication::setActiveWindow(&form);
        form.Grid()->setFocus();
        QCoreApplication::processEvents();
    }
    explicit TMainWindow(const std::string& file) : TMainWindow(QString::fromStdString(file)) {}

    // The window hands its document out only to read. A suite that sets up a case by
    // writing into it directly does so outside the gate, as no command of the program
    // may; the next command's step then takes that set-up along.
    vm::TVmFile& Doc() { return const_cast<vm::TVmFile&>(*form.Document()); }
    vm::TWettkampf& Competition() { return Doc().Competition(); }
    bool Modified() { return form.Document()->Modified(); }
    // A key in the grid, with the window active again after a dialog.
    void Key(Qt::Key key, Qt::KeyboardModifiers mods) {
        QApplication::setActiveWindow(&form);
        form.Grid()->setFocus();
        QTest::keyClick(form.Grid(), key, mods);
    }

    vm::ui::TMainForm form;
};

// Near the left edge: a check box or radio button reacts only on its box and text.
inline void Click(QAbstractButton* b) {
    QVERIFY(b);
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(qMin(12, b->width() / 2), b->height() / 2));
}

// The next dialog of the script, handled while it is the active window, as the user
// meets it.
inline void OnDialog(TSeamScript& seam, std::function<void(QDialog&)> f) {
    seam.OnDialog([f = std::move(f)](QDialog& d) {
        QApplication::setActiveWindow(&d);
        f(d);
    });
}

// Clicks the push button of a dialog named by its object name or text.
inline void Press(QDialog& d, const QString& button) {
    QPushButton* b = Find<QPushButton>(&d, button);
    QVERIFY2(b, qPrintable(button));
    QTest::mouseClick(b, Qt::LeftButton);
}

// Replaces the text of a spin box or an edit as the user does: select all, type.
inline void Type(QWidget* edit, const QString& text) {
    QVERIFY(edit);
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(edit, text);
}

} // namespace vmtest
