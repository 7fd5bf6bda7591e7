// ScriptObserver: what a tool watching the interpreter sees of it (the route explorer). The form
// calls it only when one is attached; in play there is none and nothing changes.
#pragma once

#include <cstdint>

#include "script/script_ops.h"

namespace orva {

class ScriptObserver {
public:
    virtual ~ScriptObserver() = default;
    // Line `step` of script `script` is about to run, its operands resolved.
    virtual void LineRun(int32_t script, int32_t step, const ScriptCommand& cmd) = 0;
    // The random command draws one of `span` outcomes; the observer returns the one to take
    // (0 .. span-1), or -1 to take the generator's.
    virtual int32_t RandomDraw(int32_t span) = 0;
};

}  // namespace orva
