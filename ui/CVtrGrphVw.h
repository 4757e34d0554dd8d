#pragma once
// The graph view: the curves of the document over frequency, rebuilt on
// every refresh from the document and the traces tree, with the read-out
// under the mouse and the axis dialogs. Its axis and colours are the
// document's stored record of this view.

#include <QString>
#include <QWidget>

#include "GraphPainter.h"
#include "ViewRecords.h"

namespace vantor::ui {

class CTracesTreeView;
class FormHost;

class CVtrGrphVw : public QWidget, public DocumentView {
    Q_OBJECT
public:
    /// Attaches itself to the host's document; detaches when destroyed. The
    /// tree decides which curves are drawn.
    CVtrGrphVw(FormHost& host, CTracesTreeView& tree, QWidget* parent = nullptr);
    ~CVtrGrphVw() override;

    /// Refreshes the tree, then the curves.
    void OnUpdate(ChangeHint hint) override;
    ViewRecord* Record() override { return &record_; }
    GraphViewRecord& record() { return record_; }

    /// Rebuilds the curves, their axes and the note on mixed units.
    void refresh();

    /// The picture as the screen shows it; for the printer without the
    /// read-out.
    render::GraphPicture picture(bool withReadout) const;
    const QString& readout() const { return picture_.readout; }

    bool targetBand() const { return targetBand_; }
    /// "Zielband": the group's limit lines shaded under the curves; a view
    /// setting kept only while the window is open.
    void setTargetBand(bool on);

    bool logarithmic() const { return logarithmic_; }
    /// Log-log axes on or off; remembered in the settings.
    void setLogarithmic(bool on);

    /// "&Frequenzbereich...": the frequency-range dialog, one undoable step.
    void editFrequencyRange();
    /// "&Y-Achse...": Auto or a fixed top of the Y axis.
    void editYAxis();
    /// "&Exportieren...": asks for a file, then exportTo.
    void exportGraph();
    /// Writes the picture (.png, .svg, .pdf) or the curves (.csv); false
    /// with the reason in error.
    bool exportTo(const QString& path, QString& error) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    /// The person changed the checked curves: refresh, and a message when
    /// they leave curves of different units checked.
    void curvesChosen();

    FormHost& host_;
    CTracesTreeView& tree_;
    GraphViewRecord record_;
    bool yAuto_ = true;
    double yMaximum_ = 2.0;  // Ohm
    bool logarithmic_ = false;
    bool targetBand_ = true;
    render::GraphPicture picture_;  // with the read-out under the mouse
    render::GraphMapping mapping_;  // where the last paint put the plot
};

}  // namespace vantor::ui
