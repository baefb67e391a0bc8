#include "app/depth_chart_dock.h"

#include "analysis/depth_chart_widget.h"
#include "listview/fendal_view.h"
#include "listview/point_list.h"
#include "platform/temp_dir.h"
#include "platform/text.h"

namespace fendal::app {

namespace {
constexpr char kNoFile[] = "请在列表中选择文件";
}  // namespace

DepthChartDock::DepthChartDock(data::CFendalDoc& doc, listview::CFendalView& view, QWidget* parent)
    : QDockWidget(QString::fromUtf8(kTitle), parent), doc_(doc), view_(view) {
    setObjectName("depthChartDock");
    chart_ = new analysis::DepthChartWidget(
        [this] {
            const data::CrackDataFile* file = doc_.fileAt(doc_.currentFile());
            if (!file) return analysis::ChartSource{{}, -1, {}, QString::fromUtf8(kNoFile)};
            return analysis::ChartSource{
                file->points,
                doc_.currentPoint(),
                QString::fromStdString(platform::text::displayPath(platform::fileNamePart(file->path))),
                {}};
        },
        this);
    setWidget(chart_);
    connect(chart_, &analysis::DepthChartWidget::pointClicked, this, &DepthChartDock::choosePoint);
    doc_.addObserver(this);
}

DepthChartDock::~DepthChartDock() { doc_.removeObserver(this); }

void DepthChartDock::onDocumentUpdate(data::UpdateHint) { chart_->update(); }

void DepthChartDock::currentChanged() { chart_->update(); }

void DepthChartDock::choosePoint(int point) {
    const int file = doc_.currentFile();
    if (!doc_.pointAt(file, point)) return;
    doc_.setCurrent(file, point);
    // The row of the point is shown selected, under its file's category opened if need be.
    int flat = -1;
    if (doc_.filePointToFlat(flat, file, point)) {
        int row = view_.core().rowOfValue(flat);
        if (const listview::CGfxCategoryManager* categories = view_.core().categories(); row < 0 && categories) {
            for (int k = 0; k < categories->categoryCount(); ++k) {
                if (listview::pointlist::fileOfCategory(*categories, k) != file) continue;
                if (!categories->category(k).expanded) view_.toggleCategory(k);
                break;
            }
            row = view_.core().rowOfValue(flat);
        }
        if (row >= 0) view_.focusRow(row, true);
    }
    chart_->update();
    emit pointChosen();
}

}  // namespace fendal::app
