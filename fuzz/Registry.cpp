// The targets linked into a program, by name.
#include "fuzz/FuzzTarget.h"
#include <map>

namespace fuzz {

static std::map<std::string, TargetFunction>& Targets()
{
    static std::map<std::string, TargetFunction> targets;
    return targets;
}

int RegisterTarget(const char* name, TargetFunction function)
{
    Targets()[name] = function;
    return static_cast<int>(Targets().size());
}

TargetFunction FindTarget(const std::string& name)
{
    auto it = Targets().find(name);
    return it == Targets().end() ? nullptr : it->second;
}

std::vector<std::pair<std::string, TargetFunction>> AllTargets()
{
    return {Targets().begin(), Targets().end()};
}

} // namespace fuzz
