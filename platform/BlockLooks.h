#pragma once

#include "platform/StyleStore.h"

#include <QTextBlock>
#include <QTextCharFormat>

#include <optional>
#include <vector>

class QTextDocument;

// Hands the looks of the style store to the layouts of the document's blocks, the way a syntax
// highlighter colours a block: as formats of the block's layout, which leave the text, its undo
// history and its modified flag alone. A block takes its looks only when it is shown, so colouring
// a long script costs nothing for the lines nobody looks at.
class BlockLooks {
public:
    explicit BlockLooks(const StyleStore& styles);

    // The blocks that hold [from, to] take their looks afresh when next shown.
    static void markStale(const QTextDocument& document, int from, int to);
    static bool isStale(const QTextBlock& block);

    // Gives the block's layout the looks of its characters. Its layout must be redone afterwards
    // (QTextDocument::markContentsDirty), which also settles the change that setting formats
    // leaves pending in the document.
    void apply(QTextBlock block);

private:
    const QTextCharFormat& formatOf(StyleStore::LookId id);

    const StyleStore& m_styles;
    // By look id: made when a block first needs the look, forgotten when the palette changes.
    std::vector<std::optional<QTextCharFormat>> m_formats;
    unsigned m_formatsGeneration = 0;
};
