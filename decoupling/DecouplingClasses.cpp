#include "DecouplingClasses.h"

#include "CCGroup.h"

namespace vantor {

void RegisterDecouplingClasses() {
    ClassRegistry::Register("CCapa", [] { return std::make_unique<CCapa>(); });
    ClassRegistry::Register("CCGroup", [] { return std::make_unique<CCGroup>(); });
}

}  // namespace vantor
