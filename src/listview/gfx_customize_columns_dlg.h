#pragma once
// "Customize columns": which defined columns the list shows, and in what order.
#include <QDialog>
#include <functional>
#include <string>

#include "listview/gfx_column_manager.h"

class QListWidget;
class QPushButton;

namespace fendal::listview {

class CGfxCustomizeColumnsDlg : public QDialog {
    Q_OBJECT
public:
    using MessageFn = std::function<void(const std::string&)>;

    CGfxCustomizeColumnsDlg(CGfxColumnManager& columns, MessageFn message, QWidget* parent = nullptr);

    QListWidget* freeList() const { return free_; }
    QListWidget* shownList() const { return shown_; }
    QPushButton* addButton() const { return add_; }
    QPushButton* removeButton() const { return remove_; }
    QPushButton* upButton() const { return up_; }
    QPushButton* downButton() const { return down_; }

    void accept() override;

private:
    void moveSelected(QListWidget* from, QListWidget* to);
    int freePlace(int id) const;
    void moveShown(int step);

    CGfxColumnManager& columns_;
    MessageFn message_;
    QListWidget* free_;
    QListWidget* shown_;
    QPushButton* add_;
    QPushButton* remove_;
    QPushButton* up_;
    QPushButton* down_;
};

}  // namespace fendal::listview
