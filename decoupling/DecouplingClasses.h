#pragma once

namespace vantor {

/// Makes "CCapa", "CCGroup" and "CMStrip" creatable by name for reading.
void RegisterDecouplingClasses();

}  // namespace vantor
