#include "platform/RichEditCtrl.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

constexpr int kEditorId = 77;

// A control that records its notifications and can refuse changes.
class RecordingEdit : public CRichEditCtrl {
public:
    using CRichEditCtrl::OnGetDlgCode;

    std::vector<ENPROTECTED> announced;
    int changes = 0;
    int refusal = 0;
    int textSets = 0;

protected:
    int OnProtected(const ENPROTECTED& info) override
    {
        announced.push_back(info);
        return refusal;
    }
    void OnChange() override { ++changes; }
    BOOL OnSetText(const std::string& text) override
    {
        ++textSets;
        return CRichEditCtrl::OnSetText(text);
    }
};

class RichEdit : public ::testing::Test {
protected:
    RichEdit()
        : window(std::make_unique<QWidget>())
    {
        QWidget* control = CRichEditCtrl::CreateWidget(window.get());
        control->setProperty(CWnd::kControlIdProperty, kEditorId);
        control->resize(400, 200);
        EXPECT_TRUE(edit.SubclassDlgItem(kEditorId, window.get()));
        CHARFORMAT protectedText;
        protectedText.dwMask = CFM_PROTECTED;
        protectedText.dwEffects = CFE_PROTECTED;
        edit.SetDefaultCharFormat(protectedText);
        edit.SetEventMask(ENM_CHANGE | ENM_SELCHANGE | ENM_PROTECTED);
    }

    QPlainTextEdit* view() { return qobject_cast<QPlainTextEdit*>(edit.GetSafeHwnd()); }

    std::string text()
    {
        CHARRANGE saved;
        edit.GetSel(saved);
        edit.LockWindowUpdate();
        edit.SetSel(0, -1);
        std::string all = edit.GetSelText();
        edit.SetSel(saved);
        edit.UnlockWindowUpdate();
        return all;
    }

    void forget()
    {
        announced().clear();
        edit.changes = 0;
    }
    std::vector<ENPROTECTED>& announced() { return edit.announced; }

    void show()
    {
        window->resize(420, 220);
        window->show();
        QApplication::setActiveWindow(window.get());
        edit.GetSafeHwnd()->setFocus();
    }

    std::unique_ptr<QWidget> window;
    RecordingEdit edit;
};

CHARFORMAT colourAndBold(COLORREF colour, bool bold)
{
    CHARFORMAT format;
    format.dwMask = CFM_COLOR | CFM_BOLD;
    format.dwEffects = bold ? CFE_BOLD : 0;
    format.crTextColor = colour;
    return format;
}

// Feeds a stream from a string, `step` bytes at a time, failing with `error` after `failAfter`.
struct Source {
    std::string bytes;
    long step = 1 << 20;
    std::size_t failAfter = std::string::npos;
    std::uint32_t error = 0;
    std::size_t at = 0;

    EDITSTREAM stream()
    {
        EDITSTREAM es;
        es.dwCookie = reinterpret_cast<std::uintptr_t>(this);
        es.pfnCallback = [](std::uintptr_t cookie, std::uint8_t* buffer, long room, long* moved) -> std::uint32_t {
            auto* source = reinterpret_cast<Source*>(cookie);
            if (source->at >= source->failAfter)
                return source->error;
            const std::size_t count = std::min({static_cast<std::size_t>(room), static_cast<std::size_t>(source->step),
                                                source->bytes.size() - source->at});
            std::copy_n(source->bytes.data() + source->at, count, buffer);
            source->at += count;
            *moved = static_cast<long>(count);
            return 0;
        };
        return es;
    }
};

// Collects a stream-out, accepting at most `room` bytes a call, failing with `error` on call `failAt`.
struct Sink {
    std::string bytes;
    long room = 1 << 20;
    int calls = 0;
    int failAt = -1;
    std::uint32_t error = 0;
    long largestBlock = 0;

