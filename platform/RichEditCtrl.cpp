#include "platform/RichEditCtrl.h"

#include "platform/Cp1252.h"
#include "platform/RichEditWidget.h"
#include "platform/StyleStore.h"

#include <QFont>
#include <QPalette>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextOption>

#include <algorithm>
#include <utility>
#include <vector>

namespace {

constexpr long kStreamBlockSize = 64 * 1024;
constexpr int kTwipsPerInch = 1440;
constexpr int kTwipsPerPoint = 20;
// The spacing of the tab stops after the last one set.
constexpr int kDefaultTabTwips = 720;

COLORREF toColorRef(const QColor& color)
{
    return RGB(static_cast<std::uint8_t>(color.red()), static_cast<std::uint8_t>(color.green()),
               static_cast<std::uint8_t>(color.blue()));
}

} // namespace

CRichEditCtrl::~CRichEditCtrl()
{
    if (RichEditWidget* editor = widget())
        editor->setHooks(nullptr);
}

QWidget* CRichEditCtrl::CreateWidget(QWidget* parent)
{
    return new RichEditWidget(parent);
}

bool CRichEditCtrl::Attach(QWidget* widget)
{
    auto* editor = qobject_cast<RichEditWidget*>(widget);
    if (!editor)
        return false;
    if (RichEditWidget* previous = this->widget())
        previous->setHooks(nullptr);
    CWnd::Attach(editor);
    editor->setHooks(this);
    return true;
}

RichEditWidget* CRichEditCtrl::widget() const
{
    return static_cast<RichEditWidget*>(m_hWnd.data());
}

void CRichEditCtrl::GetSel(CHARRANGE& cr) const
{
    cr = widget()->selection();
}

void CRichEditCtrl::GetSel(long& nStartChar, long& nEndChar) const
{
    const CHARRANGE range = widget()->selection();
    nStartChar = range.cpMin;
    nEndChar = range.cpMax;
}

void CRichEditCtrl::SetSel(CHARRANGE cr)
{
    SetSel(cr.cpMin, cr.cpMax);
}

void CRichEditCtrl::SetSel(long nStartChar, long nEndChar)
{
    const long length = GetTextLength();
    if (nStartChar == 0 && nEndChar == -1)
        nEndChar = length;
    widget()->setSelection(static_cast<int>(std::clamp(nStartChar, 0L, length)),
                           static_cast<int>(std::clamp(nEndChar, 0L, length)));
}

void CRichEditCtrl::HideSelection(BOOL bHide, BOOL /*bPerm*/)
{
    widget()->setSelectionHidden(bHide != FALSE);
}

std::string CRichEditCtrl::GetSelText() const
{
    const CHARRANGE range = widget()->selection();
    return widget()->textBytes(range.cpMin, range.cpMax);
}

std::uint32_t CRichEditCtrl::GetSelectionCharFormat(CHARFORMAT& cf) const
{
    const RichEditWidget* editor = widget();
    const StyleStore& store = editor->styles();
    cf = m_defaultFormat;
    cf.dwMask &= CFM_SIZE | CFM_FACE | CFM_CHARSET | CFM_PROTECTED;
    cf.dwEffects &= CFE_PROTECTED;

    CHARRANGE range = editor->selection();
    if (range.cpMin == range.cpMax) {
        // An empty selection reports the look that typing there would take.
        if (store.size() == 0) {
            range = {0, 0};
        } else {
            range.cpMin = std::max(range.cpMin - 1, 0);
            range.cpMax = range.cpMin + 1;
        }
    }
    bool colourShared = true;
    bool boldShared = true;
    CharacterLook shown;
    if (range.cpMin < range.cpMax) {
        shown = store.look(store.lookAt(range.cpMin));
        if (!store.uniformLook(range.cpMin, range.cpMax)) {
            store.forEachRun(range.cpMin, range.cpMax, [&](int, int, StyleStore::LookId id) {
                const CharacterLook& look = store.look(id);
                colourShared = colourShared && look.autoColour == shown.autoColour && look.colour == shown.colour;
                boldShared = boldShared && look.bold == shown.bold;
            });
        }
    }
    if (colourShared) {
        cf.dwMask |= CFM_COLOR;
        if (shown.autoColour)
            cf.dwEffects |= CFE_AUTOCOLOR;
        else
            cf.crTextColor = shown.colour;
    }
    if (boldShared) {
        cf.dwMask |= CFM_BOLD;
        if (shown.bold)
            cf.dwEffects |= CFE_BOLD;
    }
    return cf.dwMask;
}

