#pragma once
#include <QApplication>

// The application object the test main made; widget tests call this to say they need it.
inline QApplication& testApp() { return *static_cast<QApplication*>(QCoreApplication::instance()); }
