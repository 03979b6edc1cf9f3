#pragma once
// The general error report: a failure that a handler lets escape ends in one message box
// with the failure's text, and the program goes on. Every handler is entered through
// `reported`, so exceptions never unwind through Qt's own frames.
#include <functional>
#include <optional>
#include <QString>
#include <type_traits>
#include <utility>

namespace quorix {

// Shows the message box (caption "Quorix", stop icon, OK).
void showErrorReport(const QString &text);

// Runs a step and gives the text of what it threw, for a caller that reports it later;
// nothing when it went through.
std::optional<QString> failureOf(const std::function<void()> &step) noexcept;

// Runs a handler body; whatever it throws goes to the general error report.
void runReported(const std::function<void()> &body) noexcept;

// Wraps a handler for connecting to a signal: reported([this] { send(); }). Signal
// arguments the handler does not take are dropped.
template <class F> auto reported(F f)
{
    return [f = std::move(f)](auto &&...args) {
        runReported([&] {
            if constexpr (std::is_invocable_v<const F &, decltype(args)...>)
                f(std::forward<decltype(args)>(args)...);
            else
                f();
        });
    };
}

} // namespace quorix
