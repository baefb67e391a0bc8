#include "print/print_set_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <QValidator>
#include <algorithm>

#include "data/app_strings.h"
#include "print/qpainter_canvas.h"
#include "print/settings_preview.h"

namespace fendal::print {

namespace {

class MessageBoxUi : public PrintSetUi {
public:
    explicit MessageBoxUi(QWidget* parent) : parent_(parent) {}
    void showMessage(const std::string& utf8) override {
        QMessageBox::warning(parent_, QString::fromUtf8(data::kAppTitle), QString::fromUtf8(utf8.c_str()));
    }

private:
    QWidget* parent_;
};

const char* const kFormatItems[] = {"1", ".1.", "--1--", "第1页", "共1页   第1页"};
const char* const kPositionItems[] = {"顶部居左", "顶部居中", "顶部居右", "底部居左", "底部居中", "底部居右"};

}  // namespace

GbkByteLimit::GbkByteLimit(std::size_t limit, QObject* parent) : QValidator(parent), limit_(limit), allowed_(limit) {}

void GbkByteLimit::allowStored(const QString& text) { allowed_ = std::max(limit_, gbkLength(text.toStdString())); }

QValidator::State GbkByteLimit::validate(QString& input, int&) const {
    const std::size_t n = gbkLength(input.toStdString());
    if (n <= limit_) {
        allowed_ = limit_;
        return Acceptable;
    }
    if (n > allowed_) return Invalid;
    allowed_ = n;
    return Intermediate;
}

StartPageSpin::StartPageSpin(QWidget* parent) : QSpinBox(parent) {
    setRange(kMinStartPage, kMaxStartPage);
    setWrapping(true);
    lineEdit()->setReadOnly(true);
}

void StartPageSpin::showValue(int value) {
    setRange(std::min(value, kMinStartPage), std::max(value, kMaxStartPage));
    setValue(value);
}

void StartPageSpin::stepBy(int steps) {
    const int v = value();
    if (v >= kMinStartPage && v <= kMaxStartPage) {
        QSpinBox::stepBy(steps);
        return;
    }
    setRange(kMinStartPage, kMaxStartPage);
    setValue(steps > 0 ? kMinStartPage : kMaxStartPage);
}

SettingsPreviewFrame::SettingsPreviewFrame(std::function<PrintSettings()> source, QWidget* parent)
    : QFrame(parent), source_(std::move(source)) {
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setAttribute(Qt::WA_OpaquePaintEvent);  // the miniature covers the whole frame
}

void SettingsPreviewFrame::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    QPainterCanvas canvas(painter, 1.0, 1.0);
    const QRect r = contentsRect();
    drawSettingsPreview(canvas, source_(), {r.left(), r.top(), r.right() + 1, r.bottom() + 1});
}

CPrintSetDlg::CPrintSetDlg(QWidget* parent, PrintSetUi* ui) : QDialog(parent) {
    if (!ui) {
        ownUi_ = std::make_unique<MessageBoxUi>(this);
        ui = ownUi_.get();
    }
    editor_ = std::make_unique<PrintSetEditor>(*ui);
    setWindowTitle(QStringLiteral("打印设置"));
    buildControls();
    editor_->load();
    putValues();
    updateControlStates();
}

CPrintSetDlg::~CPrintSetDlg() = default;

