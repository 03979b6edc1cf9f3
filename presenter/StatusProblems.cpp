#include "presenter/StatusProblems.h"

namespace quorix {

void StatusProblems::report(Topic topic, const QString &text, std::uint64_t settledBy)
{
    problems_[index(topic)] = {text, settledBy};
    update();
}

void StatusProblems::clear(Topic topic)
{
    problems_[index(topic)] = {};
    update();
}

void StatusProblems::writeSucceeded(std::uint64_t number)
{
    for (Topic topic : {Topic::Folder, Topic::Write}) {
        Problem &p = problems_[index(topic)];
        if (!p.text.isEmpty() && number >= p.settledBy)
            p = {};
    }
    update();
}

QString StatusProblems::text() const
{
    for (const Problem &p : problems_)
        if (!p.text.isEmpty())
            return p.text;
    return {};
}

void StatusProblems::update()
{
    const QString now = text();
    if (now == shown_)
        return;
    shown_ = now;
    emit changed(shown_);
}

} // namespace quorix
