#pragma once
// A guarded step: a step whose failure is swallowed, so the handler carries on with its
// next step. This is the only place where failures are swallowed.
#include <utility>

namespace quorix {

template <class Step> bool guarded(Step &&step) noexcept
{
    try {
        std::forward<Step>(step)();
        return true;
    } catch (...) {
        return false;
    }
}

} // namespace quorix
