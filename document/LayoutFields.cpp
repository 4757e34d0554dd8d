#include "LayoutFields.h"

#include <algorithm>
#include <cmath>

#include "Values.h"

namespace vantor {

namespace {

// How the fields show a board: display texts as the dialog shows them, or
// texts that read back exactly.
struct TextForm {
    std::string (*value)(double, const char* unit);
    std::string (*plain)(double);
};

std::string Display(double v, const char* unit) { return FormatValue(v, unit); }
std::string Exact(double v, const char*) { return ExactText(v); }

LayoutFields Fill(const CCircuitBoard& b, const TextForm& form) {
    LayoutFields f;
    f.width = form.value(b.width, "m");
    f.length = form.value(b.length, "m");
    f.planeSpacing = form.value(b.planeSpacing, "m");
    f.mountingDepth = form.value(b.mountingDepth, "m");
    f.metalThickness = form.value(b.metalThickness, "m");
    f.conductivity = form.plain(b.conductivity);
    f.viaSpacing = form.value(b.viaSpacing, "m");
    f.viaDiameter = form.value(b.viaDiameter, "m");
    f.viasPerSide = std::to_string(b.viasPerSide);
    f.epsilonR = form.plain(b.epsilonR);
    f.maxFrequency = form.value(b.maxFrequency, "Hz");
    return f;
}

}  // namespace

LayoutFields LayoutFields::FromBoard(const CCircuitBoard& b) { return Fill(b, {Display, FormatLimit}); }

LayoutFields LayoutFields::FromBoardExact(const CCircuitBoard& b) { return Fill(b, {Exact, ExactText}); }

void LayoutFields::UpdateMaxFrequency() {
    const double w = ParseValue(width);
    const double l = ParseValue(length);
    const double er = ParseValue(epsilonR);
    const double h = ParseValue(planeSpacing);
    const double d = l < w ? w : l;
    double f = 2.7e8 / (2.0 * d * std::sqrt(er));
    if (f > 3e9) f = 3e9;
    if (h <= 6e-5) f = 3e9;
    maxFrequency = FormatValue(f, "Hz");
}

void LayoutFields::OrderSides() {
    if (ParseValue(width) > ParseValue(length)) std::swap(width, length);
}

FieldCheck LayoutFields::Check() const {
    double number = 0.0;
    long long count = 0;
    if (auto e = CheckNumberField(epsilonR, 0.1, 10000.0, LayoutField::EpsilonR, "Epsilon r:", number)) return e;
    if (auto e = CheckIntegerField(viasPerSide, 1, 3, LayoutField::ViasPerSide, "n Vias pro Cap und Seite:", count))
        return e;
    if (auto e = CheckNumberField(conductivity, 0.1, 1e10, LayoutField::Conductivity, "Sigma [MS/m]", number)) return e;

    // An infinite length ("1e309") is as invalid as a zero one.
    const auto positive = [](double v) { return v > 0 && std::isfinite(v); };
    const double longer = std::max(ParseValue(width), ParseValue(length));
    const double shorter = std::min(ParseValue(width), ParseValue(length));
    if (!positive(longer)) return FieldError{LayoutField::Length, "Länge:", kMessageNotPositive};
    if (!positive(shorter)) return FieldError{LayoutField::Width, "Breite:", kMessageNotPositive};
    if (!positive(ParseValue(planeSpacing)))
        return FieldError{LayoutField::PlaneSpacing, "Abstand Vcc <> GND:", kMessageNotPositive};
    const double depth = ParseValue(mountingDepth);
    if (depth < 0) return FieldError{LayoutField::MountingDepth, "Abstand Vcc/GND <> SMD:", kMessageNotPositive};
    if (depth > 0.005) return FieldError{LayoutField::MountingDepth, "Abstand Vcc/GND <> SMD:", kMessageTooThick};
    // The fields without a range still take no infinite value.
    if (auto e = CheckFiniteValue(metalThickness, LayoutField::MetalThickness, "Metallisierungsdicke:")) return e;
    if (auto e = CheckFiniteValue(viaSpacing, LayoutField::ViaSpacing, "Abstand Vcc<>GND-Via:")) return e;
    if (auto e = CheckFiniteValue(viaDiameter, LayoutField::ViaDiameter, "Via-Durchmesser:")) return e;
    return std::nullopt;
}

void LayoutFields::ApplyTo(CCircuitBoard& b) const {
    double number = 0.0;
    long long count = 0;
    ParsePlainNumber(epsilonR, number);
    b.epsilonR = number;
    b.planeSpacing = ParseValue(planeSpacing);
    b.mountingDepth = ParseValue(mountingDepth);
    b.length = std::max(ParseValue(width), ParseValue(length));
    b.width = std::min(ParseValue(width), ParseValue(length));
    b.maxFrequency = ParseValue(maxFrequency);
    b.viaSpacing = ParseValue(viaSpacing);
    ParsePlainInteger(viasPerSide, count);
    b.viasPerSide = static_cast<std::int32_t>(count);
    b.metalThickness = ParseValue(metalThickness);
    ParsePlainNumber(conductivity, number);
    b.conductivity = number;
    b.viaDiameter = ParseValue(viaDiameter);
}

}  // namespace vantor
