// main() of a GUI suite: the program's own application object (German locale and
// texts, the exception handler), then the QtTest run of the test object.
#pragma once

#include "ui/VmApp.h"

#include <QSettings>
#include <QStandardPaths>
#include <QTest>

#define VM_UI_TEST_MAIN(TestObject)                                                                \
    int main(int argc, char** argv) {                                                              \
        /* What the program remembers between runs goes to a test folder, emptied */               \
        QStandardPaths::setTestModeEnabled(true);                                                  \
        vm::ui::TVelmoraApp app(argc, argv);                                                       \
        QSettings().clear();                                                                       \
        TestObject tc;                                                                             \
        return QTest::qExec(&tc, argc, argv);                                                      \
    }