    EDITSTREAM stream()
    {
        EDITSTREAM es;
        es.dwCookie = reinterpret_cast<std::uintptr_t>(this);
        es.pfnCallback = [](std::uintptr_t cookie, std::uint8_t* buffer, long count, long* moved) -> std::uint32_t {
            auto* sink = reinterpret_cast<Sink*>(cookie);
            if (sink->calls++ == sink->failAt)
                return sink->error;
            sink->largestBlock = std::max(sink->largestBlock, count);
            const long taken = std::min(count, sink->room);
            sink->bytes.append(reinterpret_cast<const char*>(buffer), static_cast<std::size_t>(taken));
            *moved = taken;
            return 0;
        };
        return es;
    }
};

TEST_F(RichEdit, AttachesOnlyToItsOwnWidget)
{
    auto* other = new QLineEdit(window.get());
    other->setProperty(CWnd::kControlIdProperty, 5);
    CRichEditCtrl stranger;
    EXPECT_FALSE(stranger.SubclassDlgItem(5, window.get()));
}

TEST_F(RichEdit, PositionsCountOneForEachByteAndParagraphEnd)
{
    edit.SetWindowText("ab\r\ncd\ref\ngh");
    EXPECT_EQ(edit.GetTextLength(), 11);
    EXPECT_EQ(text(), "ab\rcd\ref\rgh");
    EXPECT_EQ(edit.LineFromChar(2), 0);
    EXPECT_EQ(edit.LineFromChar(3), 1);
    EXPECT_EQ(edit.LineFromChar(11), 3);
    EXPECT_EQ(edit.LineFromChar(500), 3);
    EXPECT_EQ(edit.LineIndex(2), 6);
    EXPECT_EQ(edit.LineIndex(4), -1);
    EXPECT_EQ(edit.LineLength(7), 2);
    edit.SetSel(4, 4);
    EXPECT_EQ(edit.LineIndex(), 3);
    EXPECT_EQ(edit.LineLength(), 2);
}

TEST_F(RichEdit, SelectionIsCutToTheText)
{
    edit.SetWindowText("hello\nworld");
    CHARRANGE range;
    edit.SetSel(3, 999);
    edit.GetSel(range);
    EXPECT_EQ(range.cpMin, 3);
    EXPECT_EQ(range.cpMax, 11);
    edit.SetSel(0, -1);
    EXPECT_EQ(edit.GetSelText(), "hello\rworld");
    edit.SetSel(8, 2);
    edit.GetSel(range);
    EXPECT_EQ(range.cpMin, 2);
    EXPECT_EQ(range.cpMax, 8);
}

TEST_F(RichEdit, LooksAreReportedOnlyWhereTheWholeSelectionSharesThem)
{
    edit.SetWindowText("abcdef");
    CHARFORMAT read;
    edit.SetSel(0, 6);
    edit.GetSelectionCharFormat(read);
    EXPECT_TRUE(read.dwMask & CFM_COLOR);
    EXPECT_TRUE(read.dwEffects & CFE_AUTOCOLOR);

    edit.SetSel(0, 3);
    edit.SetSelectionCharFormat(colourAndBold(RGB(1, 2, 3), true));
    edit.SetSel(1, 3);
    EXPECT_EQ(edit.GetSelectionCharFormat(read) & (CFM_COLOR | CFM_BOLD), CFM_COLOR | CFM_BOLD);
    EXPECT_EQ(read.crTextColor, RGB(1, 2, 3));
    EXPECT_FALSE(read.dwEffects & CFE_AUTOCOLOR);
    EXPECT_TRUE(read.dwEffects & CFE_BOLD);

    edit.SetSel(2, 5);
    EXPECT_EQ(edit.GetSelectionCharFormat(read) & (CFM_COLOR | CFM_BOLD), 0u);

    // Colour alone: each character keeps its bold state.
    CHARFORMAT colourOnly;
    colourOnly.dwMask = CFM_COLOR;
    colourOnly.crTextColor = RGB(9, 9, 9);
    edit.SetSelectionCharFormat(colourOnly);
    EXPECT_EQ(edit.GetSelectionCharFormat(read) & (CFM_COLOR | CFM_BOLD), CFM_COLOR);
    EXPECT_EQ(read.crTextColor, RGB(9, 9, 9));
    edit.SetSel(0, 2);
    edit.GetSelectionCharFormat(read);
    EXPECT_EQ(read.crTextColor, RGB(1, 2, 3));

    // An empty selection reports the character before it.
    edit.SetSel(3, 3);
    edit.GetSelectionCharFormat(read);
    EXPECT_EQ(read.crTextColor, RGB(9, 9, 9));
    EXPECT_TRUE(read.dwEffects & CFE_BOLD);
}

