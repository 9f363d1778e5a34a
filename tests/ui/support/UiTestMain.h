// main() of a GUI suite: the program's own application set-up (German locale and
// texts), then the QtTest run of the test object.
#pragma once

#include "ui/VmApp.h"

#include <QTest>

#define VM_UI_TEST_MAIN(TestObject)                                                                \
    int main(int argc, char** argv) {                                                              \
        QApplication app(argc, argv);                                                              \
        vm::ui::SetupApplication(app);                                                             \
        TestObject tc;                                                                             \
        return QTest::qExec(&tc, argc, argv);                                                      \
    }
