#include "ScriptEditorHarness.h"

#include "language/ScriptText.h"
#include "support/EditorProbe.h"

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QTest>

#include <gtest/gtest.h>

ScriptEditorHarness::ScriptEditorHarness(Options options)
    : m_window(std::make_unique<QWidget>()), m_editor(new ScriptEditor(m_window.get()))
{
    m_window->resize(660, 420);
    m_editor->setGeometry(10, 10, 640, 400);
    if (options.show) {
        m_window->show();
        QApplication::setActiveWindow(m_window.get());
        m_editor->setFocus();
    }
}

void ScriptEditorHarness::load(std::string_view fileBytes)
{
    m_editor->setScript(std::string(fileBytes));
}

std::string ScriptEditorHarness::text()
{
    return probe::text(*m_editor);
}

std::vector<TokenKind> ScriptEditorHarness::kinds()
{
    return probe::kinds(*m_editor);
}

std::vector<TokenKind> ScriptEditorHarness::kindsKept()
{
    probe::colour(*m_editor, m_editor->SendScintilla(QsciScintillaBase::SCI_GETENDSTYLED));
    const long length = m_editor->SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
    std::vector<TokenKind> kinds;
    kinds.reserve(std::size_t(length));
    for (long p = 0; p < length; ++p)
        kinds.push_back(TokenKind(m_editor->SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, static_cast<unsigned long>(p))));
    return kinds;
}

void ScriptEditorHarness::select(long anchor, long caret)
{
    m_editor->SendScintilla(QsciScintillaBase::SCI_SETSEL, static_cast<unsigned long>(anchor), caret);
}

long ScriptEditorHarness::anchor()
{
    return m_editor->SendScintilla(QsciScintillaBase::SCI_GETANCHOR);
}

long ScriptEditorHarness::caret()
{
    return m_editor->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS);
}

void ScriptEditorHarness::typeText(const QString& text)
{
    for (const QChar ch : text) {
        const bool ascii = ch.unicode() < 0x80;
        const int key = ascii && ch.isLetterOrNumber() ? ch.toUpper().unicode() : (ch == u' ' ? Qt::Key_Space : 0);
        const Qt::KeyboardModifiers modifiers = ch.isUpper() ? Qt::ShiftModifier : Qt::NoModifier;
        QTest::sendKeyEvent(QTest::Press, m_editor, Qt::Key(key), QString(ch), modifiers);
        QTest::sendKeyEvent(QTest::Release, m_editor, Qt::Key(key), QString(ch), modifiers);
    }
}

void ScriptEditorHarness::key(Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    QTest::keyClick(m_editor, key, modifiers);
}

void ScriptEditorHarness::drop(const QString& text, QPoint at)
{
    QWidget* viewport = m_editor->viewport();
    QMimeData data;
    data.setText(text);
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &enter);
    QDragMoveEvent move(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &move);
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &drop);
}

std::vector<TokenKind> kindsAfresh(std::string_view text)
{
    std::vector<TokenKind> kinds(text.size(), TokenKind::Gap);
    Tokenizer tokenizer(text);
    while (const std::optional<Token> token = tokenizer.next())
        std::fill(kinds.begin() + std::ptrdiff_t(token->begin), kinds.begin() + std::ptrdiff_t(token->end), token->kind);
    return kinds;
}

std::string correctedAfresh(std::string text)
{
    correctCase(text);
    return text;
}

void expectFreshlyFormatted(ScriptEditorHarness& harness)
{
    const std::string text = harness.text();
    EXPECT_EQ(text, correctedAfresh(text));
    EXPECT_EQ(harness.kinds(), kindsAfresh(text));

    ScriptEditorHarness fresh;
    fresh.load(fileFromDocument(text));
    EXPECT_EQ(fresh.text(), text);
    EXPECT_EQ(fresh.kinds(), kindsAfresh(text));
}

script_search::Result findInEditor(ScriptEditor& editor, const QString& text, script_search::Options options,
                                   bool forward)
{
    const script_search::Query query = script_search::query(editor, text, options, forward);
    const TextMatcher matcher(*query.text, query.pattern, options);
    return script_search::show(editor, query, matcher.around(query.from, forward, query.unshown)).value();
}

int replaceAllInEditor(ScriptEditor& editor, const QString& text, const QString& replacement,
                       script_search::Options options)
{
    const script_search::Query query = script_search::query(editor, text, options, true);
    const TextMatcher matcher(*query.text, query.pattern, options);
    return script_search::replaceAll(editor, query, matcher.every(query.unshown), matcher.length(), replacement).value();
}
