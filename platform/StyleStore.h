#pragma once

#include "platform/WinTypes.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

// How one character looks: a colour, or none (the widget's text colour), and a bold state.
struct CharacterLook {
    bool autoColour = true;
    COLORREF colour = 0;
    bool bold = false;

    friend bool operator==(const CharacterLook&, const CharacterLook&) = default;
};

// The look of every text position, one byte each: an index into a small palette of looks. Kept
// beside the text rather than in it, so that a change of look is cheap to test for and never
// reaches the text's undo history.
class StyleStore {
public:
    using LookId = std::uint8_t;
    static constexpr LookId kDefaultLook = 0;

    struct Interval {
        int from = 0;
        int to = 0;
    };

    StyleStore();

    int size() const { return static_cast<int>(m_ids.size()); }

    // Follows a text change at `from`: `removed` positions go, `added` positions come and take the
    // look of the position before them (the first position takes the one after it).
    void splice(int from, int removed, int added);

    // The id for `look`, adding it to the palette. Throws std::length_error when 256 different
    // looks are in use at once.
    LookId intern(const CharacterLook& look);
    const CharacterLook& look(LookId id) const { return m_palette[id]; }
    // Changes whenever an id may have come to stand for another look.
    unsigned paletteGeneration() const { return m_paletteGeneration; }

    LookId lookAt(int position) const { return m_ids[static_cast<std::size_t>(position)]; }
    // The id all of [from, to) share, if they share one.
    std::optional<LookId> uniformLook(int from, int to) const;

    // Gives [from, to) the look `id`; true when any position changed. Changed ranges are
    // remembered until takeChangedRanges().
    bool assign(int from, int to, LookId id);
    // Ranges whose look changed, in ascending order, merged where they touch.
    std::vector<Interval> takeChangedRanges();

    // Calls visit(from, to, id) for each run of equal ids within [from, to).
    template <typename Visit>
    void forEachRun(int from, int to, Visit&& visit) const
    {
        int runStart = from;
        for (int p = from + 1; p <= to; ++p) {
            if (p == to || m_ids[static_cast<std::size_t>(p)] != m_ids[static_cast<std::size_t>(runStart)]) {
                visit(runStart, p, m_ids[static_cast<std::size_t>(runStart)]);
                runStart = p;
            }
        }
    }

private:
    void recycleUnusedLooks();

    std::vector<CharacterLook> m_palette;
    std::vector<LookId> m_ids;
    std::vector<Interval> m_changed;
    unsigned m_paletteGeneration = 0;
};
