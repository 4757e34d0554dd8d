#include "CObject.h"

#include <map>
#include <mutex>

namespace vantor {

namespace {

std::map<std::string, ClassRegistry::Factory>& Registry() {
    static std::map<std::string, ClassRegistry::Factory> registry;
    return registry;
}

std::mutex& RegistryMutex() {
    static std::mutex m;
    return m;
}

}  // namespace

void ClassRegistry::Register(const std::string& name, Factory factory) {
    std::lock_guard<std::mutex> lock(RegistryMutex());
    Registry()[name] = std::move(factory);
}

std::unique_ptr<CObject> ClassRegistry::Create(const std::string& name) {
    std::lock_guard<std::mutex> lock(RegistryMutex());
    auto it = Registry().find(name);
    if (it == Registry().end()) return nullptr;
    return it->second();
}

bool ClassRegistry::Known(const std::string& name) {
    std::lock_guard<std::mutex> lock(RegistryMutex());
    return Registry().count(name) != 0;
}

}  // namespace vantor
