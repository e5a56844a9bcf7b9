#include "app/PlaceHistory.h"

namespace {

void push(std::deque<EditorPlace>& places, const EditorPlace& place)
{
    if (!places.empty() && places.back() == place)
        return;
    places.push_back(place);
    if (places.size() > PlaceHistory::kDepth)
        places.pop_front();
}

std::optional<EditorPlace> step(std::deque<EditorPlace>& from, std::deque<EditorPlace>& to, const EditorPlace& here)
{
    if (from.empty())
        return std::nullopt;
    const EditorPlace next = from.back();
    from.pop_back();
    push(to, here);
    return next;
}

} // namespace

void PlaceHistory::leave(const EditorPlace& from)
{
    push(m_back, from);
    m_forward.clear();
}

std::optional<EditorPlace> PlaceHistory::back(const EditorPlace& here)
{
    return step(m_back, m_forward, here);
}

std::optional<EditorPlace> PlaceHistory::forward(const EditorPlace& here)
{
    return step(m_forward, m_back, here);
}
