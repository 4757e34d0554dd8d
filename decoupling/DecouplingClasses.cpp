#include "decoupling/DecouplingClasses.h"

#include "decoupling/CCGroup.h"
#include "decoupling/CMStrip.h"

namespace vantor {

void RegisterDecouplingClasses() {
    ClassRegistry::Register("CCapa", [] { return std::make_unique<CCapa>(); });
    ClassRegistry::Register("CCGroup", [] { return std::make_unique<CCGroup>(); });
    ClassRegistry::Register("CMStrip", [] { return std::make_unique<CMStrip>(); });
}

}  // namespace vantor
