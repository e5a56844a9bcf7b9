#include "support/FakeDesktopServices.h"
#include "support/InputEvents.h"
#include "support/MainWindowHarness.h"
#include "support/WindowDriving.h"
#include "support/LineEnds.h"
#include "app/ScriptTab.h"
#include "app/ScriptTabs.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QListWidget>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include "language/Lexer.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <string_view>

namespace {

// The wavy underlines: errors and warnings, as Scintilla's indicator numbers.
constexpr int kErrorMark = 8;
constexpr int kWarningMark = 9;
// How long a check may take before the test gives up on it; the check itself never waits.
constexpr int kCheckBoundMs = 10000;

// The level's first file: main calls level_start, which the next file declares.
constexpr std::string_view kMain = "# The warehouse: the game runs main first.\n"
                                   "var int alarm = 0;\n"
                                   "\n"
                                   "func void main(void)\n"
                                   "{\n"
                                   "\tlevel_start\n"
                                   "\tai2_spawn Muro\n"
                                   "\tif (alarm eq 0)\n"
                                   "\t{\n"
                                   "\t\tai2_attack Muro griffin\n"
                                   "\t}\n"
                                   "\telse\n"
                                   "\t{\n"
                                   "\t\talarm = 1\n"
                                   "\t}\n"
                                   "\tchr_poison (Muro, 5, 30, 30);\n"
                                   "\tfork guard_door(12)\n"
                                   "}\n";

constexpr std::string_view kStart = "# Sets up the first room.\n"
                                    "func void level_start(void)\n"
                                    "{\n"
                                    "\tdoor_lock 12;\n"
                                    "\tplayback Konoko intro_film fromhere\n"
                                    "}\n"
                                    "\n"
                                    "func void guard_door(int door)\n"
                                    "{\n"
                                    "\tdoor_unlock door\n"
                                    "}\n";

// Runs the event loop until the window has shown a check of the text as it stands.
void WaitForCheck(MainWindow& window)
{
    QEventLoop loop;
    QObject::connect(&window, &MainWindow::scriptChecked, &loop, &QEventLoop::quit);
    QTimer::singleShot(kCheckBoundMs, &loop, [&loop] {
        ADD_FAILURE() << "no check came";
        loop.quit();
    });
    loop.exec();
}

void DoubleClick(QWidget* target, QPoint local)
{
    input::LeftClick(target, local);
    QMouseEvent press(QEvent::MouseButtonDblClick, QPointF(local), QPointF(target->mapToGlobal(local)),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    input::MouseRelease(target, Qt::LeftButton, local);
}

class ScriptCheck : public ::testing::Test {
protected:
    ScriptCheck()
    {
        EXPECT_TRUE(folder.isValid());
        Write("level1_main.bsl", kMain);
        // The game takes the suffix in any letter case.
        Write("Level1_Start.BSL", kStart);
        MakeActive(&main.window);
        main.window.setCheckPause(std::chrono::milliseconds(0));
    }

    QString PathOf(const char* name) const { return folder.filePath(QString::fromLatin1(name)); }

    void Write(const char* name, std::string_view text) const
    {
        QFile file(PathOf(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        const std::string bytes = crlf(text);
        file.write(bytes.data(), qint64(bytes.size()));
    }

    void Open(const char* name) { ASSERT_TRUE(main.window.openScriptFile(PathOf(name))); }

    // Opens the main file holding `text` in place of its own, in a tab of its own: a script
    // already open would only be brought forward.
    void OpenMainWith(std::string_view text)
    {
        if (ScriptTab* open = main.window.tabs()->find(PathOf("level1_main.bsl")))
            main.window.tabs()->close(open);
        Write("level1_main.bsl", text);
        Open("level1_main.bsl");
    }

    void PressF7()
    {
        MakeActive(&main.window);
        main.editor()->setFocus();
        input::Key(main.editor(), Qt::Key_F7);
        WaitForCheck(main.window);
    }

    int MarksAt(long position) const
    {
        return int(main.editor()->SendScintilla(QsciScintillaBase::SCI_INDICATORALLONFOR,
                                                static_cast<unsigned long>(position)));
    }
    bool ErrorAt(long position) const { return MarksAt(position) & (1 << kErrorMark); }
    bool WarningAt(long position) const { return MarksAt(position) & (1 << kWarningMark); }

    // Every position of the text that carries an underline.
    int MarkedPositions() const
    {
        int marked = 0;
        const long length = main.editor()->SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
        for (long position = 0; position < length; ++position)
            marked += (MarksAt(position) & ((1 << kErrorMark) | (1 << kWarningMark))) != 0;
        return marked;
    }

    long OffsetOf(std::string_view text) const
    {
        const std::size_t at = main.editorText().find(crlf(text));
        EXPECT_NE(at, std::string::npos) << text;
        return long(at);
    }

    QDialog* Problems() const { return main.control<QDialog>("ProblemsWindow"); }
    QListWidget* List() const { return main.control<QListWidget>("ProblemList"); }
    // The list's entries, one a line.
    std::string Entries() const
    {
        QStringList entries;
        for (int row = 0; row < List()->count(); ++row)
            entries.append(List()->item(row)->text());
        return entries.join(QLatin1Char('\n')).toStdString();
    }

    long Caret() const { return main.editor()->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS); }

    // Replaces `from` in the editor's text as an edit of the user's would.
    void EditInEditor(std::string_view from, std::string_view to)
    {
        const long at = OffsetOf(from);
        const std::string plainFrom = crlf(from);
        const std::string plainTo = crlf(to);
        main.select(at, at + long(plainFrom.size()));
        main.editor()->replaceSelectedText(QString::fromUtf8(plainTo.data(), qsizetype(plainTo.size())));
    }

    FakeDesktopServices desktop;
    QTemporaryDir folder;
    MainWindowUnderTest main;
};

TEST_F(ScriptCheck, ALevelOfSeveralFilesChecksCleanWithNoUnderlines)
{
    Open("level1_main.bsl");
    PressF7();
    ASSERT_NE(Problems(), nullptr);
    EXPECT_TRUE(Problems()->isVisible());
    EXPECT_FALSE(Problems()->isModal());
    EXPECT_EQ(Entries(), "");
    EXPECT_EQ(main.control<QLabel>("ProblemSummary")->text().toStdString(), "No problems found.");
    EXPECT_EQ(MarkedPositions(), 0);
    EXPECT_TRUE(desktop.messageBoxes.empty());
}

TEST_F(ScriptCheck, NamesComeFromTheOtherScriptsOfTheFolderAsTheyAreOnDisk)
{
    // Not a script: what it declares counts for nothing.
    Write("notes.txt", "func void level_start(void)\n{\n}\n");
    ASSERT_TRUE(QFile::remove(PathOf("Level1_Start.BSL")));
    Open("level1_main.bsl");
    PressF7();
    EXPECT_EQ(Entries(), "level1_main.bsl: Line 6: warning: 'level_start' is not defined here\n"
                         "level1_main.bsl: Line 17: warning: 'guard_door' is not defined here");
    EXPECT_TRUE(WarningAt(OffsetOf("level_start")));

    // A file that turns up, or changes, is read at the next check.
    Write("level1_start.bsl", "func void level_start(void)\n{\n}\n");
    PressF7();
    EXPECT_EQ(Entries(), "level1_main.bsl: Line 17: warning: 'guard_door' is not defined here");
    EXPECT_FALSE(WarningAt(OffsetOf("level_start")));
    Write("level1_start.bsl", kStart);
    PressF7();
    EXPECT_EQ(Entries(), "");

}

TEST_F(ScriptCheck, TheScriptsOwnFileIsNoNeighbourOfIt)
{
    // On disk the script still declares the global the editor no longer does.
    Open("level1_main.bsl");
    EditInEditor("var int alarm = 0;\n", "");
    PressF7();
    EXPECT_EQ(Entries(), "level1_main.bsl: Line 13: warning: 'alarm' is not defined here");
}

TEST_F(ScriptCheck, UnreadableNeighboursAreSkipped)
{
    // A folder named like a script, and a file that cannot be read (unless by the superuser).
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("old.bsl")));
    Write("locked.bsl", "func void level_start(void)\n{\n}\n");
    QFile(PathOf("locked.bsl")).setPermissions(QFileDevice::Permissions());
    Open("level1_main.bsl");
    PressF7();
    EXPECT_EQ(Entries(), "");
    EXPECT_TRUE(desktop.messageBoxes.empty());
}

struct SeededFault {
    std::string_view from;
    std::string_view to;
    std::string_view underlined;  // the text the underline starts at, first found in the script
    bool error;
    std::string entry;
    std::string_view fix;         // what makes it right again, put in place of `underlined`
};

TEST_F(ScriptCheck, EachSeededFaultIsUnderlinedListedAndLeadsToItsPlace)
{
    const SeededFault faults[] = {
        {"\tlevel_start\n", "\tlevel_strat\n", "level_strat", false,
         "level1_main.bsl: Line 6: warning: 'level_strat' is not defined here", "level_start"},
        {"\tfork guard_door(12)\n}\n", "\tfork guard_door(12)\n", "{\n\tlevel_start", true,
         "level1_main.bsl: Line 5: error: '{' is never closed", "{\n\tlevel_start"},
        {"\tchr_poison", "\telse\n\tchr_poison", "else\n\tchr_poison", true,
         "level1_main.bsl: Line 16: error: 'else' without 'if'", "chr_poison"},
    };
    for (const SeededFault& fault : faults) {
        SCOPED_TRACE(fault.entry);
        std::string text(kMain);
        text.replace(text.find(fault.from), fault.from.size(), fault.to);
        OpenMainWith(text);
        PressF7();
        ASSERT_EQ(Entries(), fault.entry);
        const long at = OffsetOf(fault.underlined);
        EXPECT_EQ(ErrorAt(at), fault.error);
        EXPECT_EQ(WarningAt(at), !fault.error);

        // Enter on the entry goes to the fault and leaves the keyboard in the editor.
        main.select(0, 0);
        List()->setCurrentRow(0);
        List()->setFocus();
        input::Key(List(), Qt::Key_Return);
        QApplication::processEvents();
        EXPECT_EQ(Caret(), at);
        EXPECT_TRUE(main.editor()->hasFocus());
        EXPECT_EQ(QApplication::activeWindow(), &main.window);

        if (fault.underlined == fault.fix) {
            // The brace: the fault is the lack of one at the end.
            main.editor()->SendScintilla(QsciScintillaBase::SCI_DOCUMENTEND);
            main.editor()->insert(QStringLiteral("}\r\n"));
        } else {
            EditInEditor(fault.underlined, fault.fix);
        }
        PressF7();
        EXPECT_EQ(Entries(), "");
        EXPECT_EQ(MarkedPositions(), 0);
    }
}

TEST_F(ScriptCheck, ADoubleClickOnAnEntryGoesToItsPlace)
{
    std::string text(kMain);
    text.replace(text.find("\tai2_spawn Muro\n"), 16, "\tai2_spwan Muro\n");
    OpenMainWith(text);
    PressF7();
    ASSERT_EQ(List()->count(), 1);
    const QRect entry = List()->visualItemRect(List()->item(0));
    DoubleClick(List()->viewport(), entry.center());
    QApplication::processEvents();
    EXPECT_EQ(Caret(), OffsetOf("ai2_spwan"));
    EXPECT_TRUE(main.editor()->hasFocus());
}

TEST_F(ScriptCheck, TheCheckRunsByItselfOnceTypingPauses)
{
    Open("level1_main.bsl");
    const long at = OffsetOf("ai2_spawn");
    main.select(at + 4, at + 4);
    main.editor()->setFocus();
    input::Key(main.editor(), Qt::Key_Delete);
    // Typing on does not wait for the check.
    EXPECT_EQ(MarkedPositions(), 0);
    WaitForCheck(main.window);
    EXPECT_TRUE(WarningAt(OffsetOf("ai2_pawn")));
    // Nothing shows the list unasked.
    EXPECT_FALSE(Problems()->isVisible());
    PressF7();
    EXPECT_EQ(Entries(), "level1_main.bsl: Line 7: warning: 'ai2_pawn' is not defined here");

    // An open list follows the checks at the pauses.
    MakeActive(&main.window);
    main.editor()->undo();
    WaitForCheck(main.window);
    EXPECT_EQ(MarkedPositions(), 0);
    EXPECT_EQ(Entries(), "");
}

TEST_F(ScriptCheck, ACheckOfTextChangedSinceIsNeverShown)
{
    std::string text(kMain);
    text.replace(text.find("\tlevel_start\n"), 13, "\tlevel_strat\n");
    OpenMainWith(text);
    WaitForCheck(main.window);
    ASSERT_TRUE(WarningAt(OffsetOf("level_strat")));

    // The fix comes while the worker still reads the faulty text: only the fixed one is shown.
    main.window.checkScriptNow();
    EditInEditor("level_strat", "level_start");
    WaitForCheck(main.window);
    EXPECT_EQ(MarkedPositions(), 0);
    main.window.showProblems();
    WaitForCheck(main.window);
    EXPECT_EQ(Entries(), "");
}

TEST_F(ScriptCheck, AScriptFullOfFaultsListsTheFirstOnesAndUnderlinesThemAll)
{
    std::string text = "func void main(void)\n{\n";
    for (int i = 0; i < 600; ++i)
        text += "\tlevel_strat\n";
    text += "}\n";
    OpenMainWith(text);
    PressF7();
    EXPECT_EQ(List()->count(), 500);
    EXPECT_EQ(main.control<QLabel>("ProblemSummary")->text().toStdString(), "600 problems; the first 500 are listed.");
    EXPECT_TRUE(WarningAt(long(main.editorText().rfind("level_strat"))));
}

// A long script's underlines come off and go on a stretch at a time: once they are all done,
// each fault has one where it now stands and a fault fixed has none.
TEST_F(ScriptCheck, AFixAmongThousandsOfFaultsTakesOffItsUnderlineAlone)
{
    constexpr int kFaults = 5000;
    std::string text = "func void main(void)\n{\n";
    for (int i = 0; i < kFaults; ++i)
        text += "\tlevel_strat\n";
    text += "}\n";
    OpenMainWith(text);
    PressF7();
    const int faultLength = int(std::string_view("level_strat").size());
    ASSERT_TRUE(driving::WaitFor([&] { return MarkedPositions() == kFaults * faultLength; }, 10000));

    const long fixed = OffsetOf("level_strat");
    EditInEditor("\tlevel_strat\n\tlevel_strat\n\tlevel_strat\n}", "\tlevel_strat\n}");
    EditInEditor("{\n\tlevel_strat", "{\n\tlevel_start");
    PressF7();
    EXPECT_TRUE(driving::WaitFor([&] { return MarkedPositions() == (kFaults - 3) * faultLength; }, 10000));
    EXPECT_FALSE(WarningAt(fixed));
    EXPECT_TRUE(WarningAt(long(main.editorText().rfind("level_strat"))));
}

// The rest of a long line is held aside, so the faults after it stand further back in the
// editor than in the script.
TEST_F(ScriptCheck, AFaultPastALongLinesReachIsListedButNotUnderlined)
{
    const std::string line = "level_strat;" + std::string(kLineReach, ' ') + "level_stort;";
    OpenMainWith("func void main(void)\n{\n\t" + line + "\n\tlevel_stirt\n}\n");
    PressF7();
    EXPECT_EQ(List()->count(), 3);
    const std::string shown = main.editorText();
    EXPECT_TRUE(WarningAt(long(shown.find("level_strat"))));
    EXPECT_EQ(shown.find("level_stort"), std::string::npos);
    const long last = long(shown.find("level_stirt"));
    EXPECT_TRUE(WarningAt(last));
    EXPECT_FALSE(WarningAt(last - 2));
}

// `quarn-bsl check` on the same files lists what the problems window lists, script by script:
// faults of every kind, a command the window puts into its own letter case, characters of the
// code page beyond ASCII, and names the other script declares.
TEST_F(ScriptCheck, TheCommandLineCheckFindsWhatTheProblemsWindowLists)
{
    Write("level1_main.bsl", "var int alarm = 0;\n"
                             "var int Alarm;\n"
                             "func void main(void)\n"
                             "{\n"
                             "\tlevel_start\n"
                             "\tAI2_SPAWN = 1\n"
                             "\tdmsg \"caf\xe9 \x80\"; nowhere\n"
                             "\tif (alarm eq 1\n"
                             "\t{\n"
                             "\t}\n"
                             "\telse\n"
                             "\t{\n"
                             "\t}\n"
                             "}\n"
                             "}\n");
    Write("Level1_Start.BSL", "func void level_start(void)\n"
                              "{\n"
                              "\tunset_thing = 2\n"
                              "\tvar int x;\n"
                              "\tvar int X;\n"
                              "\tmain\n"
                              "}\n"
                              "func void LEVEL_START\n");

    QProcess check;
    check.start(QStringLiteral(QUARN_BSL_EXECUTABLE), {QStringLiteral("check"), QStringLiteral("--format=json"), folder.path()});
    ASSERT_TRUE(check.waitForFinished(kCheckBoundMs));
    EXPECT_EQ(check.exitCode(), 1);
    std::map<QString, QStringList> listed;
    for (const QJsonValue& value : QJsonDocument::fromJson(check.readAllStandardOutput()).object().value("findings").toArray()) {
        const QJsonObject finding = value.toObject();
        const QString name = QFileInfo(finding.value("path").toString()).fileName();
        listed[name].append(QStringLiteral("%1: Line %2: %3: %4")
                                .arg(name)
                                .arg(finding.value("line").toInt())
                                .arg(finding.value("severity").toString(), finding.value("message").toString()));
    }

    // The problems window lists the whole level, the script shown first.
    for (const auto& [shown, other] : {std::pair{"level1_main.bsl", "Level1_Start.BSL"}, {"Level1_Start.BSL", "level1_main.bsl"}}) {
        SCOPED_TRACE(shown);
        Open(shown);
        PressF7();
        const QStringList expected = listed[QString::fromLatin1(shown)] + listed[QString::fromLatin1(other)];
        EXPECT_EQ(expected.join(QLatin1Char('\n')).toStdString(), Entries());
    }
}

// Each reading of the script as it stands puts its folds on the margin and tells the editor how
// the script indents.
TEST_F(ScriptCheck, EachReadingFoldsTheScriptAndSetsItsIndentation)
{
    // Opening a script may replace the tab, so the editor is asked for anew each time.
    const auto heads = [this](long line) {
        return (main.editor()->SendScintilla(QsciScintillaBase::SCI_GETFOLDLEVEL, static_cast<unsigned long>(line))
                & QsciScintillaBase::SC_FOLDLEVELHEADERFLAG) != 0;
    };
    Open("level1_main.bsl");
    WaitForCheck(main.window);
    EXPECT_TRUE(heads(3));   // func void main(void)
    EXPECT_TRUE(heads(7));   // if (alarm eq 0)
    EXPECT_FALSE(heads(8));

    // A function typed at the end folds once the typing pauses and the reading comes.
    main.editor()->SendScintilla(QsciScintillaBase::SCI_DOCUMENTEND);
    const long lines = main.editor()->SendScintilla(QsciScintillaBase::SCI_GETLINECOUNT);
    main.editor()->setFocus();
    for (const char* line : {"func void later(void)", "{", "sleep 1"}) {
        main.editor()->insert(QString::fromLatin1(line));
        main.editor()->SendScintilla(QsciScintillaBase::SCI_DOCUMENTEND);
        input::Key(main.editor(), Qt::Key_Return);
    }
    main.editor()->insert(QStringLiteral("}"));
    WaitForCheck(main.window);
    EXPECT_TRUE(heads(lines - 1));

    // Blanks where the script indents with blanks.
    std::string blanks(kMain);
    for (std::size_t tab = blanks.find('\t'); tab != std::string::npos; tab = blanks.find('\t', tab))
        blanks.replace(tab, 1, "  ");
    OpenMainWith(blanks);
    WaitForCheck(main.window);
    const long sleep = long(main.editorText().find("alarm = 1"));
    main.select(sleep, sleep);
    main.editor()->SendScintilla(QsciScintillaBase::SCI_LINEEND);
    input::Key(main.editor(), Qt::Key_Return);
    const long caret = main.editor()->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS);
    EXPECT_EQ(main.editorText().substr(std::size_t(caret) - 6, 6), "\r\n    ");
}

} // namespace
