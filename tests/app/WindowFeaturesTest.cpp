#include "app/GoToLineDialog.h"
#include "app/ScriptTab.h"
#include "app/ScriptTabs.h"
#include "app/Settings.h"
#include "files/FileFaults.h"
#include "editor/ScriptLexer.h"
#include "platform/Cp1252.h"
#include "support/FakeDesktopServices.h"
#include "support/InputEvents.h"
#include "support/MainWindowHarness.h"

#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QUrl>
#include <QWheelEvent>
#include <QWindow>
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <vector>

// The toolkit's way in for a key from the keyboard: the active window's shortcuts first, then the
// focused control. Its test library declares it; this suite does not link that library.
Q_GUI_EXPORT void qt_handleKeyEvent(QWindow* window, QEvent::Type type, int key, Qt::KeyboardModifiers modifiers,
                                    const QString& text = QString(), bool autorepeat = false, ushort count = 1);

namespace {

using Answer = DesktopServices::Answer;

// Processes events until `done` holds, for at most about a second.
bool WaitFor(const std::function<bool()>& done)
{
    for (int round = 0; round < 100 && !done(); ++round)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

// Makes `window` the active window, as a click on it would.
bool Activate(QWidget& window)
{
    window.activateWindow();
    return WaitFor([&] { return QApplication::activeWindow() == &window; });
}

// A key pressed and released on the keyboard while `window` is active. Ctrl with a letter carries
// the control character a keyboard gives, which a control the shortcut missed would take as typing.
void PressKey(QWidget& window, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, QString text = QString())
{
    if (text.isEmpty() && (modifiers & Qt::ControlModifier) && key >= Qt::Key_A && key <= Qt::Key_Z)
        text = QChar(key - Qt::Key_A + 1);
    QWindow* handle = window.window()->windowHandle();
    qt_handleKeyEvent(handle, QEvent::KeyPress, key, modifiers, text);
    qt_handleKeyEvent(handle, QEvent::KeyRelease, key, modifiers, text);
}

// Characters typed on the keyboard while `window` is active.
void TypeKeys(QWidget& window, const QString& text)
{
    for (const QChar c : text)
        PressKey(window, c.isDigit() ? Qt::Key_0 + c.digitValue() : c.toUpper().unicode(), Qt::NoModifier, c);
}

// The size a window opens at when nothing is remembered: two thirds of the screen, at least the
// template's.
QSize FirstStartSize(const QWidget& window)
{
    return (QGuiApplication::primaryScreen()->availableGeometry().size() * 2 / 3).expandedTo(window.minimumSize());
}

// The settings as the program keeps them.
QSettings StoredSettings()
{
    return {QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("quarn-xp"), QStringLiteral("quarn-xp")};
}

// A script of `count` numbered lines, CR LF after each but the last.
QByteArray NumberedLines(int count)
{
    QByteArray script;
    for (int line = 1; line <= count; ++line) {
        script += "sleep " + QByteArray::number(line);
        if (line < count)
            script += "\r\n";
    }
    return script;
}

class WindowFeatures : public ::testing::Test {
protected:
    QString PathOf(const QString& name) const { return m_dir.filePath(name); }
    QString Folder() const { return m_dir.path() + QLatin1Char('/'); }

    MainWindow& Window() { return main.window; }
    ScriptEditor& Editor() { return *main.editor(); }
    std::string EditorText() const { return main.editorText(); }

    // A script written to the temporary folder, then opened with OPEN.
    QString OpenNew(const QString& name, const QByteArray& bytes)
    {
        const QString path = PathOf(name);
        EXPECT_TRUE(writeFileBytes(path, bytes));
        desktop.openFileName = path;
        input::LeftClick(main.control("IDC_OPEN_LABEL"), QPoint(2, 2));
        desktop.openFileName.reset();
        return path;
    }

    void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) { PressKey(Window(), key, modifiers); }

    FakeDesktopServices desktop;
    QTemporaryDir m_dir;
    MainWindowUnderTest main;
};

// --- The title ---------------------------------------------------------------------------------

TEST_F(WindowFeatures, TitleOfANewScriptIsTheProgramsNameUntilItChanges)
{
    EXPECT_EQ(Window().windowTitle(), QStringLiteral("QUARN-XP"));
    ASSERT_TRUE(Activate(Window()));
    TypeKeys(Window(), QStringLiteral("x"));
    EXPECT_EQ(Window().windowTitle(), QStringLiteral("Untitled* - QUARN-XP"));
    Press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Window().windowTitle(), QStringLiteral("QUARN-XP"));
}

TEST_F(WindowFeatures, TitleNamesTheFileAndMarksUnsavedChangesUntilSavedOrUndone)
{
    OpenNew(QStringLiteral("level01.bsl"), "sleep 10");
    EXPECT_EQ(Window().windowTitle(), QStringLiteral("level01.bsl - QUARN-XP"));

    ASSERT_TRUE(Activate(Window()));
    TypeKeys(Window(), QStringLiteral("x"));
    EXPECT_EQ(Window().windowTitle(), QStringLiteral("level01.bsl* - QUARN-XP"));

    Press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(EditorText(), "sleep 10");
    EXPECT_EQ(Window().windowTitle(), QStringLiteral("level01.bsl - QUARN-XP"));

    TypeKeys(Window(), QStringLiteral("y"));
    EXPECT_EQ(Window().windowTitle(), QStringLiteral("level01.bsl* - QUARN-XP"));
    Press(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(Window().windowTitle(), QStringLiteral("level01.bsl - QUARN-XP"));

    // Saved under another name, the title follows it.
    desktop.saveFileName = PathOf(QStringLiteral("level02.bsl"));
    Press(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Window().windowTitle(), QStringLiteral("level02.bsl - QUARN-XP"));
    EXPECT_TRUE(desktop.messageBoxes.empty());
}

TEST_F(WindowFeatures, TitleShowsAFileNameHoldingTheToolkitsModifiedPlaceholderAsItIs)
{
    OpenNew(QStringLiteral("odd[*]name.bsl"), "sleep 10");
    EXPECT_EQ(Window().windowHandle()->title(), QStringLiteral("odd[*]name.bsl - QUARN-XP"));
    ASSERT_TRUE(Activate(Window()));
    TypeKeys(Window(), QStringLiteral("x"));
    EXPECT_EQ(Window().windowHandle()->title(), QStringLiteral("odd[*]name.bsl* - QUARN-XP"));
}

// --- Saving and opening from the keyboard --------------------------------------------------------

TEST_F(WindowFeatures, CtrlSWritesTheOpenFileAtOnceAndKeepsItsPermissions)
{
    const QString path = OpenNew(QStringLiteral("level01.bsl"), "sleep 10");
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0640), 0);
    ASSERT_TRUE(Activate(Window()));
    ASSERT_EQ(QApplication::focusWidget(), &Editor());
    TypeKeys(Window(), QStringLiteral("x"));

    Press(Qt::Key_S, Qt::ControlModifier);

    EXPECT_TRUE(desktop.saveDialogs.empty());
    EXPECT_TRUE(desktop.messageBoxes.empty());
    EXPECT_EQ(readFileBytes(path), "xsleep 10");
    EXPECT_EQ(EditorText(), "xsleep 10");
    EXPECT_FALSE(Editor().isModified());
    struct stat status {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0640u);
}

