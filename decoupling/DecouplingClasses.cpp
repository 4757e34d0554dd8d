#include "DecouplingClasses.h"

#include "CCGroup.h"
#include "CMStrip.h"

namespace vantor {

void RegisterDecouplingClasses() {
    ClassRegistry::Register("CCapa", [] { return std::make_unique<CCapa>(); });
    ClassRegistry::Register("CCGroup", [] { return std::make_unique<CCGroup>(); });
    ClassRegistry::Register("CMStrip", [] { return std::make_unique<CMStrip>(); });
}

}  // namespace vantor
