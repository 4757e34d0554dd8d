#include "CVtrGrphVw.h"

#include <algorithm>

#include <QFileDialog>
#include <QFileInfo>
#include <QMouseEvent>
#include <QPainter>
#include <QSettings>
#include <QTimer>

#include "CEditFreqDlg.h"
#include "CTracesTreeView.h"
#include "CVtrDoc.h"
#include "CYaxisDlg.h"
#include "SaveBytes.h"
#include "FormHost.h"
#include "FrequencyRangeFields.h"
#include "GraphTraces.h"
#include "MainFormLogic.h"
#include "TargetBandPainter.h"

namespace vantor::ui {

namespace {

constexpr const char* kLogSetting = "graph/logarithmicAxes";
/// Exported pictures: 1.33 wide to high, as printed.
constexpr QSize kExportSize(1596, 1200);

}  // namespace

CVtrGrphVw::CVtrGrphVw(FormHost& host, CTracesTreeView& tree, QWidget* parent)
    : QWidget(parent), host_(host), tree_(tree) {
    setAccessibleName(QStringLiteral("Grafik"));
    setMouseTracking(true);
    setMinimumSize(200, 150);
    logarithmic_ = QSettings().value(QLatin1String(kLogSetting), false).toBool();
    host_.document().AddView(*this);
    connect(&tree_, &CTracesTreeView::tracesChanged, this, &CVtrGrphVw::curvesChosen);
}

CVtrGrphVw::~CVtrGrphVw() { host_.document().RemoveView(*this); }

void CVtrGrphVw::OnUpdate(ChangeHint) {
    tree_.refresh(host_.document());
    refresh();
}

void CVtrGrphVw::refresh() {
    const CVtrDoc& doc = host_.document();
    BusyScope busy(host_.interaction());
    GraphViewRecord& r = record_;
    if (r.stepCount > 0) r.frequencyStep = (r.lastFrequency - r.firstFrequency) / r.stepCount;
    std::vector<CGraphTrace> traces = BuildGraphTraces(doc, r.firstFrequency, r.lastFrequency, r.stepCount,
                                                       logarithmic_);
    for (CGraphTrace& t : traces) t.visible = tree_.isChecked(t.name) ? 1 : 0;
    const TargetBand band = GroupTargetBand(BandGroup(doc));
    picture_ = targetBand_ && band.HasTargets()
                   ? render::MakeBandPicture(std::move(traces), logarithmic_, band, yAuto_, yMaximum_)
                   : render::MakeGraphPicture(std::move(traces), logarithmic_, yAuto_, yMaximum_);
    std::copy(r.colours.begin(), r.colours.end(), picture_.colours.begin());
    update();
}

void CVtrGrphVw::curvesChosen() {
    refresh();
    // Only the person's own choice of curves earns a message box: a change
    // made elsewhere (a choke search, an opened design) must not interrupt
    // work in another window, and the note in the plot tells the rest. It
    // comes after the click is done, when the mix still stands.
    if (picture_.note.isEmpty()) return;
    QTimer::singleShot(0, this, [this] {
        if (!picture_.note.isEmpty()) host_.interaction().message(kMessageUnitsDiffer, MessageKind::Warning);
    });
}

render::GraphPicture CVtrGrphVw::picture(bool withReadout) const {
    render::GraphPicture p = picture_;
    if (!withReadout) p.readout.clear();
    return p;
}

void CVtrGrphVw::setLogarithmic(bool on) {
    if (on == logarithmic_) return;
    logarithmic_ = on;
    QSettings().setValue(QLatin1String(kLogSetting), on);
    refresh();
}

void CVtrGrphVw::setTargetBand(bool on) {
    if (on == targetBand_) return;
    targetBand_ = on;
    refresh();
}

void CVtrGrphVw::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    mapping_ = render::RenderGraph(painter, QRectF(rect()), picture_);
}

void CVtrGrphVw::mouseMoveEvent(QMouseEvent* event) {
    QString text;
    const QPointF at = event->position();
    if (mapping_.plot().contains(at) && !picture_.traces.empty()) {
        const CVtrDoc& doc = host_.document();
        const auto [x, y] = mapping_.toValues(at);
        // The resonating C means nothing while no impedance curve is shown.
        const bool impedance = std::any_of(picture_.traces.begin(), picture_.traces.end(),
                                           [](const CGraphTrace& t) { return t.visible && t.yUnit == "Ohm"; });
        text = QString::fromStdString(
            MouseReadout(x, y, picture_.scale.limits, impedance ? doc.currentGroup() : nullptr, doc.board()));
    }
    if (text != picture_.readout) {
        picture_.readout = text;
        update();
    }
}

void CVtrGrphVw::leaveEvent(QEvent*) {
    if (picture_.readout.isEmpty()) return;
    picture_.readout.clear();
    update();
}

void CVtrGrphVw::editFrequencyRange() {
    CVtrDoc& doc = host_.document();
    CEditFreqDlg dialog(FmaxFieldText(ReachedFmax(doc.optimisationGroup())), host_.interaction(), this);
    FrequencyRangeFields fields = FrequencyRangeFields::FromGraph(record_);
    if (!dialog.exec(fields)) return;
    host_.runCommand(QStringLiteral("Frequenzbereich"), [&] {
        fields.ApplyTo(record_);
        doc.UpdateAllViews(ChangeHint::ViewState);
    });
}

void CVtrGrphVw::editYAxis() {
    CYaxisDlg dialog(host_.interaction(), this);
    YAxisFields fields = YAxisFields::From(yAuto_, yMaximum_);
    if (!dialog.exec(fields)) return;
    fields.ApplyTo(yAuto_, yMaximum_);
    host_.document().UpdateAllViews(ChangeHint::ViewState);
}

void CVtrGrphVw::exportGraph() {
    const QString png = QStringLiteral("PNG-Bild (*.png)"), svg = QStringLiteral("SVG-Grafik (*.svg)"),
                  pdf = QStringLiteral("PDF-Dokument (*.pdf)"), csv = QStringLiteral("Kurven als CSV (*.csv)");
    QString filter = png;
    QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Exportieren"), QStringLiteral("Grafik.png"),
                                                QStringList{png, svg, pdf, csv}.join(QStringLiteral(";;")), &filter);
    if (path.isEmpty()) return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QLatin1Char('.') + filter.section(QLatin1String("*."), 1).chopped(1);
    QString error;
    if (!exportTo(path, error)) host_.interaction().message(error.toStdString(), MessageKind::Error);
}

bool CVtrGrphVw::exportTo(const QString& path, QString& error) const {
    if (QFileInfo(path).suffix().compare(QLatin1String("csv"), Qt::CaseInsensitive) != 0)
        return render::WriteGraphPicture(picture(false), path, kExportSize, error);
    return render::SaveBytes(QByteArray::fromStdString(GraphTracesCsv(picture_.traces)), path, error);
}

}  // namespace vantor::ui
