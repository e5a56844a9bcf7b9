#include "language/Folding.h"

#include "language/ScriptReader.h"

#include <algorithm>

namespace {

// Fewer comment lines read as a note on the code beside them rather than a passage to fold.
constexpr std::uint32_t kFoldedCommentLines = 3;

} // namespace

std::vector<Fold> foldsOf(const ScriptOutline& outline)
{
    std::vector<Fold> folds;
    folds.reserve(outline.blocks.size() + outline.comments.size());
    for (const BlockSpan& block : outline.blocks) {
        if (block.closeLine > block.headerLine)
            folds.push_back({block.headerLine - 1, block.closeLine - 1});
    }
    for (const CommentLines& run : outline.comments) {
        if (run.last - run.first + 1 >= kFoldedCommentLines)
            folds.push_back({run.first - 1, run.last - 1});
    }
    // Outermost first where headers are shared.
    std::sort(folds.begin(), folds.end(), [](const Fold& a, const Fold& b) {
        return a.header != b.header ? a.header < b.header : a.last > b.last;
    });
    folds.erase(std::unique(folds.begin(), folds.end(), [](const Fold& a, const Fold& b) { return a.header == b.header; }),
                folds.end());
    for (Fold& fold : folds) {
        const auto next = std::lower_bound(folds.begin(), folds.end(), fold.last,
                                           [](const Fold& f, std::uint32_t line) { return f.header < line; });
        if (next != folds.end() && next->header == fold.last && &*next != &fold)
            --fold.last;
    }
    std::erase_if(folds, [](const Fold& fold) { return fold.last <= fold.header; });
    return folds;
}

FoldDepths::Line FoldDepths::next()
{
    while (!m_open.empty() && m_open.back() < m_line)
        m_open.pop_back();
    Line line{std::uint32_t(m_open.size()), false};
    while (m_nextFold < m_folds.size() && m_folds[m_nextFold].header == m_line) {
        line.header = true;
        m_open.push_back(m_folds[m_nextFold++].last);
    }
    ++m_line;
    return line;
}
