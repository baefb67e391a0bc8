#pragma once
#include <QApplication>

// One application object for all widget tests of this executable.
inline QApplication& testApp() {
    static int argc = 1;
    static char name[] = "print_qt_tests";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    return app;
}
