#pragma once

#include <QString>

#include <cstdint>
#include <deque>
#include <optional>

// Where the caret stood in some tab.
struct EditorPlace {
    std::uint64_t document = 0;  // the tab
    QString path;                // to open the script again once its tab is closed; empty if never saved
    long position = 0;           // in the editor's text

    friend bool operator==(const EditorPlace&, const EditorPlace&) = default;
};

// The places jumped from and to, for going back and forward through them as a browser does.
class PlaceHistory {
public:
    static constexpr std::size_t kDepth = 100;

    // A jump leaves `from`: it is where going back returns to, and what lay ahead is forgotten.
    void leave(const EditorPlace& from);
    // The place to go back to from `here`, which going forward returns to; nothing at the start.
    std::optional<EditorPlace> back(const EditorPlace& here);
    std::optional<EditorPlace> forward(const EditorPlace& here);

private:
    std::deque<EditorPlace> m_back;
    std::deque<EditorPlace> m_forward;
};
