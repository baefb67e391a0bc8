#pragma once
// CSetConvDlg: the transfer settings dialog ("数据传输设置"). The operator chooses USB or a
// serial port and its number; OK starts the transfer, which ends the dialog with OK once the
// received-data file is ready. Cancel (or the close box) stops a running transfer first. Keep
// the object until the received data has been read: no other transfer can rewrite it till then.
#include <QDialog>
#include <memory>

#include "transfer/dialog_end_timer.h"
#include "transfer/gui_call_gate.h"
#include "transfer/instrument_transfer.h"

class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
namespace fendal::platform {
class Profile;
}

namespace fendal::transfer {

class CSetConvDlg : public QDialog, private TransferUi {
    Q_OBJECT
public:
    // `usb`: the USB device access; null for the device-access library. `profile`: where the
    // COMn device paths may be set.
    explicit CSetConvDlg(QWidget* parent = nullptr, UsbDeviceAccess* usb = nullptr,
                         platform::Profile* profile = nullptr);
    ~CSetConvDlg() override;

    InstrumentTransfer& transfer() { return *m_transfer; }

    void reject() override;
    // The dialog ends: as its window goes, the transfer closes its port and its file. The
    // transfer, and its lock on the received-data file, go with this object.
    void done(int result) override;

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    // Forwards the serial port's messages to the dialog's thread and waits for them.
    class PortOwner : public SerialPortOwner {
    public:
        PortOwner(CSetConvDlg& dialog) : m_dialog(dialog) {}
        void onPortMessage(unsigned message, unsigned wParam, unsigned lParam) override;
        void showPortError(const std::string& text) override;
        void dropPendingMessages(bool drop) override { m_dialog.m_gate.release(drop); }

    private:
        CSetConvDlg& m_dialog;
    };

    void buildControls();
    void exchangeFromControls();
    void onPortTypeChanged();
    void onOk();
    void showDevicePath();
    void showMessage(const std::string& text, const std::string& caption, data::MsgIcon icon);

    // TransferUi
    void message(const std::string& text, const std::string& caption, data::MsgIcon icon) override;
    void enableControls(bool ok, bool portType, bool portNumber) override;
    void setCaption(const std::string& caption) override;
    void startEndTimer() override;
    void endWithOk() override;
    void progress(int received, int expected) override;
    void releaseWaits(bool release) override { m_gate.release(release); }

    QPushButton* m_okButton = nullptr;
    QComboBox* m_portTypeCombo = nullptr;
    QLabel* m_portLabel = nullptr;
    QComboBox* m_portCombo = nullptr;
    QLabel* m_devicePath = nullptr;
    QProgressBar* m_progress = nullptr;

    int m_portType = 0;
    int m_portIndex = -1;

    GuiCallGate m_gate{this};
    std::unique_ptr<UsbDeviceAccess> m_library;
    UsbDeviceAccess* m_usb = nullptr;
    PortOwner m_portOwner{*this};
    std::unique_ptr<InstrumentTransfer> m_transfer;
    DialogEndTimer m_endTimer{*this};
};

}  // namespace fendal::transfer
