#include "CCircuitBoard.h"

#include <algorithm>

#include "CCGroup.h"
#include "Interaction.h"
#include "LayoutDialog.h"
#include "Values.h"
#include "CLayer.h"

namespace vantor {

namespace {

const char* const kShrinkQuestion =
    "Einige Objekte liegen außerhalb der neuen Dimensionen!\nSollen die Änderungen übernommen und die Objekte "
    "entsprechend verschoben bzw.\nverkleinert werden?";

}  // namespace

CCircuitBoard::CCircuitBoard()
    : CCircuitBoard(0.071, 0.099, 5e-5, 0.001144, 0.0, 4.4, 0.0005, 5.8e7, 3.5e-5, 0.022, 0.0003) {}

CCircuitBoard::CCircuitBoard(double width_, double length_, double planeSpacing_, double mountingDepth_,
                             double /*maxFrequency*/, double epsilonR_, double viaSpacing_, double conductivity_,
                             double metalThickness_, double tanDelta_, double viaDiameter_) {
    viasPerSide = 2;
    epsilonR = epsilonR_;
    planeSpacing = planeSpacing_;
    mountingDepth = mountingDepth_;
    width = width_;
    length = length_;
    viaSpacing = viaSpacing_;
    conductivity = conductivity_;
    metalThickness = metalThickness_;
    tanDelta = tanDelta_;
    viaDiameter = viaDiameter_;
    auto gnd = std::make_unique<CLayer>(this, length, width, "GND");
    gnd->groundFlag = 1;
    layers.push_back(std::move(gnd));
    layers.push_back(std::make_unique<CLayer>(this, length, width, "Vcc"));
    currentLayer = layers.back().get();
    maxFrequency = FirstResonanceEstimate(width, length, epsilonR);
}

CCircuitBoard::CCircuitBoard(const CCircuitBoard& other) : CObject(), BoardStackup(other) {
    for (std::size_t i = 0; i < other.layers.size(); ++i)
        layers.push_back(std::make_unique<CLayer>(this, 0.0, 0.0, ""));
}

CCircuitBoard& CCircuitBoard::operator=(const CCircuitBoard& other) {
    if (this != &other) static_cast<BoardStackup&>(*this) = other;
    return *this;
}

CCircuitBoard::~CCircuitBoard() = default;

void CCircuitBoard::TakeOver(CCircuitBoard& other) {
    if (this == &other) return;
    *this = other;
    std::swap(layers, other.layers);
    std::swap(currentLayer, other.currentLayer);
    LinkLayers();
    other.LinkLayers();
}

bool CCircuitBoard::anyObjectOutside(double newLength, double newWidth) const {
    for (const auto& layer : layers) {
        for (const auto& g : layer->capacitorGroups)
            if (g->posX > newLength || g->posY > newWidth) return true;
        for (const auto& c : layer->cutOuts)
            if (c->x2 > newLength || c->y2 > newWidth) return true;
        for (const auto& p : layer->probes)
            if (p->x > newLength || p->y > newWidth) return true;
    }
    return false;
}

void CCircuitBoard::resizeLayers() {
    const double l = length, w = width;
    for (auto& layer : layers) {
        layer->planeLength = l;
        layer->planeWidth = w;
        for (auto& g : layer->capacitorGroups) {
            g->posX = std::clamp(std::min(g->posX, l), 0.0, l);
            g->posY = std::clamp(std::min(g->posY, w), 0.0, w);
        }
        auto& cuts = layer->cutOuts;
        cuts.erase(std::remove_if(cuts.begin(), cuts.end(), [&](const auto& c) { return c->x1 >= l || c->y1 >= w; }),
                   cuts.end());
        for (auto& c : cuts) {
            c->x2 = std::min(c->x2, l);
            c->y2 = std::min(c->y2, w);
        }
        for (auto& p : layer->probes) {
            p->x = std::min(p->x, l);
            p->y = std::min(p->y, w);
        }
    }
}

CLayer* CCircuitBoard::SolverLayer() {
    for (auto& layer : layers)
        if (layer->name == "Vcc") return layer.get();
    return layers.empty() ? nullptr : layers.back().get();
}

bool CCircuitBoard::editParameters(LayoutDialog& dialog, Interaction& ui) {
    const LayoutFields shown = LayoutFields::FromBoard(*this);
    LayoutFields fields = shown;
    if (!dialog.exec(fields)) return false;
    using F = LayoutFields;
    KeepExactWhereUnchanged(fields, shown, F::FromBoardExact(*this), &F::width, &F::length, &F::planeSpacing,
                            &F::mountingDepth, &F::metalThickness, &F::conductivity, &F::viaSpacing, &F::viaDiameter,
                            &F::epsilonR, &F::maxFrequency);
    // A dialog that hands back unchecked values changes nothing.
    if (fields.Check()) return false;
    fields.OrderSides();
    const double newLength = ParseValue(fields.length);
    const double newWidth = ParseValue(fields.width);
    if ((newLength < length || newWidth < width) && anyObjectOutside(newLength, newWidth) &&
        ui.ask(kShrinkQuestion, Buttons::YesNo) != Answer::Yes)
        return false;
    fields.ApplyTo(*this);
    resizeLayers();
    return true;
}

}  // namespace vantor
