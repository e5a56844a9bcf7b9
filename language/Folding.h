#pragma once

#include <cstdint>
#include <vector>

struct ScriptOutline;

// Lines that fold away under the first of them, counted from 0 as the editor counts lines: the
// lines after `header` up to `last` hide when it folds.
struct Fold {
    std::uint32_t header;
    std::uint32_t last;

    friend bool operator==(const Fold&, const Fold&) = default;
};

// What folds in a script: the body of each function, each `{ }` block that spans lines and each
// run of three or more lines holding only comments. In order of their headers, each either
// inside another or apart from it: a fold that would end on the header of the next, as the `if`
// block of `} else {` does, ends on the line before, and of several folds on one header the
// outermost stands.
std::vector<Fold> foldsOf(const ScriptOutline& outline);

// How deep each line lies in the folds, and whether one starts on it, line after line from the
// first: what the editor's fold margin is told of each line.
class FoldDepths {
public:
    struct Line {
        std::uint32_t depth;  // how many folds hide the line when they fold
        bool header;
    };

    explicit FoldDepths(const std::vector<Fold>& folds) : m_folds(folds) {}

    // The next line, from line 0 on.
    Line next();

private:
    const std::vector<Fold>& m_folds;
    std::vector<std::uint32_t> m_open;  // the last lines of the folds the line is in
    std::size_t m_nextFold = 0;
    std::uint32_t m_line = 0;
};
