#pragma once
// The dock window "裂缝深度图": the depth chart of the document's current file. It follows
// every update of the document at once; a click on a bar makes its point current and selects
// its row in the point list.
#include <QDockWidget>

#include "data/fendal_doc.h"

namespace fendal::listview {
class CFendalView;
}
namespace fendal::analysis {
class DepthChartWidget;
}

namespace fendal::app {

class DepthChartDock : public QDockWidget, public data::DocObserver {
    Q_OBJECT
public:
    static constexpr char kTitle[] = "裂缝深度图";

    DepthChartDock(data::CFendalDoc& doc, listview::CFendalView& view, QWidget* parent = nullptr);
    ~DepthChartDock() override;

    analysis::DepthChartWidget* chart() const { return chart_; }

    void onDocumentUpdate(data::UpdateHint hint) override;
    // The current file or point changed without an update of the document.
    void currentChanged();

signals:
    // A click on the chart made another point current.
    void pointChosen();

private:
    void choosePoint(int point);

    data::CFendalDoc& doc_;
    listview::CFendalView& view_;
    analysis::DepthChartWidget* chart_;
};

}  // namespace fendal::app
