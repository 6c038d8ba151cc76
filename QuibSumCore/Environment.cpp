#include "QuibSumCore/Environment.h"

namespace quibsum {

void Environment::assign(const std::string& name, const Quantity& q) {
    auto [it, inserted] = values.insert_or_assign(name, q);
    (void)it;
    if (!inserted) return;
    if (auto space = name.find(' '); space != std::string::npos) multiWordNames[name.substr(0, space)].push_back(name);
}

}  // namespace quibsum