TEST_F(RichEdit, LooksStayOutOfTheUndoHistory)
{
    edit.SetWindowText("abc");
    edit.SetSel(0, 2);
    edit.SetSelectionCharFormat(colourAndBold(RGB(200, 0, 0), false));
    EXPECT_FALSE(edit.CanUndo());
    EXPECT_FALSE(edit.GetModify());
    edit.ReplaceSel("x", TRUE);
    EXPECT_TRUE(edit.GetModify());
    edit.SetModify(FALSE);
    EXPECT_FALSE(edit.GetModify());
}

TEST_F(RichEdit, DefaultFormatSetsTheFontAndReadsBack)
{
    CHARFORMAT font;
    font.dwMask = CFM_FACE | CFM_SIZE | CFM_CHARSET;
    font.szFaceName = "Lucida Console";
    font.yHeight = 200;
    font.bCharSet = 238;
    edit.SetDefaultCharFormat(font);
    EXPECT_DOUBLE_EQ(view()->font().pointSizeF(), 10.0);
    CHARFORMAT read;
    const std::uint32_t mask = edit.GetSelectionCharFormat(read);
    EXPECT_TRUE(mask & CFM_FACE);
    EXPECT_EQ(read.szFaceName, "Lucida Console");
    EXPECT_EQ(read.yHeight, 200);
    EXPECT_EQ(read.bCharSet, 238);
    EXPECT_TRUE(read.dwEffects & CFE_PROTECTED);
}

TEST_F(RichEdit, TabStopsAndBackground)
{
    PARAFORMAT tabs;
    tabs.dwMask = PFM_TABSTOPS;
    tabs.cTabCount = MAX_TAB_STOPS;
    for (int i = 0; i < MAX_TAB_STOPS; ++i)
        tabs.rgxTabs[static_cast<std::size_t>(i)] = 720 * (i + 1);
    EXPECT_TRUE(edit.SetParaFormat(tabs));
    const QList<QTextOption::Tab> stops = view()->document()->defaultTextOption().tabs();
    ASSERT_EQ(stops.size(), 32);
    EXPECT_DOUBLE_EQ(stops[1].position, 2 * stops[0].position);

    edit.SetBackgroundColor(FALSE, RGB(0, 0, 0));
    EXPECT_EQ(edit.SetBackgroundColor(FALSE, RGB(10, 20, 30)), RGB(0, 0, 0));
    EXPECT_EQ(view()->palette().color(QPalette::Base), QColor(10, 20, 30));
}

TEST_F(RichEdit, EachRequestIsAnnouncedWithItsRangeAndFollowedByOneChange)
{
    edit.SetWindowText("hello world");
    EXPECT_EQ(edit.textSets, 1);
    EXPECT_TRUE(announced().empty());
    EXPECT_EQ(edit.changes, 0);

    const auto expectOne = [&](EditRequest request, int from, int to) {
        ASSERT_EQ(announced().size(), 1u);
        EXPECT_EQ(announced()[0].msg, request);
        EXPECT_EQ(announced()[0].chrg.cpMin, from);
        EXPECT_EQ(announced()[0].chrg.cpMax, to);
        EXPECT_EQ(edit.changes, 1);
        forget();
    };
    edit.SetSel(0, 5);
    QTest::keyClick(edit.GetSafeHwnd(), Qt::Key_J);
    expectOne(EditRequest::Char, 0, 5);
    edit.SetSel(1, 1);
    QTest::keyClick(edit.GetSafeHwnd(), Qt::Key_Delete);
    expectOne(EditRequest::KeyDelete, 1, 2);
    QTest::keyClick(edit.GetSafeHwnd(), Qt::Key_Backspace);
    expectOne(EditRequest::KeyBack, 0, 1);
    edit.SetSel(0, 3);
    edit.Cut();
    expectOne(EditRequest::Cut, 0, 3);
    edit.Paste();
    expectOne(EditRequest::Paste, 0, 0);
    edit.SetSel(2, 4);
    edit.ReplaceSel("xyz", TRUE);
    expectOne(EditRequest::ReplaceSel, 2, 4);
    edit.SetSel(0, 2);
    edit.SetSelectionCharFormat(colourAndBold(RGB(5, 5, 5), true));
    expectOne(EditRequest::SetCharFormat, 0, 2);
    edit.Clear();
    expectOne(EditRequest::Other, 0, 2);
    EXPECT_TRUE(edit.Undo());
    expectOne(EditRequest::Other, 0, 0);
}

