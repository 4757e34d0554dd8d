// The board's record in the document file.
#include "CCGroup.h"
#include "CArchive.h"
#include "CCircuitBoard.h"
#include "CLayer.h"

namespace vantor {

void CCircuitBoard::LinkLayers() {
    for (auto& layer : layers) layer->LinkTo(this);
}

void CCircuitBoard::Serialize(CArchive& ar) {
    std::int32_t version = 1;
    ar.Int32(version);
    if (ar.IsLoading() && version != 1)
        throw ArchiveError("Unbekannte Version " + std::to_string(version) + " eines Datensatzes CCircuitBoard");
    ar.Double(tanDelta);
    ar.Double(viaSpacing);
    ar.Double(epsilonR);
    ar.Double(maxFrequency);
    ar.Double(planeSpacing);
    ar.Double(mountingDepth);
    ar.Double(length);
    ar.Double(metalThickness);
    ar.Double(conductivity);
    ar.Double(viaDiameter);
    ar.Double(width);
    ar.Int32(viasPerSide);
    if (ar.IsStoring()) {
        ar.WriteCount(layers.size());
        for (auto& layer : layers) ar.WriteObject(layer.get());
        ar.WriteText(currentLayer != nullptr ? currentLayer->name : std::string());
        return;
    }
    const std::size_t n = ar.ReadListCount();
    OwnedList<CLayer> read;
    for (std::size_t i = 0; i < n; ++i) read.push_back(ReadListElement<CLayer>(ar, "CLayer"));
    const std::string active = ar.ReadText();
    layers = std::move(read);
    LinkLayers();
    currentLayer = layers.empty() ? nullptr : layers.back().get();
    for (auto& layer : layers)
        if (layer->name == active) {
            currentLayer = layer.get();
            break;
        }
}

}  // namespace vantor