BOOL CRichEditCtrl::SetSelectionCharFormat(const CHARFORMAT& cf)
{
    RichEditWidget* editor = widget();
    StyleStore& store = editor->styles();
    const CHARRANGE range = editor->selection();
    if (range.cpMin >= range.cpMax || !(cf.dwMask & (CFM_COLOR | CFM_BOLD)))
        return FALSE;
    const auto restyled = [&](CharacterLook look) {
        if (cf.dwMask & CFM_COLOR) {
            look.autoColour = (cf.dwEffects & CFE_AUTOCOLOR) != 0;
            look.colour = look.autoColour ? 0 : cf.crTextColor;
        }
        if (cf.dwMask & CFM_BOLD)
            look.bold = (cf.dwEffects & CFE_BOLD) != 0;
        return look;
    };
    if ((cf.dwMask & CFM_COLOR) && (cf.dwMask & CFM_BOLD))
        return editor->setLook(range.cpMin, range.cpMax, restyled(CharacterLook{})) ? TRUE : FALSE;

    // Only one of the two changes: each run keeps the other.
    struct Run {
        int from;
        int to;
        CharacterLook look;
    };
    std::vector<Run> runs;
    store.forEachRun(range.cpMin, range.cpMax, [&](int from, int to, StyleStore::LookId id) {
        runs.push_back({from, to, restyled(store.look(id))});
    });
    BOOL allowed = TRUE;
    for (const Run& run : runs)
        allowed = editor->setLook(run.from, run.to, run.look) && allowed;
    return allowed;
}

BOOL CRichEditCtrl::SetDefaultCharFormat(const CHARFORMAT& cf)
{
    RichEditWidget* editor = widget();
    QFont font = editor->font();
    if (cf.dwMask & CFM_FACE) {
        font.setFamily(cp1252::decode(cf.szFaceName));
        // Where the face is missing, a fixed-pitch one stands in for it.
        font.setStyleHint(QFont::TypeWriter);
        m_defaultFormat.szFaceName = cf.szFaceName;
    }
    if (cf.dwMask & CFM_SIZE) {
        font.setPointSizeF(cf.yHeight / double(kTwipsPerPoint));
        m_defaultFormat.yHeight = cf.yHeight;
    }
    if (cf.dwMask & CFM_BOLD)
        font.setBold((cf.dwEffects & CFE_BOLD) != 0);
    if (cf.dwMask & CFM_CHARSET)
        m_defaultFormat.bCharSet = cf.bCharSet;
    if (cf.dwMask & CFM_PROTECTED)
        m_defaultFormat.dwEffects = (m_defaultFormat.dwEffects & ~CFE_PROTECTED) | (cf.dwEffects & CFE_PROTECTED);
    m_defaultFormat.dwMask |= cf.dwMask & (CFM_SIZE | CFM_FACE | CFM_CHARSET | CFM_PROTECTED);
    editor->setFont(font);
    return TRUE;
}

