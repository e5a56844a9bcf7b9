#pragma once

#include "language/Tokenizer.h"

#include <Qsci/qscilexercustom.h>

#include <QColor>
#include <QFont>

// The colours of the script language on the editor's black background.
namespace script_colours {
inline const QColor kBackground(0x00, 0x00, 0x00);
inline const QColor kGapGreen(0x00, 0xFF, 0x00);
inline const QColor kKeywordBlue(0x00, 0x00, 0xFF);
inline const QColor kCommandGreen(0x00, 0xA4, 0x00);
inline const QColor kCommentYellow(0xFF, 0xFF, 0x00);
inline const QColor kNumberAzure(0x00, 0xA4, 0xFF);
inline const QColor kCharacterLightGreen(0x80, 0xFF, 0x80);
} // namespace script_colours

// How one kind of token shows.
struct TokenLook {
    QColor colour;
    bool bold;

    friend bool operator==(const TokenLook&, const TokenLook&) = default;
};

TokenLook lookOf(TokenKind kind);

// Colours script text for the editor, a stretch of whole lines at a time, whenever the editor is
// about to show text that is not coloured yet. One style number per token kind, and one for the
// mark that stands for the rest of a long line.
class ScriptLexer : public QsciLexerCustom {
    Q_OBJECT

public:
    static constexpr int kCutStyle = kTokenKindCount;

    explicit ScriptLexer(const QFont& font, QObject* parent = nullptr);

    const char* language() const override;
    QString description(int style) const override;
    QColor defaultColor(int style) const override;
    QColor defaultPaper(int style) const override;
    QFont defaultFont(int style) const override;

    void styleText(int start, int end) override;

private:
    QFont m_font;
};