TEST_F(RichEdit, RequestsThatChangeNothingAreNotAnnounced)
{
    edit.SetWindowText("ab");
    edit.SetSel(2, 2);
    QTest::keyClick(edit.GetSafeHwnd(), Qt::Key_Delete);
    edit.Cut();
    edit.Clear();
    edit.SetSel(0, 0);
    QTest::keyClick(edit.GetSafeHwnd(), Qt::Key_Backspace);
    QTest::keyClick(edit.GetSafeHwnd(), Qt::Key_Right);
    edit.SetSel(0, 2);
    edit.SetSelectionCharFormat(colourAndBold(RGB(1, 1, 1), false));
    forget();
    edit.SetSelectionCharFormat(colourAndBold(RGB(1, 1, 1), false));
    EXPECT_EQ(announced().size(), 1u);
    EXPECT_EQ(edit.changes, 0);
}

TEST_F(RichEdit, ARefusedRequestChangesNothing)
{
    edit.SetWindowText("ab");
    edit.refusal = 1;
    edit.SetSel(1, 1);
    QTest::keyClick(edit.GetSafeHwnd(), Qt::Key_X);
    edit.ReplaceSel("yy", TRUE);
    EXPECT_EQ(text(), "ab");
    EXPECT_EQ(edit.changes, 0);
}

TEST_F(RichEdit, NotificationsFollowTheMaskAndTheProtection)
{
    edit.SetWindowText("ab");
    edit.SetEventMask(ENM_CHANGE);
    edit.ReplaceSel("x", TRUE);
    EXPECT_TRUE(announced().empty());
    EXPECT_EQ(edit.changes, 1);

    CHARFORMAT unprotected;
    unprotected.dwMask = CFM_PROTECTED;
    edit.SetDefaultCharFormat(unprotected);
    edit.SetEventMask(ENM_CHANGE | ENM_PROTECTED);
    edit.ReplaceSel("y", TRUE);
    EXPECT_TRUE(announced().empty());
    EXPECT_EQ(edit.changes, 2);
}

TEST_F(RichEdit, AChangeNoRequestCoveredIsReportedWhenTheEventLoopRuns)
{
    edit.SetWindowText("ab");
    QTextCursor(view()->document()).insertText("z");
    EXPECT_TRUE(announced().empty());
    QApplication::processEvents();
    ASSERT_EQ(announced().size(), 1u);
    EXPECT_EQ(announced()[0].msg, EditRequest::Other);
    EXPECT_EQ(edit.changes, 1);
    EXPECT_EQ(text(), "zab");
}

TEST_F(RichEdit, TextEntersOnlyAsCharactersOfTheCodePage)
{
    QTest::sendKeyEvent(QTest::Press, edit.GetSafeHwnd(), Qt::Key_unknown, QString::fromUtf8("\xC5\x99\xC3\xA9"), Qt::NoModifier);
    QGuiApplication::clipboard()->setText(QString::fromUtf8("1\r\n2\r3\n4\xE2\x80\xA9" "5\xE2\x82\xAC\xCE\xA9"));
    edit.Paste();
    EXPECT_EQ(text(), "?\xE9" "1\r2\r3\r4\r5\x80?");
}

