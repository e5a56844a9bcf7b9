#pragma once

#include "platform/RichEditHooks.h"
#include "platform/WinTypes.h"
#include "platform/Wnd.h"

#include <array>
#include <cstdint>
#include <string>

class RichEditWidget;

// Stream formats.
constexpr int SF_TEXT = 0x0001;

// Notification mask bits.
constexpr std::uint32_t ENM_CHANGE = 0x00000001;
constexpr std::uint32_t ENM_SELCHANGE = 0x00080000;
constexpr std::uint32_t ENM_PROTECTED = 0x00200000;

// Character format mask and effect bits.
constexpr std::uint32_t CFM_BOLD = 0x00000001;
constexpr std::uint32_t CFM_PROTECTED = 0x00000010;
constexpr std::uint32_t CFM_CHARSET = 0x08000000;
constexpr std::uint32_t CFM_FACE = 0x20000000;
constexpr std::uint32_t CFM_COLOR = 0x40000000;
constexpr std::uint32_t CFM_SIZE = 0x80000000;
constexpr std::uint32_t CFE_BOLD = 0x00000001;
constexpr std::uint32_t CFE_PROTECTED = 0x00000010;
constexpr std::uint32_t CFE_AUTOCOLOR = 0x40000000;

// A mask bit says the field is valid; when reading a range, that the whole range shares it.
struct CHARFORMAT {
    std::uint32_t dwMask = 0;
    std::uint32_t dwEffects = 0;
    std::int32_t yHeight = 0; // twips
    COLORREF crTextColor = 0;
    std::uint8_t bCharSet = 0;
    std::string szFaceName;
};

constexpr std::uint32_t PFM_TABSTOPS = 0x00000010;
constexpr int MAX_TAB_STOPS = 32;

struct PARAFORMAT {
    std::uint32_t dwMask = 0;
    short cTabCount = 0;
    std::array<std::int32_t, MAX_TAB_STOPS> rgxTabs{}; // twips
};

// Moves one block of bytes: for stream-in the callback fills up to `cb` bytes, for stream-out it
// takes `cb` bytes; `*pcb` receives the count moved. A non-zero result stops the stream.
using EDITSTREAMCALLBACK = std::uint32_t (*)(std::uintptr_t dwCookie, std::uint8_t* pbBuff, long cb,
                                             long* pcb);

struct EDITSTREAM {
    std::uintptr_t dwCookie = 0;
    std::uint32_t dwError = 0;
    EDITSTREAMCALLBACK pfnCallback = nullptr;
};

// Stored in EDITSTREAM::dwError when a stream-out callback accepts no bytes without reporting an
// error of its own, so that a stalled write never looks like a finished one.
constexpr std::uint32_t kStreamStalled = 0xFFFFFFFF;

// The before-change record: the request and the range it is about to change.
struct ENPROTECTED {
    EditRequest msg = EditRequest::Other;
    CHARRANGE chrg;
};

// The rich-text control of the desktop layer: a multi-line editor of 8-bit text (windows-1252),
// one position per byte and one per paragraph end, with a colour and a bold state per character
// kept apart from the text, so that styles never enter the undo history.
//
// Its notifications arrive at the virtual handlers below, which a derived class overrides; each
// base handler is the control's default processing.
class CRichEditCtrl : public CWnd, private RichEditHooks {
public:
    CRichEditCtrl() = default;
    ~CRichEditCtrl() override;

    // The widget that a dialog template creates for this control: no wrapping, both scroll bars,
    // no context menu of its own (the dialog opens one on right-click).
    static QWidget* CreateWidget(QWidget* parent);

    void GetSel(CHARRANGE& cr) const;
    void GetSel(long& nStartChar, long& nEndChar) const;
    // A start of 0 and an end of -1 select everything; positions past the end are cut to it.
    void SetSel(CHARRANGE cr);
    void SetSel(long nStartChar, long nEndChar);
    void HideSelection(BOOL bHide, BOOL bPerm);
    // The selected text; a paragraph end reads as one carriage return.
    std::string GetSelText() const;

    // Returns the mask: CFM_COLOR and CFM_BOLD are set only when the whole selection shares them.
    std::uint32_t GetSelectionCharFormat(CHARFORMAT& cf) const;
    // Changes colour and bold of the selection, nothing else.
    BOOL SetSelectionCharFormat(const CHARFORMAT& cf);
    BOOL SetDefaultCharFormat(const CHARFORMAT& cf);
    BOOL SetParaFormat(const PARAFORMAT& pf);
    std::uint32_t GetEventMask() const;
    std::uint32_t SetEventMask(std::uint32_t dwEventMask);

    // Without bCanUndo the replacement joins the undo step of the edit before it.
    void ReplaceSel(const std::string& text, BOOL bCanUndo = FALSE);

    // -1 stands for the line of the selection's start.
    long LineFromChar(long nIndex) const;
    // First position of line nLine (-1: the line of the selection's start); -1 past the last line.
    int LineIndex(int nLine = -1) const;
    // Length, without its paragraph end, of the line that holds position nLine (-1: selection start).
    int LineLength(int nLine = -1) const;
    long GetTextLength() const;

    // Whether the text changed since the last SetModify(FALSE); styles never count. Undoing back
    // to that point makes it unchanged again.
    BOOL GetModify() const;
    void SetModify(BOOL bModified = TRUE);

    COLORREF SetBackgroundColor(BOOL bSysColor, COLORREF cr);

    // Suspends painting until the matching unlock; calls nest.
    BOOL LockWindowUpdate();
    void UnlockWindowUpdate();

    void Copy();
    void Cut();
    void Paste();
    void Clear();
    BOOL CanUndo() const;
    BOOL CanRedo() const;
    BOOL Undo();
    BOOL Redo();

    // Replaces the whole text through OnSetText; the undo history starts afresh.
    void SetWindowText(const std::string& text);

    // SF_TEXT only. Stream-in takes CR LF, a lone CR and a lone LF each as a paragraph end and
    // leaves the text untouched when the callback fails; stream-out writes paragraph ends as CR LF.
    long StreamIn(int nFormat, EDITSTREAM& es);
    long StreamOut(int nFormat, EDITSTREAM& es) const;

protected:
    bool Attach(QWidget* widget) override;

    // Before-change notification; 0 lets the change go ahead.
    virtual int OnProtected(const ENPROTECTED& info);
    // After every change of text or style.
    virtual void OnChange();
    virtual int OnSelChange();
    // Default processing: replaces the whole text without notifications. Returns TRUE.
    virtual BOOL OnSetText(const std::string& text);
    // Default processing: inserts the character in place of the selection.
    virtual void OnChar(unsigned nChar, unsigned nRepCnt, unsigned nFlags);
    virtual unsigned OnGetDlgCode();

private:
    bool aboutToChange(EditRequest request, CHARRANGE range) override;
    void changed() override;
    void selectionChanged() override;
    void characterTyped(unsigned char character, unsigned repeatCount, unsigned flags) override;
    unsigned dialogCode() override;

    RichEditWidget* widget() const;

    std::uint32_t m_eventMask = 0;
    // Face, size, character set and protection of all text, as last set. Qt picks glyphs by font
    // alone, so the character set is only kept to be read back.
    CHARFORMAT m_defaultFormat;
};