TEST_F(WindowFeatures, CtrlSThroughALinkWritesTheFileItPointsToAndKeepsTheLink)
{
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("real")));
    const QString target = PathOf(QStringLiteral("real/level01.bsl"));
    ASSERT_TRUE(writeFileBytes(target, "sleep 10"));
    const QString link = PathOf(QStringLiteral("level01.bsl"));
    ASSERT_TRUE(QFile::link(target, link));
    desktop.openFileName = link;
    input::LeftClick(main.control("IDC_OPEN_LABEL"), QPoint(2, 2));
    ASSERT_TRUE(Activate(Window()));
    TypeKeys(Window(), QStringLiteral("x"));

    Press(Qt::Key_S, Qt::ControlModifier);

    EXPECT_TRUE(desktop.messageBoxes.empty());
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(readFileBytes(target), "xsleep 10");
    EXPECT_EQ(Window().windowTitle(), QStringLiteral("level01.bsl - QUARN-XP"));
}

TEST_F(WindowFeatures, CtrlSWithoutAFileAsksWhereAsSaveDoes)
{
    ASSERT_TRUE(Activate(Window()));
    TypeKeys(Window(), QStringLiteral("x"));
    desktop.saveFileName = PathOf(QStringLiteral("level01"));
    Press(Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(desktop.saveDialogs.size(), 1u);
    EXPECT_EQ(desktop.saveDialogs[0].defaultSuffix, QStringLiteral("bsl"));
    EXPECT_EQ(desktop.saveDialogs[0].filterPattern, QStringLiteral("*.bsl"));
    EXPECT_EQ(readFileBytes(PathOf(QStringLiteral("level01.bsl"))), "x");
    EXPECT_EQ(Window().scriptPath(), PathOf(QStringLiteral("level01.bsl")));

    // From now on the script has its file.
    TypeKeys(Window(), QStringLiteral("y"));
    Press(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(desktop.saveDialogs.size(), 1u);
    EXPECT_EQ(readFileBytes(PathOf(QStringLiteral("level01.bsl"))), "xy");
}

TEST_F(WindowFeatures, CtrlSWithoutAFileCancelledWritesNothing)
{
    ASSERT_TRUE(Activate(Window()));
    TypeKeys(Window(), QStringLiteral("x"));
    Press(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(desktop.saveDialogs.size(), 1u);
    EXPECT_TRUE(Editor().isModified());
    EXPECT_TRUE(Window().scriptPath().isEmpty());
    EXPECT_TRUE(QDir(m_dir.path()).isEmpty());
}

TEST_F(WindowFeatures, CtrlShiftSAlwaysAsks)
{
    const QString path = OpenNew(QStringLiteral("level01.bsl"), "sleep 10");
    ASSERT_TRUE(Activate(Window()));
    Press(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_EQ(desktop.saveDialogs.size(), 1u);
    EXPECT_EQ(desktop.saveDialogs[0].initialFolder, Folder());
    EXPECT_EQ(Window().scriptPath(), path);

    desktop.saveFileName = PathOf(QStringLiteral("copy.bsl"));
    Press(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(desktop.saveDialogs.size(), 2u);
    EXPECT_EQ(readFileBytes(PathOf(QStringLiteral("copy.bsl"))), "sleep 10");
    EXPECT_EQ(Window().scriptPath(), PathOf(QStringLiteral("copy.bsl")));
}

TEST_F(WindowFeatures, CtrlOOpensAsOpenDoesInATabOfItsOwn)
{
    ASSERT_TRUE(writeFileBytes(PathOf(QStringLiteral("level01.bsl")), "func main"));
    ASSERT_TRUE(Activate(Window()));
    TypeKeys(Window(), QStringLiteral("x"));
    ScriptTab* typed = Window().tabs()->current();
    desktop.openFileName = PathOf(QStringLiteral("level01.bsl"));
    Press(Qt::Key_O, Qt::ControlModifier);
    EXPECT_TRUE(desktop.messageBoxes.empty());
    ASSERT_EQ(desktop.openDialogs.size(), 1u);
    EXPECT_EQ(desktop.openDialogs[0].filterPattern, QStringLiteral("*.bsl"));
    EXPECT_EQ(EditorText(), "func main");
    EXPECT_EQ(Window().scriptPath(), PathOf(QStringLiteral("level01.bsl")));
    ASSERT_EQ(Window().tabs()->tabs().size(), 2u);
    EXPECT_NE(Window().tabs()->current(), typed);
    EXPECT_TRUE(typed->isModified());
}

TEST_F(WindowFeatures, ShortcutsWorkWhereverTheFocusIsAndTypeNothing)
{
    OpenNew(QStringLiteral("level01.bsl"), "sleep 10");
    ASSERT_TRUE(Activate(Window()));
    for (const char* name : {"IDC_SCRIPT_EDIT", "IDC_CUSTOM_EDIT", "IDC_CATEGORY_COMBO", "IDC_LINK_CHARS"}) {
        SCOPED_TRACE(name);
        main.control(name)->setFocus();
        ASSERT_EQ(QApplication::focusWidget(), main.control(name));
        const std::size_t saves = desktop.saveDialogs.size();
        const std::size_t opens = desktop.openDialogs.size();
        Press(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_EQ(desktop.saveDialogs.size(), saves + 1);
        Press(Qt::Key_O, Qt::ControlModifier);
        EXPECT_EQ(desktop.openDialogs.size(), opens + 1);
        Press(Qt::Key_S, Qt::ControlModifier);
        EXPECT_EQ(desktop.saveDialogs.size(), saves + 1);
        Editor().zoomTo(3);
        Press(Qt::Key_0, Qt::ControlModifier);
        EXPECT_EQ(Editor().SendScintilla(QsciScintillaBase::SCI_GETZOOM), 0);
        EXPECT_EQ(EditorText(), "sleep 10");
        EXPECT_FALSE(Editor().isModified());
    }
    EXPECT_TRUE(desktop.messageBoxes.empty());
}

TEST_F(WindowFeatures, CtrlSOntoAFileThatBecameReadOnlyReportsItAndKeepsTheChanges)
{
    const QString path = OpenNew(QStringLiteral("level01.bsl"), "sleep 10");
    ASSERT_TRUE(Activate(Window()));
    TypeKeys(Window(), QStringLiteral("x"));
    {
        FaultyFileSystemCalls calls;
        calls.failOpen(path, EACCES);
        Press(Qt::Key_S, Qt::ControlModifier);
    }
    EXPECT_TRUE(desktop.saveDialogs.empty());
    ASSERT_EQ(desktop.messageBoxes.size(), 1u);
    EXPECT_EQ(desktop.messageBoxes[0].text, "Access to " + cp1252::encode(path) + " was denied.");
    EXPECT_EQ(desktop.messageBoxes[0].icon, DesktopServices::Icon::Stop);
    EXPECT_EQ(desktop.messageBoxes[0].caption, "quarn-xp");
    EXPECT_EQ(readFileBytes(path), "sleep 10");
    EXPECT_TRUE(Editor().isModified());
    EXPECT_EQ(Window().windowTitle(), QStringLiteral("level01.bsl* - QUARN-XP"));
}

TEST_F(WindowFeatures, SavingChangesOnCloseWritesTheOpenFileWithoutAsking)
{
    const QString path = OpenNew(QStringLiteral("level01.bsl"), "sleep 10");
    ASSERT_TRUE(Activate(Window()));
    TypeKeys(Window(), QStringLiteral("x"));
    desktop.messageBoxAnswers = {Answer::Save};
    EXPECT_TRUE(Window().close());
    EXPECT_EQ(desktop.messageBoxes.size(), 1u);
    EXPECT_TRUE(desktop.saveDialogs.empty());
    EXPECT_EQ(readFileBytes(path), "xsleep 10");
}

// --- Dropping files and text ----------------------------------------------------------------

// A drag from another program over `target` at `local`, released there, delivered as the toolkit
// delivers it: the enter, a move, then the drop, each offered to the parents of a control that
// refuses it. True when the drop was taken.
bool DragAndDrop(QWidget* target, QPoint local, const QMimeData& data)
{
    const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
    QDragEnterEvent enter(local, actions, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted())
        return false;
    QDragMoveEvent move(local, actions, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &move);
    QDropEvent drop(QPointF(local), actions, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return drop.isAccepted();
}

std::unique_ptr<QMimeData> FileUrls(const QStringList& paths)
{
    auto data = std::make_unique<QMimeData>();
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls.append(QUrl::fromLocalFile(path));
    data->setUrls(urls);
    // File managers add the paths as text too.
    data->setText(paths.join(QLatin1Char('\n')));
    return data;
}

std::unique_ptr<QMimeData> PlainText(const QString& text)
{
    auto data = std::make_unique<QMimeData>();
    data->setText(text);
    return data;
}

class DroppedFiles : public WindowFeatures, public ::testing::WithParamInterface<bool> {
protected:
    // The window itself, or the editor, where the drop lands.
    QWidget* DropTarget() { return GetParam() ? static_cast<QWidget*>(Editor().viewport()) : &Window(); }
    QPoint DropPoint() { return GetParam() ? QPoint(30, 30) : main.control("IDC_CREDITS")->geometry().center(); }
};

TEST_P(DroppedFiles, AScriptOpensOnceTheDropHasReturned)
{
    const QString path = PathOf(QStringLiteral("level01.bsl"));
    ASSERT_TRUE(writeFileBytes(path, "func main"));
    EXPECT_TRUE(DragAndDrop(DropTarget(), DropPoint(), *FileUrls({path})));
    EXPECT_EQ(EditorText(), "");
    QApplication::processEvents();
    EXPECT_EQ(EditorText(), "func main");
    EXPECT_EQ(Window().scriptPath(), path);
    EXPECT_EQ(Window().windowTitle(), QStringLiteral("level01.bsl - QUARN-XP"));
    EXPECT_FALSE(Editor().isModified());
    EXPECT_TRUE(desktop.messageBoxes.empty());
    EXPECT_TRUE(desktop.openDialogs.empty());
}

TEST_P(DroppedFiles, AnUpperCaseSuffixIsAScriptToo)
{
    const QString path = PathOf(QStringLiteral("LEVEL01.BSL"));
    ASSERT_TRUE(writeFileBytes(path, "func main"));
    EXPECT_TRUE(DragAndDrop(DropTarget(), DropPoint(), *FileUrls({path})));
    QApplication::processEvents();
    EXPECT_EQ(EditorText(), "func main");
}

TEST_P(DroppedFiles, SeveralScriptsOpenInTabsOfTheirOwnBesideUnsavedChanges)
{
    const QString first = OpenNew(QStringLiteral("level01.bsl"), "sleep 10");
    ASSERT_TRUE(Activate(Window()));
    TypeKeys(Window(), QStringLiteral("x"));
    ScriptTab* typed = Window().tabs()->current();
    const QString second = PathOf(QStringLiteral("level02.bsl"));
    const QString third = PathOf(QStringLiteral("level03.bsl"));
    ASSERT_TRUE(writeFileBytes(second, "func main"));
    ASSERT_TRUE(writeFileBytes(third, "func other"));

    EXPECT_TRUE(DragAndDrop(DropTarget(), DropPoint(), *FileUrls({second, PathOf(QStringLiteral("notes.txt")), third})));
    QApplication::processEvents();
    EXPECT_TRUE(desktop.messageBoxes.empty());
    ASSERT_EQ(Window().tabs()->tabs().size(), 3u);
    EXPECT_EQ(Window().scriptPath(), third);
    EXPECT_EQ(EditorText(), "func other");
    EXPECT_EQ(Window().tabs()->find(second)->editor()->documentText(), "func main");
    EXPECT_EQ(typed->editor()->documentText(), "xsleep 10");
    EXPECT_TRUE(typed->isModified());
    EXPECT_EQ(readFileBytes(first), "sleep 10");

    // Dropped again, a script open already is brought forward, not opened twice.
    EXPECT_TRUE(DragAndDrop(DropTarget(), DropPoint(), *FileUrls({first})));
    QApplication::processEvents();
    EXPECT_EQ(Window().tabs()->tabs().size(), 3u);
    EXPECT_EQ(Window().tabs()->current(), typed);
    EXPECT_EQ(EditorText(), "xsleep 10");
}

TEST_P(DroppedFiles, AFileThatIsNoScriptIsRefusedAndInsertsNothing)
{
    const QString path = PathOf(QStringLiteral("notes.txt"));
    ASSERT_TRUE(writeFileBytes(path, "not a script"));
    main.setEditorText("sleep 10", 0, 0);
    EXPECT_FALSE(DragAndDrop(DropTarget(), DropPoint(), *FileUrls({path})));
    QApplication::processEvents();
    EXPECT_EQ(EditorText(), "sleep 10");
    EXPECT_TRUE(Window().scriptPath().isEmpty());
    EXPECT_TRUE(desktop.messageBoxes.empty());
}

TEST_P(DroppedFiles, AMissingScriptIsReportedAsOpenReportsIt)
{
    const QString path = PathOf(QStringLiteral("gone.bsl"));
    Editor().setScript("sleep 10");
    EXPECT_TRUE(DragAndDrop(DropTarget(), DropPoint(), *FileUrls({path})));
    QApplication::processEvents();
    ASSERT_EQ(desktop.messageBoxes.size(), 1u);
    EXPECT_EQ(desktop.messageBoxes[0].icon, DesktopServices::Icon::Stop);
    EXPECT_NE(desktop.messageBoxes[0].text.find("gone.bsl"), std::string::npos) << desktop.messageBoxes[0].text;
    EXPECT_EQ(EditorText(), "sleep 10");
    EXPECT_TRUE(Window().scriptPath().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(OnTheWindowAndOnTheEditor, DroppedFiles, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "OnTheEditor" : "OnTheWindow";
                         });

TEST_F(WindowFeatures, DroppedTextIsInsertedIntoTheEditorAsOneStep)
{
    main.setEditorText("", 0, 0);
    EXPECT_TRUE(DragAndDrop(Editor().viewport(), QPoint(30, 10), *PlainText(QStringLiteral("SLEEP 5"))));
    QApplication::processEvents();
    EXPECT_EQ(EditorText(), "sleep 5");
    EXPECT_TRUE(Window().scriptPath().isEmpty());
    EXPECT_TRUE(desktop.messageBoxes.empty());
    Editor().undo();
    EXPECT_EQ(EditorText(), "");
}

TEST_F(WindowFeatures, DroppedTextOverTheRestOfTheWindowIsNotTaken)
{
    EXPECT_FALSE(DragAndDrop(main.control("IDC_CREDITS"), QPoint(2, 2), *PlainText(QStringLiteral("sleep 5"))));
    EXPECT_EQ(EditorText(), "");
}

// --- Going to a line ---------------------------------------------------------------------------

class GoingToALine : public WindowFeatures {
protected:
    void SetUp() override
    {
        OpenNew(QStringLiteral("long.bsl"), NumberedLines(1000));
        ASSERT_TRUE(Activate(Window()));
    }

    // Ctrl+G, then the box it opens, active.
    GoToLineDialog* OpenBox()
    {
        Press(Qt::Key_G, Qt::ControlModifier);
        auto* box = Window().findChild<GoToLineDialog*>();
        if (!box || !WaitFor([&] { return box->isVisible() && QApplication::activeWindow() == box; }))
            return nullptr;
        return box;
    }

    // `text` typed over what the box holds, then Enter.
    void Enter(GoToLineDialog& box, const QString& text)
    {
        PressKey(box, Qt::Key_A, Qt::ControlModifier);
        if (text.isEmpty())
            PressKey(box, Qt::Key_Backspace);
        TypeKeys(box, text);
        PressKey(box, Qt::Key_Return);
    }

    long FirstVisibleLine() { return Editor().SendScintilla(QsciScintillaBase::SCI_GETFIRSTVISIBLELINE); }
    long LinesOnScreen() { return Editor().SendScintilla(QsciScintillaBase::SCI_LINESONSCREEN); }
    long Caret() { return Editor().SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS); }
    long StartOfLine(long line)
    {
        return Editor().SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, static_cast<unsigned long>(line - 1));
    }
};

TEST_F(GoingToALine, CtrlGAsksForTheLineWithTheCurrentOneOffered)
{
    Editor().setCursorPosition(41, 3);
    GoToLineDialog* box = OpenBox();
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->isModal());
    auto* line = box->findChild<QLineEdit*>(QStringLiteral("LineNumber"));
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->text(), QStringLiteral("42"));
    EXPECT_EQ(line->selectedText(), QStringLiteral("42"));
    EXPECT_EQ(QApplication::focusWidget(), line);
    bool namesTheRange = false;
    for (QLabel* label : box->findChildren<QLabel*>())
        namesTheRange |= label->isVisible() && label->text().contains(QStringLiteral("1 - 1000"));
    EXPECT_TRUE(namesTheRange);
    PressKey(*box, Qt::Key_Escape);
    EXPECT_TRUE(WaitFor([&] { return Window().findChild<GoToLineDialog*>() == nullptr; }));
    EXPECT_EQ(Caret(), StartOfLine(42) + 3);
    EXPECT_EQ(EditorText().substr(0, 7), "sleep 1");
}

TEST_F(GoingToALine, ANumberPutsTheCaretAtTheStartOfThatLineInView)
{
    ASSERT_EQ(FirstVisibleLine(), 0);
    ASSERT_GT(LinesOnScreen(), 5);
    for (const int target : {700, 1000, 1, 350}) {
        SCOPED_TRACE(target);
        GoToLineDialog* box = OpenBox();
        ASSERT_NE(box, nullptr);
        Enter(*box, QString::number(target));
        EXPECT_TRUE(WaitFor([&] { return Window().findChild<GoToLineDialog*>() == nullptr; }));
        EXPECT_EQ(Caret(), StartOfLine(target));
        EXPECT_EQ(Editor().SendScintilla(QsciScintillaBase::SCI_GETANCHOR), Caret());
        EXPECT_LE(FirstVisibleLine(), target - 1);
        EXPECT_GT(FirstVisibleLine() + LinesOnScreen(), target - 1);
        // Without a window manager here, the window takes the activation back by hand.
        ASSERT_TRUE(Activate(Window()));
        EXPECT_EQ(QApplication::focusWidget(), &Editor());
    }
    EXPECT_FALSE(Editor().isModified());
    EXPECT_TRUE(desktop.messageBoxes.empty());
}

TEST_F(GoingToALine, WhatNamesNoLineIsRefusedInsideTheBoxWithTheRange)
{
    Editor().setCursorPosition(9, 2);
    const long caret = Caret();
    GoToLineDialog* box = OpenBox();
    ASSERT_NE(box, nullptr);
    auto* refusal = box->findChild<QLabel*>(QStringLiteral("Refusal"));
    ASSERT_NE(refusal, nullptr);
    EXPECT_FALSE(refusal->isVisible());
    for (const QString& text : {QStringLiteral("0"), QStringLiteral("abc"), QString(), QStringLiteral("1001"),
                                QStringLiteral("-3"), QStringLiteral("99999999999")}) {
        SCOPED_TRACE(text.toStdString());
        Enter(*box, text);
        QApplication::processEvents();
        EXPECT_TRUE(box->isVisible());
        EXPECT_TRUE(refusal->isVisible());
        EXPECT_TRUE(refusal->text().contains(QStringLiteral("from 1 to 1000"))) << refusal->text().toStdString();
        EXPECT_EQ(Caret(), caret);
    }
    EXPECT_TRUE(desktop.messageBoxes.empty());

    // Put right, it is taken.
    Enter(*box, QStringLiteral("12"));
    EXPECT_TRUE(WaitFor([&] { return Window().findChild<GoToLineDialog*>() == nullptr; }));
    EXPECT_EQ(Caret(), StartOfLine(12));
}

TEST(ParseLineNumber, TakesANumberWithinTheScriptOnly)
{
    EXPECT_EQ(parseLineNumber(QStringLiteral("1"), 10), 1);
    EXPECT_EQ(parseLineNumber(QStringLiteral("10"), 10), 10);
    EXPECT_EQ(parseLineNumber(QStringLiteral(" 7 "), 10), 7);
    EXPECT_EQ(parseLineNumber(QStringLiteral("007"), 10), 7);
    EXPECT_EQ(parseLineNumber(QStringLiteral("1"), 1), 1);
    for (const char* text : {"", " ", "0", "11", "-1", "abc", "5x", "x5", "1.5", "1e1", "0x5", "5 6", "99999999999"})
        EXPECT_EQ(parseLineNumber(QString::fromLatin1(text), 10), std::nullopt) << '"' << text << '"';
}

// --- The line numbers and the zoom -------------------------------------------------------------

TEST_F(WindowFeatures, LineNumbersShowInTheEditorsFontAndTheCaretLineStandsOut)
{
    EXPECT_EQ(Editor().SendScintilla(QsciScintillaBase::SCI_GETMARGINTYPEN, 0UL),
              long(QsciScintillaBase::SC_MARGIN_NUMBER));
    EXPECT_GT(Editor().SendScintilla(QsciScintillaBase::SCI_GETMARGINWIDTHN, 0UL), 0);
    const auto fontOf = [&](unsigned long style) {
        char face[128] = {};
        Editor().SendScintilla(QsciScintillaBase::SCI_STYLEGETFONT, style, face);
        return std::string(face) + " " +
               std::to_string(Editor().SendScintilla(QsciScintillaBase::SCI_STYLEGETSIZE, style));
    };
    const QFont font = Editor().lexer()->font(0);
    EXPECT_EQ(fontOf(0), font.family().toStdString() + " " + std::to_string(font.pointSize()));
    EXPECT_EQ(fontOf(QsciScintillaBase::STYLE_LINENUMBER), fontOf(0));
    EXPECT_EQ(Editor().SendScintilla(QsciScintillaBase::SCI_GETCARETLINEVISIBLE), 1);
    EXPECT_NE(Editor().SendScintilla(QsciScintillaBase::SCI_GETCARETLINEBACK),
              Editor().SendScintilla(QsciScintillaBase::SCI_STYLEGETBACK, 0UL));
}

TEST_F(WindowFeatures, TheGutterGrowsWhenTheScriptReachesAHundredLines)
{
    OpenNew(QStringLiteral("long.bsl"), NumberedLines(99));
    QApplication::processEvents();
    const long narrow = Editor().SendScintilla(QsciScintillaBase::SCI_GETMARGINWIDTHN, 0UL);
    ASSERT_TRUE(Activate(Window()));
    Editor().SendScintilla(QsciScintillaBase::SCI_DOCUMENTEND);
    PressKey(Window(), Qt::Key_Return);
    ASSERT_EQ(Editor().lines(), 100);
    EXPECT_TRUE(WaitFor([&] { return Editor().SendScintilla(QsciScintillaBase::SCI_GETMARGINWIDTHN, 0UL) > narrow; }));

    Press(Qt::Key_Z, Qt::ControlModifier);
    ASSERT_EQ(Editor().lines(), 99);
    EXPECT_TRUE(WaitFor([&] { return Editor().SendScintilla(QsciScintillaBase::SCI_GETMARGINWIDTHN, 0UL) == narrow; }));
}

long Zoom(ScriptEditor& editor)
{
    return editor.SendScintilla(QsciScintillaBase::SCI_GETZOOM);
}

void CtrlWheel(ScriptEditor& editor, int steps)
{
    QWidget* viewport = editor.viewport();
    const QPointF at(20, 20);
    for (int step = 0; step < std::abs(steps); ++step) {
        QWheelEvent wheel(at, viewport->mapToGlobal(at), QPoint(), QPoint(0, steps > 0 ? 120 : -120), Qt::NoButton,
                          Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(viewport, &wheel);
    }
}

TEST_F(WindowFeatures, CtrlPlusMinusAndWheelZoomWithinBoundsAndCtrlZeroResets)
{
    ASSERT_TRUE(Activate(Window()));
    const long gutter = Editor().SendScintilla(QsciScintillaBase::SCI_GETMARGINWIDTHN, 0UL);
    Press(Qt::Key_Plus, Qt::ControlModifier);
    Press(Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_EQ(Zoom(Editor()), 2);
    EXPECT_GT(Editor().SendScintilla(QsciScintillaBase::SCI_GETMARGINWIDTHN, 0UL), gutter);
    Press(Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_EQ(Zoom(Editor()), 1);
    EXPECT_EQ(EditorText(), "");

    CtrlWheel(Editor(), 40);
    EXPECT_EQ(Zoom(Editor()), Settings::kMaximumZoom);
    CtrlWheel(Editor(), -60);
    EXPECT_EQ(Zoom(Editor()), Settings::kMinimumZoom);
    for (int press = 0; press < 5; ++press)
        Press(Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_EQ(Zoom(Editor()), Settings::kMinimumZoom);

    Press(Qt::Key_0, Qt::ControlModifier);
    EXPECT_EQ(Zoom(Editor()), 0);
    EXPECT_EQ(Editor().SendScintilla(QsciScintillaBase::SCI_GETMARGINWIDTHN, 0UL), gutter);
    EXPECT_EQ(EditorText(), "");
    EXPECT_FALSE(Editor().isModified());
}

// --- Recent scripts ----------------------------------------------------------------------------

// The right-click menu on show, if any; not one of its submenus.
QMenu* OpenTopMenu()
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* menu = qobject_cast<QMenu*>(widget);
            menu && menu->isVisible() && !qobject_cast<QMenu*>(menu->parentWidget()))
            return menu;
    return nullptr;
}

class RecentScripts : public WindowFeatures {
protected:
    // The "Recent scripts" submenu of the right-click menu, opened over the editor; nothing when
    // the menu did not open. The menu stays open until CloseMenu.
    QMenu* OpenRecentMenu()
    {
        input::RightClick(Editor().viewport(), QPoint(20, 20));
        QMenu* menu = OpenTopMenu();
        if (!menu)
            return nullptr;
        for (QAction* action : menu->actions())
            if (action->text() == QStringLiteral("Recent scripts"))
                return action->menu();
        return nullptr;
    }

    void CloseMenu()
    {
        if (QMenu* menu = OpenTopMenu())
            menu->close();
    }

    // The entries of the submenu as they read on the screen.
    QStringList RecentEntries()
    {
        QStringList entries;
        if (QMenu* recent = OpenRecentMenu())
            for (QAction* action : recent->actions())
                entries.append(action->iconText());
        CloseMenu();
        return entries;
    }

    void ChooseRecent(const QString& path)
    {
        QMenu* recent = OpenRecentMenu();
        ASSERT_NE(recent, nullptr);
        QAction* chosen = nullptr;
        for (QAction* action : recent->actions())
            if (action->iconText() == path)
                chosen = action;
        ASSERT_NE(chosen, nullptr) << path.toStdString();
        chosen->trigger();
        CloseMenu();
    }

    QStringList Scripts(int count)
    {
        QStringList paths;
        for (int number = 1; number <= count; ++number) {
            paths.prepend(PathOf(QStringLiteral("level%1.bsl").arg(number)));
            EXPECT_TRUE(writeFileBytes(paths.front(), "sleep " + QByteArray::number(number)));
        }
        return paths;
    }
};

TEST_F(RecentScripts, StartEmptyAndDisabled)
{
    QMenu* recent = OpenRecentMenu();
    ASSERT_NE(recent, nullptr);
    EXPECT_TRUE(recent->actions().isEmpty());
    EXPECT_FALSE(recent->isEnabled());
    CloseMenu();
}

TEST_F(RecentScripts, HoldTheLastEightOpenedOrSavedLatestFirstWithoutRepeats)
{
    const QStringList paths = Scripts(10);  // the latest first
    for (auto path = paths.rbegin(); path != paths.rend(); ++path)
        ASSERT_TRUE(Window().openScriptFile(*path));
    EXPECT_EQ(RecentEntries(), paths.mid(0, Settings::kRecentScriptCount));

    // Opened again, a script moves to the front.
    ASSERT_TRUE(Window().openScriptFile(paths[4]));
    QStringList expected = paths.mid(0, Settings::kRecentScriptCount);
    expected.move(4, 0);
    EXPECT_EQ(RecentEntries(), expected);

    // Saving under a new name adds that name.
    desktop.saveFileName = PathOf(QStringLiteral("copy.bsl"));
    Window().saveScriptAs();
    expected.prepend(PathOf(QStringLiteral("copy.bsl")));
    expected.removeLast();
    EXPECT_EQ(RecentEntries(), expected);
    EXPECT_EQ(Settings().recentScripts(), expected);

    // A failed open adds nothing.
    EXPECT_FALSE(Window().openScriptFile(PathOf(QStringLiteral("missing.bsl"))));
    EXPECT_EQ(RecentEntries(), expected);
}

TEST_F(RecentScripts, ChoosingOneOpensItInATabOrBringsItsTabForward)
{
    const QStringList paths = Scripts(2);
    for (auto path = paths.rbegin(); path != paths.rend(); ++path)
        ASSERT_TRUE(Window().openScriptFile(*path));
    ASSERT_EQ(EditorText(), "sleep 2");
    ASSERT_TRUE(Activate(Window()));
    TypeKeys(Window(), QStringLiteral("x"));
    ScriptTab* typed = Window().tabs()->current();
    Window().tabs()->close(Window().tabs()->find(paths[1]));

    ChooseRecent(paths[1]);
    EXPECT_TRUE(desktop.messageBoxes.empty());
    EXPECT_EQ(EditorText(), "sleep 1");
    EXPECT_EQ(Window().scriptPath(), paths[1]);
    EXPECT_EQ(Window().windowTitle(), QStringLiteral("level1.bsl - QUARN-XP"));
    EXPECT_EQ(RecentEntries(), (QStringList{paths[1], paths[0]}));

    ChooseRecent(paths[0]);
    EXPECT_EQ(Window().tabs()->current(), typed);
    EXPECT_EQ(EditorText(), "xsleep 2");
    EXPECT_EQ(RecentEntries(), (QStringList{paths[0], paths[1]}));
    EXPECT_EQ(readFileBytes(paths[0]), "sleep 2");
}

TEST_F(RecentScripts, AMissingOneIsDroppedWithAWarning)
{
    const QStringList paths = Scripts(3);
    for (auto path = paths.rbegin(); path != paths.rend(); ++path)
        ASSERT_TRUE(Window().openScriptFile(*path));
    ASSERT_TRUE(QFile::remove(paths[1]));

    ChooseRecent(paths[1]);

    ASSERT_EQ(desktop.messageBoxes.size(), 1u);
    EXPECT_EQ(desktop.messageBoxes[0].text,
              cp1252::encode(paths[1]) + " was not found. It is removed from the recent scripts.");
    EXPECT_EQ(desktop.messageBoxes[0].icon, DesktopServices::Icon::Warning);
    EXPECT_EQ(desktop.messageBoxes[0].caption, "quarn-xp");
    EXPECT_EQ(EditorText(), "sleep 3");
    EXPECT_EQ(Window().scriptPath(), paths[0]);
    EXPECT_EQ(RecentEntries(), (QStringList{paths[0], paths[2]}));
}

TEST_F(RecentScripts, AnEntryShowsItsPathAsItIsEvenWithAnAmpersand)
{
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("R&D")));
    const QString path = PathOf(QStringLiteral("R&D/level01.bsl"));
    ASSERT_TRUE(writeFileBytes(path, "sleep 1"));
    ASSERT_TRUE(Window().openScriptFile(path));
    Window().closeScript();
    EXPECT_EQ(RecentEntries(), QStringList{path});
    ChooseRecent(path);
    EXPECT_EQ(EditorText(), "sleep 1");
}

// --- Remembered between runs -------------------------------------------------------------------

class Remembered : public ::testing::Test {
protected:
    Remembered() { StoredSettings().clear(); }

    QString PathOf(const QString& name) const { return m_dir.filePath(name); }

    // A window as the program starts it, with what the earlier ones remembered.
    static std::unique_ptr<MainWindow> StartWindow()
    {
        auto window = std::make_unique<MainWindow>();
        window->show();
        return window;
    }

    // The settings file as a damaged or hand-edited one would be found at start.
    static void WriteSettingsFile(const QByteArray& bytes)
    {
        const QString path = StoredSettings().fileName();
        ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
        ASSERT_TRUE(writeFileBytes(path, bytes));
    }

    // The folder the window's file dialogs start in, as a cancelled OPEN and SAVE show it.
    QString DialogFolder(MainWindow& window)
    {
        desktop.openFileName.reset();
        desktop.saveFileName.reset();
        window.openScript();
        window.saveScriptAs();
        if (desktop.openDialogs.empty() || desktop.saveDialogs.empty())
            return QStringLiteral("<no dialog>");
        if (desktop.openDialogs.back().initialFolder != desktop.saveDialogs.back().initialFolder)
            return QStringLiteral("<open and save differ>");
        return desktop.openDialogs.back().initialFolder;
    }

    static QString Home() { return QDir::homePath() + QLatin1Char('/'); }

    FakeDesktopServices desktop;
    QTemporaryDir m_dir;
};

TEST_F(Remembered, TheFileDialogsStartInTheFolderOfTheLastScript)
{
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("Scripts")));
    const QString path = PathOf(QStringLiteral("Scripts/level01.bsl"));
    ASSERT_TRUE(writeFileBytes(path, "sleep 1"));
    {
        const auto first = StartWindow();
        EXPECT_EQ(DialogFolder(*first), Home());
        ASSERT_TRUE(first->openScriptFile(path));
    }
    const auto second = StartWindow();
    EXPECT_EQ(DialogFolder(*second), PathOf(QStringLiteral("Scripts/")));
    EXPECT_TRUE(second->scriptPath().isEmpty());
    EXPECT_EQ(second->windowTitle(), QStringLiteral("QUARN-XP"));
    EXPECT_TRUE(desktop.messageBoxes.empty());
}

TEST_F(Remembered, TheZoomIsKeptAndReadWithinBounds)
{
    {
        const auto first = StartWindow();
        EXPECT_EQ(Zoom(*first->editor()), 0);
        CtrlWheel(*first->editor(), 3);
        EXPECT_EQ(Zoom(*first->editor()), 3);
    }
    EXPECT_EQ(Zoom(*StartWindow()->editor()), 3);

    WriteSettingsFile("[editor]\nzoom=99\n");
    EXPECT_EQ(Zoom(*StartWindow()->editor()), Settings::kMaximumZoom);
    WriteSettingsFile("[editor]\nzoom=-99\n");
    EXPECT_EQ(Zoom(*StartWindow()->editor()), Settings::kMinimumZoom);
    EXPECT_TRUE(desktop.messageBoxes.empty());
}

struct DamagedSettings {
    const char* name;
    QByteArray bytes;
    int zoom;           // what the window then uses
    bool keepsFolder;   // whether the valid folder further on is still in use
};

class DamagedSettingsFile : public Remembered, public ::testing::WithParamInterface<DamagedSettings> {};

TEST_P(DamagedSettingsFile, FallsBackToDefaultsSilentlyAndKeepsTheValidValues)
{
    const QString folder = m_dir.path() + QLatin1Char('/');
    QByteArray bytes = GetParam().bytes;
    bytes.replace("FOLDER", QFile::encodeName(folder));
    WriteSettingsFile(bytes);

    const auto window = StartWindow();
    QApplication::processEvents();

    EXPECT_EQ(Zoom(*window->editor()), GetParam().zoom);
    EXPECT_EQ(DialogFolder(*window), GetParam().keepsFolder ? folder : Home());
    EXPECT_EQ(window->size(), FirstStartSize(*window));
    EXPECT_EQ(desktop.messageBoxes.size(), 0u);

    // What the window changes from now on is remembered again.
    const QString path = PathOf(QStringLiteral("level01.bsl"));
    ASSERT_TRUE(writeFileBytes(path, "sleep 1"));
    ASSERT_TRUE(window->openScriptFile(path));
    CtrlWheel(*window->editor(), 2);
    EXPECT_TRUE(window->close());
    EXPECT_EQ(Settings().recentScripts(), QStringList{path});
    EXPECT_EQ(Settings().zoom(), GetParam().zoom + 2);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DamagedSettingsFile,
    ::testing::Values(
        DamagedSettings{"GarbageBytes", QByteArray("\x01\xff\xfe[[[\x00garbage\n=\n\xc3\x28=\x07", 20), 0, false},
        DamagedSettings{"ABrokenLine", "[editor]\nzoom=4\nthis line is broken\n[files\nlastFolder=FOLDER\n", 4, true},
        DamagedSettings{"WrongTypes",
                        "[editor]\nzoom=big\n[files]\nlastFolder=FOLDER\nrecentScripts=@Point(1 2)\n"
                        "[window]\ngeometry=@ByteArray(junk)\n",
                        0, true},
        DamagedSettings{"AFolderThatIsNoText", "[editor]\nzoom=-2\n[files]\nlastFolder=@Rect(1 2 3 4)\n", -2, false},
        DamagedSettings{"AnUnknownStoredType",
                        "[editor]\nzoom=5\n[files]\nlastFolder=FOLDER\n"
                        "recentScripts=@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\x6garbage)\n",
                        5, true}),
    [](const ::testing::TestParamInfo<DamagedSettings>& info) { return std::string(info.param.name); });

// --- The window's size and place ---------------------------------------------------------------

TEST_F(Remembered, SizeAndPlaceAreRestoredByTheNextWindow)
{
    const auto placeOf = [](MainWindow& window, const char* name) {
        return window.findChild<QWidget*>(QString::fromLatin1(name))->geometry();
    };
    QRect geometry;
    std::map<std::string, QRect> controls;
    {
        const auto first = StartWindow();
        EXPECT_EQ(first->size(), FirstStartSize(*first));
        first->resize(first->width() + 120, first->height() + 80);
        first->move(40, 30);
        QApplication::processEvents();
        geometry = first->geometry();
        for (const char* name : {"IDC_SCRIPT_EDIT", "IDC_ADD_STATEMENT", "IDC_CLOCK"})
            controls[name] = placeOf(*first, name);
        EXPECT_TRUE(first->close());
    }
    const auto second = StartWindow();
    QApplication::processEvents();
    EXPECT_EQ(second->geometry(), geometry);
    // The controls are laid out for the restored size.
    for (const auto& [name, rect] : controls)
        EXPECT_EQ(placeOf(*second, name.c_str()), rect) << name;
}

TEST_F(Remembered, AWindowClosedMaximisedOpensMaximised)
{
    {
        const auto first = StartWindow();
        first->showMaximized();
        ASSERT_TRUE(WaitFor([&] { return first->isMaximized(); }));
        EXPECT_TRUE(first->close());
    }
    const auto second = StartWindow();
    EXPECT_TRUE(WaitFor([&] { return second->isMaximized(); }));
    second->showNormal();
    EXPECT_TRUE(WaitFor([&] { return second->size() == FirstStartSize(*second); }));
}

TEST_F(Remembered, APlaceOffTheScreensIsBroughtBackOnScreen)
{
    {
        const auto first = StartWindow();
        first->move(20000, 15000);
        QApplication::processEvents();
        EXPECT_TRUE(first->close());
    }
    const auto second = StartWindow();
    QApplication::processEvents();
    const QRect screen = second->screen()->availableGeometry();
    const QRect frame = second->frameGeometry();
    // As much of it as the screen can hold, the title bar included.
    EXPECT_GE(frame.top(), screen.top());
    const QRect shown = frame.intersected(screen);
    EXPECT_GE(shown.width(), std::min(frame.width(), screen.width()) - 4);
    EXPECT_GE(shown.height(), std::min(frame.height(), screen.height()) - 4);
}

TEST_F(WindowFeatures, MaximisedTheEditorTakesTheRoomAndTheBuilderKeepsToTheRightEdge)
{
    const char* const kRightColumn[] = {"IDC_LINK_CHARS", "IDC_CATEGORY_COMBO", "IDC_HINT_EDIT", "IDC_ADD_STATEMENT"};
    const char* const kBottomRight[] = {"IDC_OPEN_LABEL", "IDC_SAVE_LABEL", "IDC_CLOCK"};
    std::map<std::string, QRect> before;
    for (const char* name : {"IDC_LINK_CHARS", "IDC_CATEGORY_COMBO", "IDC_HINT_EDIT", "IDC_ADD_STATEMENT",
                             "IDC_OPEN_LABEL", "IDC_SAVE_LABEL", "IDC_CLOCK", "IDC_CREDITS", "IDC_SCRIPT_EDIT"})
        before[name] = main.control(name)->geometry();

    const QSize started = Window().size();
    Window().showMaximized();
    ASSERT_TRUE(WaitFor([&] { return Window().isMaximized() && Window().size() != started; }));
    // The screen here may be narrower than the window's least width; the column then stays where
    // it was.
    const QPoint grown(std::max(0, Window().width() - started.width()), std::max(0, Window().height() - started.height()));
    ASSERT_GT(grown.y(), 0);

    for (const char* name : kRightColumn)
        EXPECT_EQ(main.control(name)->geometry(), before[name].translated(grown.x(), 0)) << name;
    for (const char* name : kBottomRight)
        EXPECT_EQ(main.control(name)->geometry(), before[name].translated(grown)) << name;
    EXPECT_EQ(main.control("IDC_CREDITS")->geometry(), before["IDC_CREDITS"].translated(0, grown.y()));
    EXPECT_EQ(Editor().geometry(), before["IDC_SCRIPT_EDIT"].adjusted(0, 0, grown.x(), grown.y()));
    EXPECT_EQ(Window().height() - main.control("IDC_CLOCK")->geometry().bottom(),
              started.height() - before["IDC_CLOCK"].bottom());

    Window().showNormal();
    ASSERT_TRUE(WaitFor([&] { return Window().size() == started; }));
    for (const auto& [name, rect] : before)
        EXPECT_EQ(main.control(name.c_str())->geometry(), rect) << name;
}

} // namespace
