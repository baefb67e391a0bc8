#pragma once
// Qt for widget tests: one application object and synthetic mouse and key input.
#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTableView>
#include <QTest>

inline QApplication& qtApp() {
    static int argc = 1;
    static char name[] = "listview_test";
    static char* argv[] = {name, nullptr};
    // Kept until the process ends: destroying it among the static objects crashes Qt.
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

inline void mouseClick(QWidget* target, QPoint pos, Qt::MouseButton button = Qt::LeftButton,
                       Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QMouseEvent press(QEvent::MouseButtonPress, pos, target->mapToGlobal(pos), button, button, modifiers);
    QApplication::sendEvent(target, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, pos, target->mapToGlobal(pos), button, Qt::NoButton, modifiers);
    QApplication::sendEvent(target, &release);
}

inline void pressKey(QWidget* target, int key, const QString& text = {}) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &release);
}

// Clicks the middle of a cell of a table view.
inline void clickCell(QTableView& view, int row, int column, Qt::MouseButton button = Qt::LeftButton) {
    const QRect r = view.visualRect(view.model()->index(row, column));
    mouseClick(view.viewport(), r.center(), button);
}

inline void clickHeader(QTableView& view, int column) {
    QHeaderView* header = view.horizontalHeader();
    QPoint pos(header->sectionViewportPosition(column) + header->sectionSize(column) / 2, header->height() / 2);
    mouseClick(header->viewport(), pos);
}

// Another window takes the keyboard focus, then the widget's window gets it back, through the
// window system as when the user switches windows.
inline bool focusAwayAndBack(QWidget* widget) {
    QWidget other;
    other.resize(120, 60);
    other.show();
    other.activateWindow();
    if (!QTest::qWaitForWindowActive(&other)) return false;
    other.close();
    widget->window()->activateWindow();
    return QTest::qWaitFor([&] { return widget->hasFocus(); }, 5000);
}
