#include "editor/RichEdiT.h"

#include "platform/KeyState.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <exception>

namespace {

// Text that no rule claims.
constexpr COLORREF kGapColour = 0x0000FF00;

constexpr int kTabStopTwips = 720;
constexpr std::int32_t kFontHeightTwips = 200;
constexpr std::uint8_t kEasternEuropeanCharSet = 238;

bool isLetter(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool isDigit(unsigned char c)
{
    return c >= '0' && c <= '9';
}

bool isWordStart(unsigned char c)
{
    return isLetter(c) || c == '_';
}

bool isWordPart(unsigned char c)
{
    return isWordStart(c) || isDigit(c);
}

bool isOperator(unsigned char c)
{
    return c == '(' || c == ')' || c == '{' || c == '}' || c == '=';
}

bool isExponentLetter(unsigned char c)
{
    return c == 'e' || c == 'E' || c == 'd' || c == 'D';
}

std::size_t skipDigits(std::string_view text, std::size_t p)
{
    while (p < text.size() && isDigit(static_cast<unsigned char>(text[p])))
        ++p;
    return p;
}

// The end of the number that starts with the digit at `p`: as much as the run-time library's
// string-to-double conversion takes.
std::size_t numberEnd(std::string_view text, std::size_t p)
{
    p = skipDigits(text, p);
    if (p < text.size() && text[p] == '.')
        p = skipDigits(text, p + 1);
    if (p < text.size() && isExponentLetter(static_cast<unsigned char>(text[p]))) {
        std::size_t digits = p + 1;
        if (digits < text.size() && (text[digits] == '+' || text[digits] == '-'))
            ++digits;
        if (digits < text.size() && isDigit(static_cast<unsigned char>(text[digits])))
            p = skipDigits(text, digits);
    }
    return p;
}

std::size_t wordEnd(std::string_view text, std::size_t p)
{
    while (p < text.size() && isWordPart(static_cast<unsigned char>(text[p])))
        ++p;
    return p;
}

char lowered(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string lowered(std::string_view text)
{
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(), [](char c) { return lowered(c); });
    return result;
}

// `word` with A-Z lowered, kept on the stack for the words a script is made of.
class LoweredWord {
public:
    explicit LoweredWord(std::string_view word)
    {
        if (word.size() > m_buffer.size()) {
            m_long = lowered(word);
            m_view = m_long;
            return;
        }
        std::transform(word.begin(), word.end(), m_buffer.begin(), [](char c) { return lowered(c); });
        m_view = std::string_view(m_buffer.data(), word.size());
    }
    std::string_view view() const { return m_view; }

private:
    std::array<char, 64> m_buffer;
    std::string m_long;
    std::string_view m_view;
};

// Offset of " word " in `list`, the lists' way of matching; the index answers the same for
// anything that can stand between two blanks.
int findInList(const std::string& list, const WordIndex& index, std::string_view word)
{
    if (!word.empty() && word.find(' ') == std::string_view::npos)
        return index.find(word);
    std::string framed;
    framed.reserve(word.size() + 2);
    framed.append(1, ' ').append(word).append(1, ' ');
    const std::size_t found = list.find(framed);
    return found == std::string::npos ? -1 : static_cast<int>(found);
}

} // namespace

CRichEdiT::CRichEdiT()
{
    SetKeywordStyle(0x00FF0000, TRUE);
    SetCommandStyle(0x0000A400, TRUE);
    SetCommentStyle(0x0000FFFF, FALSE);
    SetNumberStyle(0x00FFA400, FALSE);
    SetCharacterStyle(0x0080FF80, FALSE);
}

void CRichEdiT::InitFormat()
{
    PARAFORMAT paragraph;
    paragraph.dwMask = PFM_TABSTOPS;
    paragraph.cTabCount = MAX_TAB_STOPS;
    for (int i = 0; i < MAX_TAB_STOPS; ++i)
        paragraph.rgxTabs[static_cast<std::size_t>(i)] = kTabStopTwips * (i + 1);
    SetParaFormat(paragraph);

    CHARFORMAT character;
    character.dwMask = CFM_SIZE | CFM_FACE | CFM_CHARSET | CFM_PROTECTED | CFM_BOLD;
    character.dwEffects = CFE_PROTECTED;
    character.yHeight = kFontHeightTwips;
    character.bCharSet = kEasternEuropeanCharSet;
    character.szFaceName = "Lucida Console";
    SetDefaultCharFormat(character);

    SetEventMask(ENM_CHANGE | ENM_SELCHANGE | ENM_PROTECTED);
}

void CRichEdiT::SetCommentChar(char chComment)
{
    m_chComment = chComment;
}

void CRichEdiT::AddKeywords(std::string_view list)
{
    m_strKeywords += list;
    m_strKeywordsLower = lowered(m_strKeywords);
    m_keywordIndex.build(m_strKeywordsLower);
}

void CRichEdiT::AddCommands(std::string_view list)
{
    m_strCommands += list;
    m_strCommandsLower = lowered(m_strCommands);
    m_commandIndex.build(m_strCommandsLower);
}

void CRichEdiT::AddCharacterNames(std::string_view list)
{
    m_strCharacterNames += list;
    m_characterNameIndex.build(m_strCharacterNames);
}

void CRichEdiT::SetKeywordStyle(COLORREF crColor, BOOL bBold)
{
    m_styleKeyword = {crColor, bBold};
}

void CRichEdiT::SetCommandStyle(COLORREF crColor, BOOL bBold)
{
    m_styleCommand = {crColor, bBold};
}

void CRichEdiT::SetCommentStyle(COLORREF crColor, BOOL bBold)
{
    m_styleComment = {crColor, bBold};
}

void CRichEdiT::SetNumberStyle(COLORREF crColor, BOOL bBold)
{
    m_styleNumber = {crColor, bBold};
}

void CRichEdiT::SetCharacterStyle(COLORREF crColor, BOOL bBold)
{
    m_styleCharacter = {crColor, bBold};
}

int CRichEdiT::FindKeyword(std::string_view word) const
{
    return findInList(m_strKeywordsLower, m_keywordIndex, LoweredWord(word).view());
}

int CRichEdiT::FindCommand(std::string_view word) const
{
    return findInList(m_strCommandsLower, m_commandIndex, LoweredWord(word).view());
}

int CRichEdiT::FindCharacterName(std::string_view word) const
{
    return findInList(m_strCharacterNames, m_characterNameIndex, word);
}

void CRichEdiT::SetRangeStyle(int nStart, int nEnd, BOOL bBold, COLORREF crColor)
{
    if (nStart >= nEnd)
        return;
    SetSel(nStart, nEnd);
    const bool bold = bBold != FALSE;
    CHARFORMAT current;
    GetSelectionCharFormat(current);
    const bool colourMatches = (current.dwMask & CFM_COLOR) && !(current.dwEffects & CFE_AUTOCOLOR)
        && current.crTextColor == crColor;
    const bool boldMatches = (current.dwMask & CFM_BOLD) && ((current.dwEffects & CFE_BOLD) != 0) == bold;
    if (colourMatches && boldMatches)
        return;
    CHARFORMAT style;
    style.dwMask = CFM_COLOR | CFM_BOLD;
    style.dwEffects = bold ? CFE_BOLD : 0;
    style.crTextColor = crColor;
    SetSelectionCharFormat(style);
}

void CRichEdiT::CorrectCase(int nStart, int nEnd, const std::string& text)
{
    if (!m_bCaseCorrection)
        return;
    SetSel(nStart, nEnd);
    ReplaceSel(text, FALSE);
}

void CRichEdiT::FormatRange(int nStart, int nEnd)
{
    if (nStart >= nEnd)
        return;
    m_bFormatting = TRUE;
    CHARRANGE saved;
    GetSel(saved);
    LockWindowUpdate();
    HideSelection(TRUE, FALSE);
    try {
        SetSel(nStart, nEnd);
        Scan(GetSelText(), nStart);
    } catch (const std::exception&) {
        // Out of memory or of looks: the pass stops here and the colours set so far stay.
    }
    SetSel(saved);
    HideSelection(FALSE, FALSE);
    UnlockWindowUpdate();
    m_bFormatting = FALSE;
}

void CRichEdiT::Scan(const std::string& text, int nStart)
{
    const std::string_view view(text);
    std::size_t gap = 0;
    std::size_t p = 0;
    const auto at = [nStart](std::size_t offset) { return nStart + static_cast<int>(offset); };
    const auto styleGap = [&] { SetRangeStyle(at(gap), at(p), FALSE, kGapColour); };
    const auto token = [&](std::size_t to, const TokenStyle& style) {
        styleGap();
        SetRangeStyle(at(p), at(to), style.bBold, style.crColor);
        gap = p = to;
    };
    // A list entry's own spelling replaces the word, unless the word already has it.
    const auto correct = [&](std::size_t to, std::string_view list, int offset) {
        const std::string_view spelling = list.substr(static_cast<std::size_t>(offset) + 1, to - p);
        if (view.substr(p, to - p) != spelling)
            CorrectCase(at(p), at(to), std::string(spelling));
    };
    while (p < view.size()) {
        const auto c = static_cast<unsigned char>(view[p]);
        if (static_cast<char>(c) == m_chComment) {
            const std::size_t lineEnd = view.find('\r', p);
            token(lineEnd == std::string_view::npos ? view.size() : lineEnd, m_styleComment);
        } else if (isOperator(c)) {
            token(p + 1, m_styleKeyword);
        } else if (isDigit(c)) {
            token(numberEnd(view, p), m_styleNumber);
        } else if (isWordStart(c)) {
            const std::size_t end = wordEnd(view, p);
            const std::string_view word = view.substr(p, end - p);
            if (const int keyword = FindKeyword(word); keyword >= 0) {
                correct(end, m_strKeywords, keyword);
                token(end, m_styleKeyword);
            } else if (const int command = FindCommand(word); command >= 0) {
                correct(end, m_strCommands, command);
                token(end, m_styleCommand);
            } else if (FindCharacterName(word) >= 0) {
                token(end, m_styleCharacter);
            } else {
                p = end;
            }
        } else {
            ++p;
        }
    }
    styleGap();
}

void CRichEdiT::FormatLines(int nFrom, int nTo)
{
    const int first = LineIndex(static_cast<int>(LineFromChar(nFrom)));
    const int lastStart = LineIndex(static_cast<int>(LineFromChar(nTo)));
    FormatRange(first, lastStart + LineLength(lastStart));
}

void CRichEdiT::FormatAll()
{
    FormatRange(0, static_cast<int>(GetTextLength()));
}

int CRichEdiT::OnProtected(const ENPROTECTED& info)
{
    m_nChangeKind = ClassifyChange(info.msg, m_nChangeKind);
    if (info.msg != EditRequest::SetCharFormat && m_nChangeKind != ChangeMove)
        m_chrgChange = info.chrg;
    return 0;
}

void CRichEdiT::OnChange()
{
    if (m_bFormatting)
        return;
    CHARRANGE selection;
    GetSel(selection);
    const int s = selection.cpMin;
    const int e = selection.cpMax;
    if (m_nChangeKind == ChangeMove && s == e)
        m_nChangeKind = ChangePaste;
    switch (m_nChangeKind) {
    case ChangeNone:
    case ChangeDelete:
    case ChangeBackspace:
    case ChangeCut:
        FormatLines(s, e);
        break;
    case ChangeInsert:
    case ChangePaste:
        FormatLines(m_chrgChange.cpMin, e);
        break;
    case ChangeMove: {
        const CHARRANGE taken = m_chrgChange;
        FormatLines(s, e);
        // Where the text was taken out: its start, unless the moved text now stands before it.
        const int x = s > taken.cpMin ? taken.cpMin : taken.cpMax;
        FormatLines(x, x);
        break;
    }
    default:
        FormatAll();
        break;
    }
    m_nChangeKind = ChangeNone;
}

int CRichEdiT::OnSelChange()
{
    return 0;
}

BOOL CRichEdiT::OnSetText(const std::string& text)
{
    const BOOL result = CRichEditCtrl::OnSetText(text);
    FormatAll();
    return result;
}

void CRichEdiT::OnChar(unsigned nChar, unsigned nRepCnt, unsigned nFlags)
{
    if (nChar == VK_TAB && GetKeyState(VK_CONTROL) >= 0) {
        // Its own undo step: a Tab taken back alone, not with the edit before it.
        ReplaceSel("\t", TRUE);
        return;
    }
    CRichEditCtrl::OnChar(nChar, nRepCnt, nFlags);
}

unsigned CRichEdiT::OnGetDlgCode()
{
    CRichEditCtrl::OnGetDlgCode();
    return DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTALLKEYS | DLGC_WANTCHARS;
}
