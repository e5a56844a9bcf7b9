#pragma once

#include "editor/ChangeKind.h"
#include "editor/WordIndex.h"
#include "platform/RichEditCtrl.h"

#include <string>
#include <string_view>

// A colour and a bold state.
struct TokenStyle {
    COLORREF crColor = 0;
    BOOL bBold = FALSE;
};

// The script editor: colours keywords, operator characters, command names, character names,
// numbers and comments, rewrites keywords and commands in their list's letter case, and after
// every edit recolours the lines the edit touched.
class CRichEdiT : public CRichEditCtrl {
public:
    CRichEdiT();

    // Tab stops, default character format and the notifications the change tracking needs.
    void InitFormat();
    void SetCommentChar(char chComment);

    // Each list is entries framed by blanks; a second call appends.
    void AddKeywords(std::string_view list);
    void AddCommands(std::string_view list);
    void AddCharacterNames(std::string_view list);

    void SetKeywordStyle(COLORREF crColor, BOOL bBold);
    void SetCommandStyle(COLORREF crColor, BOOL bBold);
    void SetCommentStyle(COLORREF crColor, BOOL bBold);
    void SetNumberStyle(COLORREF crColor, BOOL bBold);
    void SetCharacterStyle(COLORREF crColor, BOOL bBold);

    // Offset in the list of the blank in front of the matching entry, or -1.
    int FindKeyword(std::string_view word) const;
    int FindCommand(std::string_view word) const;
    int FindCharacterName(std::string_view word) const;

    void SetRangeStyle(int nStart, int nEnd, BOOL bBold, COLORREF crColor);
    void CorrectCase(int nStart, int nEnd, const std::string& text);

    void FormatRange(int nStart, int nEnd);
    void FormatLines(int nFrom, int nTo);
    void FormatAll();

protected:
    int OnProtected(const ENPROTECTED& info) override;
    void OnChange() override;
    int OnSelChange() override;
    BOOL OnSetText(const std::string& text) override;
    void OnChar(unsigned nChar, unsigned nRepCnt, unsigned nFlags) override;
    unsigned OnGetDlgCode() override;

private:
    void Scan(const std::string& text, int nStart);

    BOOL m_bCaseCorrection = TRUE;
    char m_chComment = '\x01';
    std::string m_strKeywords;
    std::string m_strKeywordsLower;
    std::string m_strCommands;
    std::string m_strCommandsLower;
    std::string m_strCharacterNames;
    TokenStyle m_styleComment;
    TokenStyle m_styleNumber;
    TokenStyle m_styleKeyword;
    TokenStyle m_styleCommand;
    TokenStyle m_styleCharacter;
    BOOL m_bFormatting = FALSE;
    int m_nChangeKind = ChangeNone;
    CHARRANGE m_chrgChange;

    WordIndex m_keywordIndex;
    WordIndex m_commandIndex;
    WordIndex m_characterNameIndex;
};
