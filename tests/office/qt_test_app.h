#pragma once
// The one QApplication of a Qt test executable.
#include <QApplication>

inline QApplication& testApp() {
    static int argc = 1;
    static char arg0[] = "office_qt_tests";
    static char* argv[] = {arg0, nullptr};
    static QApplication instance(argc, argv);
    return instance;
}