BOOL CRichEditCtrl::SetParaFormat(const PARAFORMAT& pf)
{
    if (!(pf.dwMask & PFM_TABSTOPS))
        return FALSE;
    RichEditWidget* editor = widget();
    const double pixelsPerTwip = editor->logicalDpiX() / double(kTwipsPerInch);
    QList<QTextOption::Tab> tabs;
    const int count = std::clamp<int>(pf.cTabCount, 0, MAX_TAB_STOPS);
    for (int i = 0; i < count; ++i)
        tabs.append(QTextOption::Tab(pf.rgxTabs[static_cast<std::size_t>(i)] * pixelsPerTwip, QTextOption::LeftTab));
    QTextDocument* document = editor->document();
    QTextOption option = document->defaultTextOption();
    option.setTabs(tabs);
    option.setTabStopDistance(kDefaultTabTwips * pixelsPerTwip);
    document->setDefaultTextOption(option);
    return TRUE;
}

std::uint32_t CRichEditCtrl::GetEventMask() const
{
    return m_eventMask;
}

std::uint32_t CRichEditCtrl::SetEventMask(std::uint32_t dwEventMask)
{
    return std::exchange(m_eventMask, dwEventMask);
}

void CRichEditCtrl::ReplaceSel(const std::string& text, BOOL bCanUndo)
{
    widget()->replaceSelection(cp1252::decode(text), bCanUndo != FALSE);
}

long CRichEditCtrl::LineFromChar(long nIndex) const
{
    const QTextDocument* document = widget()->document();
    if (nIndex < 0)
        nIndex = widget()->selection().cpMin;
    const QTextBlock block = document->findBlock(static_cast<int>(std::min(nIndex, GetTextLength())));
    return block.isValid() ? block.blockNumber() : document->blockCount() - 1;
}

int CRichEditCtrl::LineIndex(int nLine) const
{
    const QTextDocument* document = widget()->document();
    if (nLine < 0)
        nLine = static_cast<int>(LineFromChar(-1));
    const QTextBlock block = document->findBlockByNumber(nLine);
    return block.isValid() ? block.position() : -1;
}

int CRichEditCtrl::LineLength(int nLine) const
{
    const QTextBlock block = widget()->document()->findBlockByNumber(static_cast<int>(LineFromChar(nLine)));
    return block.isValid() ? block.length() - 1 : 0;
}

long CRichEditCtrl::GetTextLength() const
{
    return widget()->textLength();
}

BOOL CRichEditCtrl::GetModify() const
{
    return widget()->document()->isModified() ? TRUE : FALSE;
}

void CRichEditCtrl::SetModify(BOOL bModified)
{
    widget()->document()->setModified(bModified != FALSE);
}

COLORREF CRichEditCtrl::SetBackgroundColor(BOOL bSysColor, COLORREF cr)
{
    RichEditWidget* editor = widget();
    const COLORREF previous = toColorRef(editor->palette().color(QPalette::Base));
    const QColor colour = bSysColor ? QPalette().color(QPalette::Base)
                                    : QColor(GetRValue(cr), GetGValue(cr), GetBValue(cr));
    editor->setBackground(colour);
    return previous;
}

BOOL CRichEditCtrl::LockWindowUpdate()
{
    widget()->suspendPainting();
    return TRUE;
}

void CRichEditCtrl::UnlockWindowUpdate()
{
    widget()->resumePainting();
}

void CRichEditCtrl::Copy()
{
    widget()->copy();
}

void CRichEditCtrl::Cut()
{
    widget()->cutSelection();
}

void CRichEditCtrl::Paste()
{
    widget()->pasteClipboard();
}

void CRichEditCtrl::Clear()
{
    widget()->clearSelection();
}

BOOL CRichEditCtrl::CanUndo() const
{
    return widget()->document()->isUndoAvailable() ? TRUE : FALSE;
}

BOOL CRichEditCtrl::CanRedo() const
{
    return widget()->document()->isRedoAvailable() ? TRUE : FALSE;
}

BOOL CRichEditCtrl::Undo()
{
    return widget()->undoEdit() ? TRUE : FALSE;
}

BOOL CRichEditCtrl::Redo()
{
    return widget()->redoEdit() ? TRUE : FALSE;
}

void CRichEditCtrl::SetWindowText(const std::string& text)
{
    OnSetText(text);
}