void CPrintSetDlg::buildControls() {
    m_headerEdit = new QLineEdit(this);
    headerLimit_ = new GbkByteLimit(kMaxBandTextBytes, m_headerEdit);
    m_headerEdit->setValidator(headerLimit_);
    m_footerEdit = new QLineEdit(this);
    footerLimit_ = new GbkByteLimit(kMaxBandTextBytes, m_footerEdit);
    m_footerEdit->setValidator(footerLimit_);
    m_formatCombo = new QComboBox(this);
    for (const char* item : kFormatItems) m_formatCombo->addItem(QString::fromUtf8(item));
    m_positionCombo = new QComboBox(this);
    for (const char* item : kPositionItems) m_positionCombo->addItem(QString::fromUtf8(item));
    m_startPageSpin = new StartPageSpin(this);

    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("页眉内容："), m_headerEdit);
    fields->addRow(QStringLiteral("页脚内容："), m_footerEdit);
    fields->addRow(QStringLiteral("页码格式："), m_formatCombo);
    fields->addRow(QStringLiteral("页码位置："), m_positionCombo);
    fields->addRow(QStringLiteral("起始页码："), m_startPageSpin);

    auto* range = new QGroupBox(QStringLiteral("打印范围"), this);
    m_printHeaderCheck = new QCheckBox(QStringLiteral("打印页眉"), range);
    m_printFooterCheck = new QCheckBox(QStringLiteral("打印页脚"), range);
    m_printPageNumberCheck = new QCheckBox(QStringLiteral("打印页码"), range);
    auto* rangeLayout = new QHBoxLayout(range);
    rangeLayout->addWidget(m_printHeaderCheck);
    rangeLayout->addWidget(m_printFooterCheck);
    rangeLayout->addWidget(m_printPageNumberCheck);

    auto* left = new QVBoxLayout;
    left->addLayout(fields);
    left->addWidget(range);
    left->addStretch();

    auto* previewBox = new QGroupBox(QStringLiteral("打印预览"), this);
    m_preview = new SettingsPreviewFrame([this] { return previewValues(); }, previewBox);
    m_preview->setMinimumSize(150, 200);
    auto* previewLayout = new QVBoxLayout(previewBox);
    previewLayout->addWidget(m_preview);

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    m_defaultButton = buttons->addButton(QStringLiteral("默认"), QDialogButtonBox::ResetRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &CPrintSetDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CPrintSetDlg::reject);
    connect(m_defaultButton, &QPushButton::clicked, this, &CPrintSetDlg::onDefault);

    auto* top = new QHBoxLayout;
    top->addLayout(left, 1);
    top->addWidget(previewBox);
    auto* main = new QVBoxLayout(this);
    main->addLayout(top);
    main->addWidget(buttons);

    auto repaintPreview = [this] { m_preview->update(); };
    connect(m_headerEdit, &QLineEdit::textChanged, this, repaintPreview);
    connect(m_footerEdit, &QLineEdit::textChanged, this, repaintPreview);
    connect(m_startPageSpin, &QSpinBox::valueChanged, this, repaintPreview);
    connect(m_formatCombo, &QComboBox::currentIndexChanged, this, repaintPreview);
    connect(m_positionCombo, &QComboBox::currentIndexChanged, this, repaintPreview);
    for (QCheckBox* box : {m_printHeaderCheck, m_printFooterCheck, m_printPageNumberCheck})
        connect(box, &QCheckBox::clicked, this, &CPrintSetDlg::onCheckClicked);
}

void CPrintSetDlg::putValues() {
    const PrintSetControls c = editor_->controls();
    const QString header = QString::fromStdString(c.headerText), footer = QString::fromStdString(c.footerText);
    headerLimit_->allowStored(header);
    m_headerEdit->setText(header);
    footerLimit_->allowStored(footer);
    m_footerEdit->setText(footer);
    m_formatCombo->setCurrentIndex(c.pageNumberFormat);
    m_positionCombo->setCurrentIndex(c.pageNumberPosition);
    m_startPageSpin->showValue(c.startPage);
    m_printHeaderCheck->setChecked(c.printHeader);
    m_printFooterCheck->setChecked(c.printFooter);
    m_printPageNumberCheck->setChecked(c.printPageNumber);
}

PrintSetControls CPrintSetDlg::readControls() const {
    PrintSetControls c;
    c.headerText = m_headerEdit->text().toStdString();
    c.footerText = m_footerEdit->text().toStdString();
    c.startPage = m_startPageSpin->value();
    c.pageNumberFormat = m_formatCombo->currentIndex();
    c.pageNumberPosition = m_positionCombo->currentIndex();
    c.printHeader = m_printHeaderCheck->isChecked();
    c.printFooter = m_printFooterCheck->isChecked();
    c.printPageNumber = m_printPageNumberCheck->isChecked();
    return c;
}

// The miniature follows the controls as they are; a value that OK would refuse is shown as it
// was last valid, and only OK tells the user about it.
PrintSettings CPrintSetDlg::previewValues() const {
    editor_->takeControls(readControls(), false);
    return editor_->values();
}

void CPrintSetDlg::updateControlStates() {
    editor_->takeControls(readControls(), false);
    const PrintSetControlStates states = PrintSetEditor::controlStates(editor_->values());
    m_headerEdit->setEnabled(states.headerEdit);
    m_footerEdit->setEnabled(states.footerEdit);
    m_formatCombo->setEnabled(states.pageNumberControls);
    m_positionCombo->setEnabled(states.pageNumberControls);
    m_startPageSpin->setEnabled(states.pageNumberControls);
}

void CPrintSetDlg::onCheckClicked() {
    m_preview->update();
    updateControlStates();
}

void CPrintSetDlg::onDefault() {
    editor_->restoreDefaults();
    putValues();
    m_preview->update();
    updateControlStates();
}

void CPrintSetDlg::accept() {
    PrintSetEditor::Field failed = PrintSetEditor::Field::None;
    if (editor_->accept(readControls(), &failed)) {
        QDialog::accept();
        return;
    }
    // Back to the control that was refused, as the user will correct it there.
    switch (failed) {
    case PrintSetEditor::Field::HeaderText:
        m_headerEdit->setFocus();
        m_headerEdit->selectAll();
        break;
    case PrintSetEditor::Field::FooterText:
        m_footerEdit->setFocus();
        m_footerEdit->selectAll();
        break;
    case PrintSetEditor::Field::StartPage: m_startPageSpin->setFocus(); break;
    case PrintSetEditor::Field::None: break;
    }
}

}  // namespace fendal::print
