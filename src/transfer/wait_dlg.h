#pragma once
// A small caption-less window that tells the user to wait while long work runs.
//
// Two roles, chosen by m_placeTopmost before the dialog is first shown:
//  - 1 (the default): the wait notice. It stays on top of the other windows; create it
//    (modeless), set its text if needed, show() it, do the work, then hide and delete it.
//    Call QCoreApplication::processEvents() after show() (or run a pump instance, below) so it
//    paints before the work blocks the event loop.
//  - 0: the message pump. exec() returns QDialog::Accepted on its own after its first timer
//    tick, so the events that are waiting (the notice's painting) are handled first.
#include <QDialog>

#include "transfer/dialog_end_timer.h"

class QLabel;

namespace fendal::transfer {

class CWaitDlg : public QDialog {
    Q_OBJECT
public:
    explicit CWaitDlg(QWidget* parent = nullptr);
    ~CWaitDlg() override;

    // The notice's text; "正在创建Word报告，请稍候..." until set.
    void setText(const QString& text);
    QString text() const;

    void setVisible(bool visible) override;

    int m_placeTopmost = 1;

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    QLabel* m_text;
    DialogEndTimer m_pumpTimer{*this};
    bool m_initialised = false;
};

}  // namespace fendal::transfer
