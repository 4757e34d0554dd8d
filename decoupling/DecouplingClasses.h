#pragma once

namespace vantor {

/// Makes "CCapa" and "CCGroup" creatable by name for reading.
void RegisterDecouplingClasses();

}  // namespace vantor
