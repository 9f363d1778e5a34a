// main() of a GUI suite: the program's own application object (German locale and
// texts, the exception handler), then the QtTest run of the test object.
#pragma once

#include "support/TestSupport.h"
#include "ui/VmApp.h"

#include <QSettings>
#include <QStandardPaths>
#include <QTest>

// Recovery copies of the windows a suite opens go to a folder of the suite's own.
#define VM_UI_TEST_MAIN(TestObject)                                                                \
    int main(int argc, char** argv) {                                                              \
        vmtest::TempDir stateHome;                                                                 \
        qputenv("XDG_STATE_HOME", QByteArray::fromStdString(stateHome.Path().string()));           \
        /* What the program remembers between runs goes to a test folder, emptied */               \
        QStandardPaths::setTestModeEnabled(true);                                                  \
        vm::ui::TVelmoraApp app(argc, argv);                                                       \
        QSettings().clear();                                                                       \
        TestObject tc;                                                                             \
        return QTest::qExec(&tc, argc, argv);                                                      \
    }
