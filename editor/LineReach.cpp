#include "editor/LineReach.h"

#include "language/Lexer.h"

#include <Qsci/qsciscintillabase.h>

#include <algorithm>

namespace {

long send(QsciScintillaBase& editor, unsigned int message, long argument)
{
    return editor.SendScintilla(message, static_cast<unsigned long>(argument));
}

// Where `line` starts; the text's length past the last line.
long lineStart(QsciScintillaBase& editor, long line)
{
    const long start = send(editor, QsciScintillaBase::SCI_POSITIONFROMLINE, line);
    return start < 0 ? editor.SendScintilla(QsciScintillaBase::SCI_GETLENGTH) : start;
}

long lineOf(QsciScintillaBase& editor, long position)
{
    return send(editor, QsciScintillaBase::SCI_LINEFROMPOSITION, position);
}

std::string_view bytesOf(QsciScintillaBase& editor, long from, long to)
{
    const auto* bytes = reinterpret_cast<const char*>(
        editor.SendScintilla(QsciScintillaBase::SCI_GETRANGEPOINTER, static_cast<unsigned long>(from), to - from));
    return {bytes, std::size_t(to - from)};
}

constexpr auto kReach = long(kLineReach);

} // namespace

void walkReachedText(QsciScintillaBase& editor, long from, long to,
                     const std::function<void(long, std::string_view)>& read,
                     const std::function<void(long, long)>& skip)
{
    long line = lineOf(editor, from);
    while (from < to) {
        const long start = lineStart(editor, line);
        const long next = lineStart(editor, line + 1);
        if (next - start > kReach) {
            const long reachEnd = std::min(start + kReach, to);
            if (from < reachEnd && read)
                read(from, bytesOf(editor, from, reachEnd));
            const long unread = std::max(from, reachEnd);
            const long end = std::min(next, to);
            if (unread < end)
                skip(unread, end - unread);
            from = end;
            ++line;
            continue;
        }
        // The lines that start within the reach of `from` are short, so they go as one stretch.
        const long runLine = std::max(line + 1, lineOf(editor, std::min(to, from + kReach)));
        const long runEnd = std::min(to, lineStart(editor, runLine));
        if (read)
            read(from, bytesOf(editor, from, runEnd));
        from = runEnd;
        line = runLine;
    }
}

bool isPastLineReach(QsciScintillaBase& editor, long position)
{
    return position - lineStart(editor, lineOf(editor, position)) >= kReach;
}
