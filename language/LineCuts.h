#pragma once

#include "language/Lexer.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The editor component lays out a changed line whole, at tens of nanoseconds a byte, so a line
// of megabytes would make every keystroke in it take a second. The editor therefore holds a line
// no longer than about kLineReach: the rest of a longer line is kept here, and one mark
// character stands for it in the editor's text. A mark is a character of the Supplementary
// Private Use Areas, the only four-byte characters the editor's text can hold: a script's
// windows-1252 text has none, and what is typed or pasted is taken in the code page first.
//
// Rests are never dropped while the text they belong to lives: undo may bring back a mark that
// an edit removed.
class LineCuts {
public:
    static constexpr std::size_t kMarkBytes = 4;
    // How long a line of the editor's text may grow before it is cut again. Typing in front of a
    // cut moves text into the rest only once another reach's worth has gathered.
    static constexpr std::size_t kLongestShownLine = 2 * kLineReach;

    // Whether a mark starts at `at`.
    static bool isMarkAt(std::string_view text, std::size_t at);
    // Where the cut of `line` (a line without its line end) falls: at kLineReach bytes, moved
    // back to the start of a character.
    static std::size_t cutPoint(std::string_view line);

    // Where `place` of the editor's text stands once [cut, end), the rest of a line, has given way
    // to its mark: a place in what went stays in front of the mark, one from the line's end on
    // moves with the line's end.
    static std::size_t placeAfterCut(std::size_t place, std::size_t cut, std::size_t end);

    // `text` (the editor's text: UTF-8 with CR LF line ends) with each line longer than
    // kLineReach cut there and its rest kept aside, or nothing when no line is; `marks` receives
    // where the marks stand. A line stays whole once no mark is left to give.
    std::optional<std::string> cutLongLines(std::string_view text, std::vector<std::size_t>* marks = nullptr);

    // A mark standing for `rest`, or nothing once every mark has been given out.
    std::string markFor(std::string rest);
    // A mark for the part [begin, end) of what `mark` stands for, sharing its memory.
    std::string markForPart(std::string_view mark, std::size_t begin, std::size_t end);
    // The mark to put in place of `mark` once one character goes from what it stands for: its
    // first (`first`) or its last, as Delete in front of the mark or Backspace behind it would
    // take of the line held whole. Empty once nothing is left; nothing when no mark is left to give.
    std::optional<std::string> markWithoutCharacter(std::string_view mark, bool first);
    // What the mark at the start of `mark` stands for; empty for a mark this did not give.
    std::string_view restOf(std::string_view mark) const;

    // `shown` with each mark replaced by what it stands for, appended to `out`.
    void expandInto(std::string& out, std::string_view shown) const;
    std::string expanded(std::string_view shown) const;

    // Where the marks stand in the editor's text, kept as it changes: an insertion of `length`
    // bytes at `position` moves the marks from there on, and once the inserted text is in
    // place, the marks it brought are found in it.
    void moveForInsertion(std::size_t position, std::size_t length);
    void findMarks(std::size_t position, std::string_view inserted);
    void removeRange(std::size_t position, std::size_t length);
    // The marks of a text just cut by cutLongLines, taking the place of any others.
    void setMarks(std::string_view text, const std::vector<std::size_t>& marks);
    bool holdsMarks() const { return !m_marks.empty(); }

    // Where an offset into the script's text stands in the editor's text; an offset in a rest
    // stands at its mark, and sets `inRest`.
    std::size_t shownPosition(std::size_t scriptOffset, bool* inRest = nullptr) const;
    std::size_t scriptOffset(std::size_t shownPosition) const;
    // Where the rests stand in the script's text: [begin, end) of each, in order.
    std::vector<std::pair<std::size_t, std::size_t>> restRanges() const;
    // Whether a mark stands at `position` of the editor's text.
    bool isMarkAt(std::size_t position) const;
    // The script's text, in the parts it is made of: the editor's text, given in two parts
    // (`first` from 0, `second` straight after), cut around the marks, and the rests between.
    std::vector<std::string_view> scriptParts(std::string_view first, std::string_view second) const;

    // Forgets every rest, for a text that starts anew.
    void clear()
    {
        m_rests.clear();
        m_marks.clear();
    }

private:
    struct Rest {
        std::shared_ptr<const std::string> bytes;
        std::size_t begin = 0;
        std::size_t size = 0;

        std::string_view view() const { return std::string_view(*bytes).substr(begin, size); }
    };
    struct Mark {
        std::size_t position;
        std::uint32_t number;

        friend bool operator<(const Mark& mark, std::size_t position) { return mark.position < position; }
    };

    std::string markFor(Rest rest);
    std::string_view restOf(const Mark& mark) const { return m_rests[mark.number].view(); }

    std::vector<Rest> m_rests;  // by mark number
    std::vector<Mark> m_marks;  // in text order
};
