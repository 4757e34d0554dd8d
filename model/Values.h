#pragma once
// Engineering values: the only conversions between physical quantities and
// the text a user reads and types ("100nF", "1.5 nH", "25MHz", "35um").

#include <string>

namespace vantor {

// Constants with the digits the computations use; results and stored
// designs depend on these exact values, so they are not the exact constants.
inline constexpr double kTwoPi = 6.283185308;
inline constexpr double kPi = 3.141592654;
inline constexpr double kPlanePermittivity = 8.859e-12;  // F/m, plane capacitance
inline constexpr double kEpsilon0 = 8.854187817e-12;     // F/m, field solver
inline constexpr double kMu0 = 1.2566370616e-06;         // H/m, field solver

/// Reads engineering notation ("10nF", "1 GHz", "100mOhm", "1mm") into a
/// double in SI base units. Text without a number gives 0.0; never fails.
double ParseValue(std::string text);

/// Formats a value with an SI prefix and the given unit. Precision mode 0 is
/// the compact form ("2.5cm", "100nF"), any other value the four-digit form
/// ("12.50MHz"). Exact halves round away from zero.
std::string FormatValue(double value, const std::string& unit, int precision = 0);

/// Strict reading of a plain decimal number (no prefix, no unit), locale
/// independent; surrounding white space is allowed. Returns false when the
/// text is not one complete number.
bool ParsePlainNumber(const std::string& text, double& value);

/// Strict reading of a plain decimal integer; surrounding white space allowed.
bool ParsePlainInteger(const std::string& text, long long& value);

/// The shortest text that ParseValue reads back as exactly this value
/// ("0.001144", "5e-05"); for scripting, where no display rounding applies.
std::string ExactText(double value);

/// A double written with up to 15 significant digits ("%.15g"), locale free,
/// as the range messages of the dialogs show their limits.
std::string FormatLimit(double value);

}  // namespace vantor