long CRichEditCtrl::StreamIn(int nFormat, EDITSTREAM& es)
{
    if (nFormat != SF_TEXT || !es.pfnCallback)
        return 0;
    // All of it is read before the text is touched, so a failed read loses nothing.
    std::string bytes;
    for (;;) {
        const std::size_t filled = bytes.size();
        bytes.resize(filled + static_cast<std::size_t>(kStreamBlockSize));
        long read = 0;
        const std::uint32_t error =
            es.pfnCallback(es.dwCookie, reinterpret_cast<std::uint8_t*>(bytes.data() + filled), kStreamBlockSize, &read);
        if (error != 0) {
            es.dwError = error;
            return 0;
        }
        read = std::clamp(read, 0L, kStreamBlockSize);
        bytes.resize(filled + static_cast<std::size_t>(read));
        if (read == 0)
            break;
    }
    es.dwError = 0;
    widget()->replaceAll(bytes, true);
    return static_cast<long>(bytes.size());
}

long CRichEditCtrl::StreamOut(int nFormat, EDITSTREAM& es) const
{
    if (nFormat != SF_TEXT || !es.pfnCallback)
        return 0;
    std::vector<std::uint8_t> buffer;
    buffer.reserve(static_cast<std::size_t>(kStreamBlockSize) + 2);
    long total = 0;
    const auto flush = [&]() -> bool {
        std::size_t sent = 0;
        while (sent < buffer.size()) {
            long written = 0;
            const long count = static_cast<long>(buffer.size() - sent);
            const std::uint32_t error = es.pfnCallback(es.dwCookie, buffer.data() + sent, count, &written);
            if (error != 0 || written <= 0) {
                es.dwError = error != 0 ? error : kStreamStalled;
                return false;
            }
            written = std::min(written, count);
            sent += static_cast<std::size_t>(written);
            total += written;
        }
        buffer.clear();
        return true;
    };
    es.dwError = 0;
    const QTextDocument* document = widget()->document();
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        if (block != document->begin()) {
            buffer.push_back('\r');
            buffer.push_back('\n');
        }
        const QString text = block.text();
        for (const QChar ch : text) {
            unsigned char byte;
            buffer.push_back(cp1252::fromUnicode(ch, byte) ? byte : static_cast<std::uint8_t>(cp1252::kReplacement));
            if (static_cast<long>(buffer.size()) >= kStreamBlockSize && !flush())
                return total;
        }
    }
    flush();
    return total;
}

int CRichEditCtrl::OnProtected(const ENPROTECTED& /*info*/)
{
    return 0;
}

void CRichEditCtrl::OnChange()
{
}

int CRichEditCtrl::OnSelChange()
{
    return 0;
}

BOOL CRichEditCtrl::OnSetText(const std::string& text)
{
    return widget()->replaceAll(text, false) ? TRUE : FALSE;
}

void CRichEditCtrl::OnChar(unsigned nChar, unsigned /*nRepCnt*/, unsigned /*nFlags*/)
{
    widget()->insertTypedCharacter(static_cast<unsigned char>(nChar));
}

unsigned CRichEditCtrl::OnGetDlgCode()
{
    return kEditorDialogCode;
}

bool CRichEditCtrl::aboutToChange(EditRequest request, CHARRANGE range)
{
    if (!(m_eventMask & ENM_PROTECTED) || !(m_defaultFormat.dwEffects & CFE_PROTECTED))
        return true;
    return OnProtected(ENPROTECTED{request, range}) == 0;
}

void CRichEditCtrl::changed()
{
    if (m_eventMask & ENM_CHANGE)
        OnChange();
}

void CRichEditCtrl::selectionChanged()
{
    if (m_eventMask & ENM_SELCHANGE)
        OnSelChange();
}

void CRichEditCtrl::characterTyped(unsigned char character, unsigned repeatCount, unsigned flags)
{
    OnChar(character, repeatCount, flags);
}

unsigned CRichEditCtrl::dialogCode()
{
    return OnGetDlgCode();
}