TEST_F(RichEdit, StreamInTakesEveryLineEndAndEveryByte)
{
    Source source;
    for (int byte = 0; byte < 256; ++byte) {
        if (byte != '\r' && byte != '\n')
            source.bytes += static_cast<char>(byte);
    }
    const std::string allBytes = source.bytes;
    source.bytes += "\r\na\rb\nc\r\r\n\n";
    source.step = 3;
    EDITSTREAM stream = source.stream();
    EXPECT_EQ(edit.StreamIn(SF_TEXT, stream), static_cast<long>(source.bytes.size()));
    EXPECT_EQ(stream.dwError, 0u);
    EXPECT_EQ(text(), allBytes + "\ra\rb\rc\r\r\r");
    ASSERT_EQ(announced().size(), 1u);
    EXPECT_EQ(announced()[0].msg, EditRequest::Other);
    EXPECT_EQ(edit.changes, 1);
    EXPECT_FALSE(edit.CanUndo());

    Sink sink;
    sink.room = 5;
    EDITSTREAM out = sink.stream();
    const long written = edit.StreamOut(SF_TEXT, out);
    EXPECT_EQ(out.dwError, 0u);
    EXPECT_EQ(sink.bytes, allBytes + "\r\na\r\nb\r\nc\r\n\r\n\r\n");
    EXPECT_EQ(written, static_cast<long>(sink.bytes.size()));
}

TEST_F(RichEdit, AFailedStreamInLeavesTheTextAsItWas)
{
    edit.SetWindowText("keep me");
    edit.ReplaceSel("!", TRUE);
    forget();
    Source source{std::string(300000, 'x')};
    source.step = 70000;
    source.failAfter = 200000;
    source.error = 42;
    EDITSTREAM stream = source.stream();
    EXPECT_EQ(edit.StreamIn(SF_TEXT, stream), 0);
    EXPECT_EQ(stream.dwError, 42u);
    EXPECT_EQ(text(), "!keep me");
    EXPECT_TRUE(announced().empty());
    EXPECT_TRUE(edit.CanUndo());
}

TEST_F(RichEdit, StreamOutGoesInBlocksAndStopsOnFailure)
{
    edit.SetWindowText(std::string(200000, 'q') + "\n" + std::string(10, 'r'));
    Sink whole;
    EDITSTREAM out = whole.stream();
    EXPECT_EQ(edit.StreamOut(SF_TEXT, out), 200012);
    EXPECT_LE(whole.largestBlock, 65538);
    EXPECT_EQ(whole.bytes.substr(199998), "qq\r\nrrrrrrrrrr");

    Sink failing;
    failing.failAt = 1;
    failing.error = 9;
    EDITSTREAM broken = failing.stream();
    EXPECT_LT(edit.StreamOut(SF_TEXT, broken), 200012);
    EXPECT_EQ(broken.dwError, 9u);
    EXPECT_EQ(failing.calls, 2);

    Sink stalled;
    stalled.room = 0;
    EDITSTREAM stuck = stalled.stream();
    EXPECT_EQ(edit.StreamOut(SF_TEXT, stuck), 0);
    EXPECT_EQ(stuck.dwError, kStreamStalled);
}

TEST_F(RichEdit, EmptyStreams)
{
    edit.SetWindowText("x");
    Source nothing;
    EDITSTREAM in = nothing.stream();
    EXPECT_EQ(edit.StreamIn(SF_TEXT, in), 0);
    EXPECT_EQ(edit.GetTextLength(), 0);
    Sink sink;
    EDITSTREAM out = sink.stream();
    EXPECT_EQ(edit.StreamOut(SF_TEXT, out), 0);
    EXPECT_EQ(out.dwError, 0u);
}

