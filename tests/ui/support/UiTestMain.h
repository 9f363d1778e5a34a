// main() of a GUI suite: the program's own application object (German locale and
// texts, the exception handler), then the QtTest run of the test object.
#pragma once

#include "ui/VmApp.h"

#include <QTest>

#define VM_UI_TEST_MAIN(TestObject)                                                                \
    int main(int argc, char** argv) {                                                              \
        vm::ui::TVelmoraApp app(argc, argv);                                                       \
        TestObject tc;                                                                             \
        return QTest::qExec(&tc, argc, argv);                                                      \
    }
