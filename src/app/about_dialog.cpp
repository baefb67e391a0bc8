#include "app/about_dialog.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "app/pictures.h"
#include "data/app_strings.h"

namespace fendal::app {

CAboutDialog::CAboutDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle("关于本软件");

    auto* icon = new QLabel(this);
    icon->setPixmap(applicationIcon().pixmap(48, 48));
    icon->setAlignment(Qt::AlignTop | Qt::AlignLeft);

    auto* title = new QLabel(data::kWindowTitle, this);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);

    auto* lines = new QLabel(QString("混凝土裂缝深度超声检测数据的传输、编辑、打印和报告\n"
                                     "版权所有 (C) %1")
                                 .arg(QString(data::kCompanyPane)),
                             this);

    auto* close = new QPushButton("关闭", this);
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    auto* grid = new QGridLayout(this);
    grid->setHorizontalSpacing(16);
    grid->addWidget(icon, 0, 0, 2, 1);
    grid->addWidget(title, 0, 1);
    grid->addWidget(lines, 1, 1);
    grid->addWidget(close, 0, 2, Qt::AlignTop);
    grid->setColumnStretch(1, 1);
    // 237 x 114 dialog units in the default dialog font; a box of fixed size, like the others.
    setFixedSize(sizeHint().expandedTo(QSize(356, 185)));
}

}  // namespace fendal::app