TEST_F(RichEdit, UndoAndRedoTakeBackOneEditAtATime)
{
    QTest::keyClicks(edit.GetSafeHwnd(), "ab");
    edit.SetSel(0, 2);
    edit.ReplaceSel("xyz", TRUE);
    EXPECT_TRUE(edit.Undo());
    EXPECT_EQ(text(), "ab");
    QTest::keyClick(edit.GetSafeHwnd(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(text(), "a");
    QTest::keyClick(edit.GetSafeHwnd(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(text(), "ab");
    QTest::keyClick(edit.GetSafeHwnd(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(text(), "xyz");
    EXPECT_FALSE(edit.Redo());
}

TEST_F(RichEdit, AReplacementThatMayNotBeUndoneJoinsTheEditBeforeIt)
{
    QTest::keyClicks(edit.GetSafeHwnd(), "ab");
    edit.SetSel(0, 1);
    edit.ReplaceSel("A", FALSE);
    EXPECT_EQ(text(), "Ab");
    EXPECT_TRUE(edit.Undo());
    EXPECT_EQ(text(), "a");
    EXPECT_TRUE(edit.Redo());
    EXPECT_EQ(text(), "Ab");

    edit.SetWindowText("fresh");
    edit.SetSel(0, 1);
    edit.ReplaceSel("F", FALSE);
    EXPECT_FALSE(edit.CanUndo());
}

TEST_F(RichEdit, LooksReachTheLayoutsOfTheShownLines)
{
    show();
    edit.SetWindowText("one\ntwo\nthree");
    edit.SetSel(4, 7);
    edit.SetSelectionCharFormat(colourAndBold(RGB(255, 0, 0), true));
    edit.SetSel(0, 0);
    edit.GetSafeHwnd()->repaint();
    const QTextBlock second = view()->document()->findBlockByNumber(1);
    const QList<QTextLayout::FormatRange> formats = second.layout()->formats();
    ASSERT_EQ(formats.size(), 1);
    EXPECT_EQ(formats[0].start, 0);
    EXPECT_EQ(formats[0].length, 3);
    EXPECT_EQ(formats[0].format.foreground().color(), QColor(255, 0, 0));
    EXPECT_EQ(formats[0].format.fontWeight(), QFont::Bold);
    EXPECT_TRUE(view()->document()->findBlockByNumber(0).layout()->formats().isEmpty());
}

TEST_F(RichEdit, WorkWhilePaintingIsSuspendedMovesNeitherViewNorSelection)
{
    show();
    std::string lines;
    for (int i = 0; i < 300; ++i)
        lines += "line " + std::to_string(i) + "\n";
    edit.SetWindowText(lines);
    edit.SetSel(2000, 2005);
    QScrollBar* scroll = view()->verticalScrollBar();
    const int shown = scroll->value();
    ASSERT_GT(shown, 0);

    edit.LockWindowUpdate();
    EXPECT_FALSE(edit.GetSafeHwnd()->updatesEnabled());
    edit.HideSelection(TRUE, FALSE);
    edit.SetSel(0, 3);
    edit.SetSelectionCharFormat(colourAndBold(RGB(1, 1, 1), false));
    edit.SetSel(10, 12);
    edit.ReplaceSel("NE", FALSE);
    edit.SetSel(2000, 2005);
    edit.HideSelection(FALSE, FALSE);
    edit.UnlockWindowUpdate();

    EXPECT_TRUE(edit.GetSafeHwnd()->updatesEnabled());
    EXPECT_EQ(scroll->value(), shown);
    EXPECT_EQ(view()->textCursor().selectionStart(), 2000);
    EXPECT_EQ(view()->textCursor().selectionEnd(), 2005);
}

TEST_F(RichEdit, ABareControlLetsTabMoveTheFocusAndKeepsEnter)
{
    show();
    auto* next = new QLineEdit(window.get());
    next->show();
    edit.GetSafeHwnd()->setFocus();
    QTest::keyClick(edit.GetSafeHwnd(), Qt::Key_Return);
    EXPECT_EQ(text(), "\r");
    QTest::keyClick(edit.GetSafeHwnd(), Qt::Key_Tab);
    EXPECT_EQ(text(), "\r");
    EXPECT_EQ(QApplication::focusWidget(), next);
    EXPECT_EQ(edit.OnGetDlgCode(), DLGC_WANTARROWS | DLGC_WANTALLKEYS | DLGC_HASSETSEL | DLGC_WANTCHARS);
}

} // namespace
