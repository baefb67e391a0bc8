#include "transfer/set_conv_dlg.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>

#include <cstring>

#include "data/app_strings.h"
#include "transfer/dialog_units.h"

namespace fendal::transfer {

namespace {

constexpr int kEndDelayMs = 20;

QMessageBox::Icon boxIcon(data::MsgIcon icon) {
    switch (icon) {
    case data::MsgIcon::Information: return QMessageBox::Information;
    case data::MsgIcon::Question: return QMessageBox::Question;
    case data::MsgIcon::Warning: return QMessageBox::Warning;
    case data::MsgIcon::Error: return QMessageBox::Critical;
    case data::MsgIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

CSetConvDlg::CSetConvDlg(QWidget* parent, UsbDeviceAccess* usb, platform::Profile* profile)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
    if (!usb) {
        m_library = std::make_unique<Ql260DeviceAccess>();
        usb = m_library.get();
    }
    m_usb = usb;
    TransferUi& ui = *this;
    m_transfer = std::make_unique<InstrumentTransfer>(ui, *usb, profile);
    m_transfer->setPortOwner(&m_portOwner);
    buildControls();
}

CSetConvDlg::~CSetConvDlg() {
    // The transfer stops its worker and closes the port while the dialog it reports to, and
    // the transfer itself, still exist.
    m_transfer->onDestroy();
    m_transfer.reset();
}

void CSetConvDlg::buildControls() {
    setWindowTitle(QStringLiteral("数据传输设置"));
    setFixedSize(dialog_units::toPixels(this, 0, 0, 151, 89).size());
    auto place = [this](QWidget* w, int x, int y, int width, int height) {
        w->setGeometry(dialog_units::toPixels(this, x, y, width, height));
    };

    m_okButton = new QPushButton(QStringLiteral("确定"), this);
    m_okButton->setObjectName(QStringLiteral("ok"));
    m_okButton->setDefault(true);
    place(m_okButton, 20, 68, 50, 14);
    auto* cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setObjectName(QStringLiteral("cancel"));
    place(cancel, 80, 68, 50, 14);

    auto* typeLabel = new QLabel(QStringLiteral("端口类型："), this);
    place(typeLabel, 7, 13, 54, 8);
    m_portTypeCombo = new QComboBox(this);
    m_portTypeCombo->setObjectName(QStringLiteral("portType"));
    m_portTypeCombo->addItems({QStringLiteral("USB"), QStringLiteral("串口")});
    place(m_portTypeCombo, 68, 11, 57, 13);

    m_portLabel = new QLabel(QStringLiteral("端口号："), this);
    m_portLabel->setObjectName(QStringLiteral("portNumberLabel"));
    place(m_portLabel, 8, 34, 53, 8);
    m_portCombo = new QComboBox(this);
    m_portCombo->setObjectName(QStringLiteral("portNumber"));
    for (int n = 1; n <= 8; ++n) {
        const QString device = QString::fromStdString(m_transfer->serialPort().portNames().devicePath(n));
        m_portCombo->addItem(QStringLiteral("COM%1").arg(n));
        m_portCombo->setItemData(n - 1, device, Qt::ToolTipRole);
    }
    place(m_portCombo, 68, 33, 57, 13);

    // Which device the transfer uses (the USB device, or what the chosen port number means),
    // and the progress of a running transfer, share the row under the port number.
    m_devicePath = new QLabel(this);
    m_devicePath->setObjectName(QStringLiteral("devicePath"));
    m_devicePath->setEnabled(false);
    place(m_devicePath, 68, 47, 80, 9);
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("progress"));
    m_progress->setTextVisible(false);
    m_progress->hide();
    place(m_progress, 7, 48, 137, 6);

    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    place(line, 1, 58, 149, 1);

    // Every dialog starts from USB with no port number, whatever was chosen before.
    m_portTypeCombo->setCurrentIndex(m_portType);
    m_portCombo->setCurrentIndex(m_portIndex);
    m_portLabel->setEnabled(false);
    m_portCombo->setEnabled(false);
    showDevicePath();

    connect(m_portTypeCombo, &QComboBox::currentIndexChanged, this, &CSetConvDlg::onPortTypeChanged);
    connect(m_portCombo, &QComboBox::currentIndexChanged, this, &CSetConvDlg::showDevicePath);
    connect(m_okButton, &QPushButton::clicked, this, &CSetConvDlg::onOk);
    connect(cancel, &QPushButton::clicked, this, &CSetConvDlg::reject);
}

void CSetConvDlg::exchangeFromControls() {
    m_portType = m_portTypeCombo->currentIndex();
    m_portIndex = m_portCombo->currentIndex();
}

void CSetConvDlg::onPortTypeChanged() {
    exchangeFromControls();
    const bool serial = m_portType != 0;
    m_portLabel->setEnabled(serial);
    m_portCombo->setEnabled(serial);
    m_portCombo->setCurrentIndex(serial ? 0 : -1);
    exchangeFromControls();
}

void CSetConvDlg::showDevicePath() {
    QString device;
    if (m_portTypeCombo->currentIndex() == 0) {
        // The USB device the library finds now: a socket of the virtual instrument or "usb:BUS-PORTS".
        const char* name = m_usb->deviceName(m_transfer->deviceIndex());
        if (name) device = QString::fromLocal8Bit(name, static_cast<int>(strnlen(name, 128)));
    } else if (const int index = m_portCombo->currentIndex(); index >= 0) {
        device = m_portCombo->itemData(index, Qt::ToolTipRole).toString();
    }
    m_devicePath->setText(device);
    m_devicePath->setToolTip(device);
    m_portCombo->setToolTip(m_portTypeCombo->currentIndex() == 0 ? QString() : device);
}

void CSetConvDlg::onOk() {
    exchangeFromControls();
    m_transfer->start(m_portType, m_portIndex);
}

void CSetConvDlg::reject() {
    m_transfer->cancel();
    QDialog::reject();
}

void CSetConvDlg::done(int result) {
    QDialog::done(result);
    m_endTimer.stop();
    m_transfer->onDestroy();
}

void CSetConvDlg::timerEvent(QTimerEvent* event) {
    if (!m_endTimer.handle(event)) QDialog::timerEvent(event);
}

void CSetConvDlg::showMessage(const std::string& text, const std::string& caption, data::MsgIcon icon) {
    QMessageBox box(boxIcon(icon), QString::fromStdString(caption.empty() ? std::string(data::kAppTitle) : caption),
                    QString::fromStdString(text), QMessageBox::Ok, this);
    box.exec();
}

void CSetConvDlg::message(const std::string& text, const std::string& caption, data::MsgIcon icon) {
    m_gate.call([this, text, caption, icon] { showMessage(text, caption, icon); });
}

void CSetConvDlg::enableControls(bool ok, bool portType, bool portNumber) {
    m_okButton->setEnabled(ok);
    m_portTypeCombo->setEnabled(portType);
    m_portCombo->setEnabled(portNumber);
    if (ok) {
        // A start that failed: the device may have gone or come since.
        m_progress->hide();
        showDevicePath();
        m_devicePath->show();
    }
}

void CSetConvDlg::setCaption(const std::string& caption) { setWindowTitle(QString::fromStdString(caption)); }

void CSetConvDlg::startEndTimer() {
    QMetaObject::invokeMethod(
        this, [this] { m_endTimer.start(kEndDelayMs); }, Qt::QueuedConnection);
}

void CSetConvDlg::endWithOk() { accept(); }

void CSetConvDlg::progress(int received, int expected) {
    QMetaObject::invokeMethod(
        this,
        [this, received, expected] {
            m_progress->setMaximum(expected > 0 ? expected : 0);
            m_progress->setValue(received);
            m_progress->show();
            m_devicePath->hide();
        },
        Qt::QueuedConnection);
}

void CSetConvDlg::PortOwner::onPortMessage(unsigned message, unsigned wParam, unsigned lParam) {
    InstrumentTransfer* transfer = m_dialog.m_transfer.get();
    m_dialog.m_gate.call([transfer, message, wParam, lParam] { transfer->onPortMessage(message, wParam, lParam); });
}

void CSetConvDlg::PortOwner::showPortError(const std::string& text) {
    m_dialog.message(text, kPortErrorCaption, data::MsgIcon::Error);
}

}  // namespace fendal::transfer
