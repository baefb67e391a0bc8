#include "transfer/wait_dlg.h"

#include <QFrame>
#include <QLabel>

#include "transfer/dialog_units.h"

namespace fendal::transfer {

CWaitDlg::CWaitDlg(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
    setFixedSize(dialog_units::toPixels(this, 0, 0, 187, 67).size());

    auto* frame = new QFrame(this);
    frame->setFrameShape(QFrame::Box);
    frame->setFrameShadow(QFrame::Sunken);
    frame->setGeometry(dialog_units::toPixels(this, 7, 7, 173, 53));

    // The text is centred in its frame rather than placed at fixed units, so a wider font
    // or a longer text still fits.
    m_text = new QLabel(QStringLiteral("正在创建Word报告，请稍候..."), frame);
    m_text->setObjectName(QStringLiteral("waitText"));
    m_text->setAlignment(Qt::AlignCenter);
    m_text->setWordWrap(true);
    m_text->setGeometry(frame->rect().adjusted(4, 4, -4, -4));
}

CWaitDlg::~CWaitDlg() = default;

void CWaitDlg::setText(const QString& text) { m_text->setText(text); }

QString CWaitDlg::text() const { return m_text->text(); }

void CWaitDlg::setVisible(bool visible) {
    // The role is read when the window first appears, so callers can set the flag after
    // construction.
    if (visible && !m_initialised) {
        m_initialised = true;
        if (m_placeTopmost == 1) {
            setWindowFlag(Qt::WindowStaysOnTopHint, true);
        } else {
            m_pumpTimer.start(1);
        }
    }
    QDialog::setVisible(visible);
}

void CWaitDlg::timerEvent(QTimerEvent* event) {
    if (!m_pumpTimer.handle(event)) QDialog::timerEvent(event);
}

}  // namespace fendal::transfer
