#include "ScriptEditorHarness.h"

#include "editor/WordLists.h"

#include <QApplication>
#include <QTest>

ScriptEditorHarness::ScriptEditorHarness(Options options)
    : m_window(std::make_unique<QWidget>())
{
    QWidget* control = CRichEditCtrl::CreateWidget(m_window.get());
    control->setProperty(CWnd::kControlIdProperty, kEditorId);
    control->resize(640, 400);
    m_editor.SubclassDlgItem(kEditorId, m_window.get());
    m_editor.InitFormat();
    if (options.commentChar != '\x01')
        m_editor.SetCommentChar(options.commentChar);
    m_editor.AddKeywords(kKeywordList);
    m_editor.AddCommands(kCommandList);
    m_editor.AddCharacterNames(CharacterNameList());
    m_editor.SetBackgroundColor(FALSE, RGB(0, 0, 0));
    if (options.show) {
        m_window->resize(660, 420);
        m_window->show();
        QApplication::setActiveWindow(m_window.get());
        control->setFocus();
    }
}

std::string ScriptEditorHarness::text()
{
    CHARRANGE saved;
    m_editor.GetSel(saved);
    m_editor.LockWindowUpdate();
    m_editor.SetSel(0, -1);
    std::string all = m_editor.GetSelText();
    m_editor.SetSel(saved);
    m_editor.UnlockWindowUpdate();
    return all;
}

std::vector<Look> ScriptEditorHarness::looks()
{
    CHARRANGE saved;
    m_editor.GetSel(saved);
    m_editor.LockWindowUpdate();
    const long length = m_editor.GetTextLength();
    std::vector<Look> result;
    result.reserve(static_cast<std::size_t>(length));
    for (long p = 0; p < length; ++p) {
        m_editor.SetSel(p, p + 1);
        CHARFORMAT format;
        m_editor.GetSelectionCharFormat(format);
        result.push_back({(format.dwEffects & CFE_AUTOCOLOR) ? 0xFFFFFFFF : format.crTextColor,
                          (format.dwEffects & CFE_BOLD) != 0});
    }
    m_editor.SetSel(saved);
    m_editor.UnlockWindowUpdate();
    return result;
}

std::pair<std::string, std::vector<Look>> ScriptEditorHarness::formattedAfresh(const std::string& text)
{
    ScriptEditorHarness fresh;
    fresh.editor().SetWindowText(text);
    return {fresh.text(), fresh.looks()};
}

void ScriptEditorHarness::typeText(const QString& text)
{
    for (const QChar ch : text) {
        const bool ascii = ch.unicode() < 0x80;
        const int key = ascii && ch.isLetterOrNumber() ? ch.toUpper().unicode() : (ch == u' ' ? Qt::Key_Space : 0);
        const Qt::KeyboardModifiers modifiers = ch.isUpper() ? Qt::ShiftModifier : Qt::NoModifier;
        QTest::sendKeyEvent(QTest::Press, widget(), Qt::Key(key), QString(ch), modifiers);
        QTest::sendKeyEvent(QTest::Release, widget(), Qt::Key(key), QString(ch), modifiers);
    }
}

std::vector<Look> runs(std::initializer_list<std::pair<int, Look>> parts)
{
    std::vector<Look> result;
    for (const auto& [count, look] : parts)
        result.insert(result.end(), static_cast<std::size_t>(count), look);
    return result;
}
