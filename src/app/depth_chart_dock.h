#pragma once
// The dock window "裂缝深度图": the depth chart of the document's current file. It follows
// every update of the document at once; a click on a bar makes its point current and selects
// its row in the point list.
#include <QDockWidget>

#include "data/fendal_doc.h"

class CFendalView;
class DepthChartWidget;

class DepthChartDock : public QDockWidget, public DocObserver {
    Q_OBJECT
public:
    static constexpr char kTitle[] = "裂缝深度图";

    DepthChartDock(CFendalDoc& doc, CFendalView& view, QWidget* parent = nullptr);
    ~DepthChartDock() override;

    DepthChartWidget* chart() const { return chart_; }

    void onDocumentUpdate(UpdateHint hint) override;
    // The current file or point changed without an update of the document.
    void currentChanged();

signals:
    // A click on the chart made another point current.
    void pointChosen();

private:
    void choosePoint(int point);

    CFendalDoc& doc_;
    CFendalView& view_;
    DepthChartWidget* chart_;
};
