#include "support/LineEnds.h"
#include "support/MainWindowHarness.h"

#include <QApplication>
#include <QListView>
#include <QKeyEvent>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>

namespace {

// One room of a level as the game's scripts write it: tabs, a `.8` volume, music names that are
// whole candidates and prefixes of longer ones, builder commands with their arguments, a
// comment with a windows-1252 letter, and statements in both call forms.
std::string room(int n)
{
    const std::string id = std::to_string(n);
    return "# Room " + id + ": the guards wake when the alarm sounds, caf\u00e9 or not.\n"
           "var int room" + id + "_alarm = 0;\n"
           "\n"
           "func void room" + id + "_start(void)\n"
           "{\n"
           "\tai2_spawn Barabus\n"
           "\tai2_spawn Muro\n"
           "\tsound_music_start mus_main01 .8\n"
           "\tsound_music_volume mus_main01_hd 0.75 2\n"
           "\tchr_poison (Muro, 5, 30, 30);\n"
           "\tif (room" + id + "_alarm eq 0)\n"
           "\t{\n"
           "\t\tai2_attack Muro Konoko\n"
           "\t\troom" + id + "_alarm = 1\t\n"
           "\t}\n"
           "\telse\n"
           "\t{\n"
           "\t\tsleep 60\n"
           "\t}\n"
           "\tfork room" + id + "_watch(12)\n"
           "\ttrigvolume_enable(tv" + id + ", 1)\n"
           "}\n"
           "\n"
           "func void room" + id + "_watch(int door)\n"
           "{\n"
           "\tdoor_unlock door\n"
           "\tai2_dopath Barabus warehouse_round" + id + "\n"
           "}\n"
           "\n";
}

void press(QWidget* editor, int key, const QString& text, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QKeyEvent down(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(editor, &down);
    QKeyEvent up(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(editor, &up);
}

// Types `text` key by key. The editor indents each new line itself, so the tabs that start a
// line are left to it.
void typeInto(QWidget* editor, const QString& text)
{
    bool lineStart = false;
    for (const QChar ch : text) {
        if (lineStart && ch == u'\t')
            continue;
        lineStart = ch == u'\n';
        if (ch == u'\n') {
            press(editor, Qt::Key_Return, QStringLiteral("\r"));
        } else if (ch == u'\t') {
            press(editor, Qt::Key_Tab, QStringLiteral("\t"));
        } else {
            const bool letterOrDigit = ch.unicode() < 0x80 && ch.isLetterOrNumber();
            const int key = letterOrDigit ? ch.toUpper().unicode() : (ch == u' ' ? Qt::Key_Space : 0);
            press(editor, key, QString(ch), ch.isUpper() ? Qt::ShiftModifier : Qt::NoModifier);
        }
    }
}

// Whole scripts as the game's are written, typed with the editor's indentation of each new line
// and of each `}`, come out exactly as written.
TEST(TypingWholeScript, KeyByKeyTheWindowHoldsExactlyWhatWasTyped)
{
    MainWindowUnderTest window;
    window.editor()->setFocus();
    std::string script;
    for (int n = 1; script.size() < 12000; ++n)
        script += room(n);
    ASSERT_GT(std::count(script.begin(), script.end(), '\n'), 300);

    typeInto(window.editor(), QString::fromUtf8(script.data(), qsizetype(script.size())));
    QApplication::processEvents();

    const std::string typed = window.editorText();
    const std::string expected = crlf(script);
    // The first line that differs says more than two long texts.
    std::size_t line = 1;
    for (std::size_t at = 0; at < std::min(typed.size(), expected.size()); ++at) {
        ASSERT_EQ(typed[at], expected[at]) << "line " << line << ": "
                                           << typed.substr(at - std::min<std::size_t>(at, 40), 80);
        line += typed[at] == '\n';
    }
    EXPECT_EQ(typed.size(), expected.size());
}

TEST(TypingWholeScript, AListThatCameByItselfLeavesEnterAndTabTheirMeaning)
{
    struct Case {
        const char* typed;
        Qt::Key key;  // Enter or Tab
        const char* expected;
    };
    // A complete candidate, the prefix of a longer one, an argument whose entry only holds it
    // further in, and a word the list can finish.
    for (const Case& c : {Case{"\tai2_spawn Barabus", Qt::Key_Return, "\tai2_spawn Barabus\r\n\t"},
                          Case{"sound_music_start mus_main01", Qt::Key_Tab, "sound_music_start mus_main01\t"},
                          Case{"sound_music_start mus_main01 .8", Qt::Key_Return, "sound_music_start mus_main01 .8\r\n"},
                          Case{"sound_music_start ", Qt::Key_Return, "sound_music_start \r\n"},
                          Case{"ai2_atta", Qt::Key_Tab, "ai2_attack"}}) {
        MainWindowUnderTest window;
        window.editor()->setFocus();
        typeInto(window.editor(), QString::fromLatin1(c.typed));
        typeInto(window.editor(), c.key == Qt::Key_Tab ? QStringLiteral("\t") : QStringLiteral("\n"));
        EXPECT_EQ(window.editorText(), c.expected) << c.typed;
    }
}

} // namespace
