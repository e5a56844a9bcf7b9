#include "platform/BlockLooks.h"

#include <QColor>
#include <QFont>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>
#include <limits>

namespace {

// A block's user state tells whether its layout holds the looks of the store; any other value (a
// new block starts at -1) means it must take them afresh.
constexpr int kLooksApplied = 1;
constexpr int kLooksStale = 0;

// Every value a look id can take.
constexpr std::size_t kLookIds = std::size_t(std::numeric_limits<StyleStore::LookId>::max()) + 1;

QColor toColor(COLORREF colour)
{
    return QColor(GetRValue(colour), GetGValue(colour), GetBValue(colour));
}

} // namespace

BlockLooks::BlockLooks(const StyleStore& styles)
    : m_styles(styles)
{
}

void BlockLooks::markStale(const QTextDocument& document, int from, int to)
{
    for (QTextBlock block = document.findBlock(from); block.isValid() && block.position() <= to; block = block.next())
        block.setUserState(kLooksStale);
}

bool BlockLooks::isStale(const QTextBlock& block)
{
    return block.userState() != kLooksApplied;
}

void BlockLooks::apply(QTextBlock block)
{
    const int start = block.position();
    const int end = std::min(start + block.length() - 1, m_styles.size());
    QList<QTextLayout::FormatRange> ranges;
    if (start < end) {
        m_styles.forEachRun(start, end, [&](int from, int to, StyleStore::LookId id) {
            if (id != StyleStore::kDefaultLook)
                ranges.append({from - start, to - from, formatOf(id)});
        });
    }
    block.layout()->setFormats(ranges);
    block.setUserState(kLooksApplied);
}

const QTextCharFormat& BlockLooks::formatOf(StyleStore::LookId id)
{
    if (m_formats.empty() || m_formatsGeneration != m_styles.paletteGeneration()) {
        m_formats.assign(kLookIds, std::nullopt);
        m_formatsGeneration = m_styles.paletteGeneration();
    }
    std::optional<QTextCharFormat>& format = m_formats[id];
    if (!format) {
        const CharacterLook& look = m_styles.look(id);
        format.emplace();
        if (!look.autoColour)
            format->setForeground(toColor(look.colour));
        if (look.bold)
            format->setFontWeight(QFont::Bold);
    }
    return *format;
}
