#include "transfer/wait_dlg.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>

using namespace fendal;
using namespace fendal::transfer;

namespace {

int argc = 1;
char arg0[] = "wait_dlg_test";
char* argv[] = {arg0, nullptr};
QApplication& app() {
    static QApplication instance(argc, argv);
    return instance;
}

TEST(WaitDlg, PumpRoleEndsItselfWithOk) {
    app();
    CWaitDlg pump;
    pump.m_placeTopmost = 0;
    bool timedOut = false;
    // A pump that never ends would hang the caller; fail instead.
    QTimer::singleShot(5000, &pump, [&] {
        timedOut = true;
        pump.reject();
    });
    EXPECT_EQ(pump.exec(), QDialog::Accepted);
    EXPECT_FALSE(timedOut);
}

TEST(WaitDlg, NoticeStaysOnTopWithItsText) {
    app();
    CWaitDlg notice;
    EXPECT_EQ(notice.m_placeTopmost, 1);
    EXPECT_EQ(notice.text(), QStringLiteral("正在创建Word报告，请稍候..."));
    notice.setText(QStringLiteral("正在创建Excel报告，请稍候..."));
    notice.show();
    EXPECT_TRUE(notice.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(notice.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(notice.isVisible());
    EXPECT_EQ(notice.text(), QStringLiteral("正在创建Excel报告，请稍候..."));
    // The notice does not end itself.
    QApplication::processEvents();
    QTimer wait;
    wait.start(20);
    while (wait.remainingTime() > 0) QApplication::processEvents();
    EXPECT_TRUE(notice.isVisible());
    EXPECT_EQ(notice.result(), 0);
}

}  // namespace
