#include "platform/BlockLooks.h"

#include <QColor>
#include <QFont>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>

namespace {

// A block's user state tells whether its layout holds the looks of the store; any other value (a
// new block starts at -1) means it must take them afresh.
constexpr int kLooksApplied = 1;
constexpr int kLooksStale = 0;

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
        m_formats.assign(256, QTextCharFormat());
        m_formatKnown.assign(256, false);
        m_formatsGeneration = m_styles.paletteGeneration();
    }
    if (!m_formatKnown[id]) {
        const CharacterLook& look = m_styles.look(id);
        QTextCharFormat format;
        if (!look.autoColour)
            format.setForeground(toColor(look.colour));
        if (look.bold)
            format.setFontWeight(QFont::Bold);
        m_formats[id] = format;
        m_formatKnown[id] = true;
    }
    return m_formats[id];
}
