// Records of the component data and the filter in the document file.
#include "CFilter.h"
#include "CSParaSet.h"
#include "CSParameter.h"
#include "CArchive.h"

namespace vantor {

namespace {

void SerializeComplex(CArchive& ar, Complex& z) {
    double re = z.real(), im = z.imag();
    ar.Double(re);
    ar.Double(im);
    z = {re, im};
}

}  // namespace

void CSParameter::Serialize(CArchive& ar) {
    std::int32_t version = 1;
    ar.Int32(version);
    ar.Double(freq);
    SerializeComplex(ar, s11);
    SerializeComplex(ar, s12);
    SerializeComplex(ar, s21);
    SerializeComplex(ar, s22);
}

void CSParaSet::Serialize(CArchive& ar) {
    std::int32_t version = 1;
    ar.Int32(version);
    ar.Double(maxCurrent);
    ar.Double(fMax);
    ar.Double(fMin);
    ar.Double(nominalL);
    ar.Double(refImpedance);
    ar.Int32(pointCount);
    ar.Int32(formatCode);
    ar.Text(description);
    ar.Text(name);
    ar.Text(partNumber);
    ar.Text(maker);
    ar.Text(dimensions);
    ar.Text(srf);
    ar.Text(comment);
    ar.Text(datasheet);
}

void CFilter::Serialize(CArchive& ar) {
    std::int32_t version = 1;
    ar.Int32(version);
    group.Serialize(ar);
    if (ar.IsStoring()) {
        // The database owns the chosen set; its header goes through a copy.
        CSParaSet header;
        if (const CSParaSet* chosen = SelectedChoke()) header = *chosen;
        header.Serialize(ar);
    } else {
        auto set = std::make_shared<CSParaSet>();
        set->Serialize(ar);
        storedChoke = set->name.empty() ? nullptr : std::move(set);
    }
    SerializeComplex(ar, loadZ);
    SerializeComplex(ar, sourceZ);
    ar.Double(fLower);
    ar.Double(fUpper);
    ar.Double(maxSupplyCurrent);
    ar.Double(minAttenuation);
    ar.Int32(useGroup);
}

void CFilter::AdoptStoredChoke(CSParameterDB& db) {
    if (!storedChoke) return;
    auto set = std::make_unique<CSParaSet>(*storedChoke);
    storedChoke.reset();
    const std::string name = set->name;
    db.AddSet(std::move(set));
    // Either the set just added or the database's own set of that name.
    candidates.push_back(db.Find(name));
    selected = 0;
}

}  // namespace vantor
