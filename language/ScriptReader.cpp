#include "language/ScriptReader.h"

#include "catalogue/Builtins.h"
#include "language/Indentation.h"
#include "language/Lexer.h"
#include "language/Parallel.h"
#include "catalogue/WordLists.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <optional>

namespace {

ScriptPlace placeOf(const Lexeme& lexeme)
{
    return {lexeme.begin, int(lexeme.line), int(lexeme.column())};
}

enum class Keyword : std::uint8_t { None, Func, Var, If, Else, Fork, Other };

std::size_t longestKeyword()
{
    static const std::size_t longest = [] {
        std::size_t length = 0;
        for (const BuiltinName& name : Builtins::standard().names()) {
            if (name.keyword)
                length = std::max(length, name.spelling.size());
        }
        return length;
    }();
    return longest;
}

Keyword keywordOf(std::string_view word)
{
    if (word.size() > longestKeyword() || !Builtins::standard().isKeyword(word))
        return Keyword::None;
    if (sameName(word, "func"))
        return Keyword::Func;
    if (sameName(word, "var"))
        return Keyword::Var;
    if (sameName(word, "if"))
        return Keyword::If;
    if (sameName(word, "else"))
        return Keyword::Else;
    if (sameName(word, "fork"))
        return Keyword::Fork;
    return Keyword::Other;
}

bool isTypeName(std::string_view word)
{
    for (const std::string_view type : {"void", "int", "float", "string", "bool"}) {
        if (sameName(word, type))
            return true;
    }
    return false;
}

// The width of a line's indentation, tabs counted to the next multiple of four.
std::uint32_t indentationAt(std::string_view text, std::size_t lineStart)
{
    std::uint32_t width = 0;
    for (std::size_t p = lineStart; p < text.size() && isBlank(text[p]); ++p)
        width = text[p] == '\t' ? (width / 4 + 1) * 4 : width + 1;
    return width;
}

bool firstOnLine(std::string_view text, const Lexeme& lexeme)
{
    for (std::size_t p = lexeme.lineStart; p < lexeme.begin; ++p) {
        if (!isBlank(text[p]))
            return false;
    }
    return true;
}

class Reader {
public:
    // Reads from `lineStart`, the start of line `line`.
    explicit Reader(std::string_view text, std::size_t lineStart = 0, std::uint32_t line = 1)
        : m_text(text), m_lexer(text, Quotes::Honoured, lineStart, line)
    {
        m_ahead = m_lexer.next();
    }

    // Reads to the end of the text, or to the first of `stops` (offsets in ascending order) that
    // it comes to at a statement's start with nothing pending: there, a `func` statement begins
    // that a reading from that line on reads alike. Which stop it ended at is told by stoppedAt().
    ScriptOutline run(const std::vector<std::size_t>& stops = {});
    std::optional<std::size_t> stoppedAt() const { return m_stoppedAt; }
    // The blocks this reading numbered: a reading that goes on from its end numbers on from here.
    std::uint32_t blocksNumbered() const { return m_nextBlock - 1; }

private:
    enum class Body : std::uint8_t { None, If, Else, Function };

    struct Block {
        Body kind;
        Lexeme open;
        std::uint32_t indentation;
        std::uint32_t id;
        std::uint32_t headerLine;
    };

    std::string_view textOf(const Lexeme& lexeme) const
    {
        return m_text.substr(lexeme.begin, lexeme.end - lexeme.begin);
    }

    const Lexeme& peek() const { return m_ahead; }
    Lexeme take();

    void statement();
    void call();
    void function();
    void variable();
    void condition();
    // Reads to the end of the statement, or with `closesGroup` to the `)` closing a `(` already
    // taken, noting the calls and words on the way.
    void scanExpression(bool closesGroup = false);

    void beginStatement();
    void endStatement();
    void openBlock(const Lexeme& brace);
    void closeBlock(const Lexeme& brace);
    void closeParentheses();
    void reportUnclosedBraces();

    void addName(const Lexeme& lexeme, NameRole role, CallForm form, std::int32_t function);
    void addName(const Lexeme& lexeme, NameRole role, CallForm form = CallForm::None)
    {
        addName(lexeme, role, form, m_function);
    }
    void addVariable(const Lexeme& name, std::string_view type, NameRole role, std::int32_t function);
    void problem(StructureFault fault, const Lexeme& lexeme)
    {
        m_outline.problems.push_back({fault, placeOf(lexeme), lexeme.end - lexeme.begin});
    }

    static bool endsStatement(const Lexeme& lexeme)
    {
        return lexeme.kind == Lex::End || lexeme.kind == Lex::LineEnd || lexeme.kind == Lex::Comment ||
               lexeme.is(';') || lexeme.is('{') || lexeme.is('}');
    }

    std::string_view m_text;
    Lexer m_lexer;
    Lexeme m_ahead;
    ScriptOutline m_outline;

    std::vector<Block> m_blocks;
    std::vector<Lexeme> m_parentheses;
    // Braces whose closing brace sat left of their line's indentation, and closing braces that
    // sat right of it. A script that balances never looks at them; one that does not is most
    // likely missing the `}` of the first kind or holding one too many of the second, which
    // points nearer the slip than the brace left over at the end.
    std::vector<Lexeme> m_lateCloses;
    std::vector<Lexeme> m_earlyCloses;

    Body m_pending = Body::None;  // what the next `{` or statement is the body of
    std::uint32_t m_pendingLine = 0;  // the line of the `func`, `if` or `else` that m_pending is of
    Body m_bodyOf = Body::None;   // what the statement being read is the body of
    bool m_elseAllowed = false;
    std::int32_t m_pendingFunction = -1;
    std::int32_t m_function = -1;
    std::uint32_t m_nextBlock = 1;
    std::optional<std::size_t> m_stoppedAt;
};

Lexeme Reader::take()
{
    const Lexeme lexeme = m_ahead;
    m_ahead = m_lexer.next();
    if (lexeme.kind == Lex::Comment && firstOnLine(m_text, lexeme)) {
        std::vector<CommentLines>& comments = m_outline.comments;
        if (!comments.empty() && comments.back().last + 1 == lexeme.line)
            comments.back().last = lexeme.line;
        else
            comments.push_back({lexeme.line, lexeme.line});
    }
    if (lexeme.kind == Lex::Punct) {
        switch (lexeme.punct) {
        case '(':
            m_parentheses.push_back(lexeme);
            break;
        case ')':
            if (m_parentheses.empty())
                problem(StructureFault::StrayParenthesis, lexeme);
            else
                m_parentheses.pop_back();
            break;
        case '{':
        case '}':
        case ';':
            // Parentheses never hold a block nor span statements.
            closeParentheses();
            break;
        default:
            break;
        }
    }
    return lexeme;
}

ScriptOutline Reader::run(const std::vector<std::size_t>& stops)
{
    auto stop = stops.begin();
    for (;;) {
        const Lexeme& next = peek();
        while (stop != stops.end() && *stop < next.begin)
            ++stop;
        // A `func` statement starts as the end of the text does: it closes what is open.
        const bool stopped = stop != stops.end() && *stop == next.begin && next.kind == Lex::Word &&
                             m_pending == Body::None && keywordOf(textOf(next)) == Keyword::Func;
        if (stopped)
            m_stoppedAt = std::size_t(stop - stops.begin());
        switch (stopped ? Lex::End : next.kind) {
        case Lex::End:
            closeParentheses();
            if (!m_blocks.empty())
                reportUnclosedBraces();
            return std::move(m_outline);
        case Lex::LineEnd:
        case Lex::Comment:
            take();
            break;
        case Lex::Word:
            statement();
            break;
        case Lex::Punct:
            if (next.is(';')) {
                take();
                break;
            }
            if (next.is('{')) {
                openBlock(take());
                break;
            }
            if (next.is('}')) {
                closeBlock(take());
                break;
            }
            [[fallthrough]];
        default:
            // Not a terminator, so the scan moves on by one lexeme at least.
            beginStatement();
            scanExpression();
            endStatement();
            break;
        }
    }
}

void Reader::beginStatement()
{
    m_bodyOf = m_pending;
    m_pending = Body::None;
    m_elseAllowed = false;
}

void Reader::endStatement()
{
    if (m_bodyOf == Body::If)
        m_elseAllowed = true;
    m_bodyOf = Body::None;
}

void Reader::statement()
{
    switch (keywordOf(textOf(peek()))) {
    case Keyword::Else: {
        const Lexeme word = take();
        if (!m_elseAllowed)
            problem(StructureFault::ElseWithoutIf, word);
        m_elseAllowed = false;
        m_pending = Body::Else;
        m_pendingLine = word.line;
        return;
    }
    case Keyword::If:
        beginStatement();
        m_pendingLine = take().line;
        condition();
        m_bodyOf = Body::None;
        m_pending = Body::If;
        return;
    case Keyword::Func:
        function();
        return;
    case Keyword::Var:
        variable();
        return;
    case Keyword::Fork:
        beginStatement();
        take();
        if (peek().kind == Lex::Word && keywordOf(textOf(peek())) == Keyword::None)
            call();
        else
            scanExpression();
        endStatement();
        return;
    case Keyword::Other:
        beginStatement();
        take();
        scanExpression();
        endStatement();
        return;
    case Keyword::None:
        beginStatement();
        call();
        endStatement();
        return;
    }
}

void Reader::call()
{
    const Lexeme name = take();
    const Lexeme& next = peek();
    if (next.is('=')) {
        addName(name, NameRole::Assignment);
        take();
        scanExpression();
    } else if (next.is('(')) {
        addName(name, NameRole::Call, CallForm::Parenthesised);
        scanExpression();
    } else if (endsStatement(next)) {
        addName(name, NameRole::Call, CallForm::Bare);
    } else {
        addName(name, NameRole::Call, CallForm::Words);
        scanExpression();
    }
}

void Reader::condition()
{
    for (;;) {
        if (!peek().is('(')) {
            scanExpression();
            return;
        }
        take();
        scanExpression(true);
        // `if (a eq 1) and (b eq 2)`: the condition goes on past its first parentheses.
        const Lexeme& next = peek();
        if (next.kind != Lex::Word)
            return;
        const std::string_view word = textOf(next);
        if (!sameName(word, "and") && !sameName(word, "or") && !sameName(word, "eq") && !sameName(word, "ne"))
            return;
        take();
    }
}

void Reader::scanExpression(bool closesGroup)
{
    int depth = closesGroup ? 1 : 0;
    for (;;) {
        const Lexeme& next = peek();
        switch (next.kind) {
        case Lex::End:
            return;
        case Lex::LineEnd:
            // A statement goes on over a line end only inside parentheses.
            if (depth == 0)
                return;
            take();
            break;
        case Lex::Word: {
            const Lexeme word = take();
            if (keywordOf(textOf(word)) != Keyword::None)
                break;
            if (peek().is('('))
                addName(word, NameRole::Call, CallForm::Parenthesised);
            else
                addName(word, NameRole::Word);
            break;
        }
        case Lex::Punct:
            if (next.is(';') || next.is('{') || next.is('}'))
                return;
            if (next.is('(')) {
                ++depth;
            } else if (next.is(')') && depth > 0) {
                --depth;
                if (depth == 0 && closesGroup) {
                    take();
                    return;
                }
            }
            take();
            break;
        default:
            take();
            break;
        }
    }
}

void Reader::function()
{
    // Functions do not nest: braces still open belong to a body that lost its `}`.
    closeParentheses();
    if (!m_blocks.empty())
        reportUnclosedBraces();
    m_lateCloses.clear();
    m_earlyCloses.clear();
    beginStatement();
    const Lexeme func = take();

    // `func`, an optional return type and the name, which may stand on the next line.
    std::array<Lexeme, 2> words;
    std::size_t count = 0;
    for (;;) {
        const Lexeme& next = peek();
        if (next.kind == Lex::LineEnd || next.kind == Lex::Comment) {
            if (count == 0 || (count == 1 && isTypeName(textOf(words[0])))) {
                take();
                continue;
            }
            break;
        }
        if (next.kind != Lex::Word || count == words.size())
            break;
        const std::string_view word = textOf(next);
        if (keywordOf(word) != Keyword::None && !isTypeName(word))
            break;
        words[count++] = take();
    }
    if (count == 0) {
        endStatement();
        return;
    }
    const Lexeme& name = words[count - 1];
    const auto index = std::int32_t(m_outline.functions.size());
    FunctionDeclaration declaration;
    declaration.name = textOf(name);
    declaration.place = placeOf(name);
    declaration.returnType = count == 2 ? textOf(words[0]) : std::string_view();
    declaration.headerPlace = placeOf(func);
    declaration.firstVariable = std::uint32_t(m_outline.variables.size());
    m_outline.functions.push_back(declaration);
    addName(name, NameRole::Function, CallForm::None, -1);

    std::uint32_t headerEnd = name.end;
    while (peek().kind == Lex::LineEnd || peek().kind == Lex::Comment)
        take();
    if (peek().is('(')) {
        take();
        // Each comma-separated part names its parameter last: `string ai_name`; `void` is none.
        Lexeme parameter;
        std::string_view type;
        std::size_t words = 0;
        const auto flush = [&] {
            if (words > 0)
                addVariable(parameter, words > 1 ? type : std::string_view(), NameRole::Parameter, index);
            words = 0;
        };
        for (;;) {
            const Lexeme& next = peek();
            if (next.kind == Lex::End || next.is(';') || next.is('{') || next.is('}'))
                break;
            const Lexeme lexeme = take();
            if (lexeme.is(')')) {
                headerEnd = lexeme.end;
                break;
            }
            if (lexeme.is(',')) {
                flush();
            } else if (lexeme.kind == Lex::Word && !sameName(textOf(lexeme), "void")) {
                if (words++ == 0)
                    type = textOf(lexeme);
                parameter = lexeme;
            }
        }
        flush();
    }
    m_outline.functions[std::size_t(index)].header = m_text.substr(func.begin, headerEnd - func.begin);
    m_bodyOf = Body::None;
    m_pending = Body::Function;
    m_pendingLine = func.line;
    m_pendingFunction = index;
}

void Reader::variable()
{
    beginStatement();
    take();
    std::array<Lexeme, 2> words;
    std::size_t count = 0;
    while (count < words.size() && peek().kind == Lex::Word)
        words[count++] = take();
    if (count > 0) {
        const NameRole role = m_function >= 0 ? NameRole::Local : NameRole::Global;
        addVariable(words[count - 1], count == 2 ? textOf(words[0]) : std::string_view(), role, m_function);
    }
    scanExpression();
    endStatement();
}

void Reader::addName(const Lexeme& lexeme, NameRole role, CallForm form, std::int32_t function)
{
    m_outline.names.push_back(
        {lexeme.begin, lexeme.end - lexeme.begin, lexeme.line, lexeme.column(), role, form, function});
}

void Reader::addVariable(const Lexeme& name, std::string_view type, NameRole role, std::int32_t function)
{
    const std::uint32_t block = role == NameRole::Local && !m_blocks.empty() ? m_blocks.back().id : 0;
    m_outline.variables.push_back({textOf(name), type, placeOf(name), role, function, block});
    if (function >= 0)
        ++m_outline.functions[std::size_t(function)].variableCount;
    addName(name, role, CallForm::None, function);
}

void Reader::openBlock(const Lexeme& brace)
{
    const std::uint32_t header = m_pending == Body::None ? brace.line : m_pendingLine;
    Block block{m_pending, brace, indentationAt(m_text, brace.lineStart), m_nextBlock++, header};
    if (m_pending == Body::Function) {
        m_function = m_pendingFunction;
        m_outline.functions[std::size_t(m_function)].bodyBegin = brace.begin;
    }
    m_pending = Body::None;
    m_bodyOf = Body::None;
    m_elseAllowed = false;
    m_blocks.push_back(block);
}

void Reader::closeBlock(const Lexeme& brace)
{
    m_pending = Body::None;
    m_bodyOf = Body::None;
    if (m_blocks.empty()) {
        m_elseAllowed = false;
        if (!m_earlyCloses.empty()) {
            problem(StructureFault::StrayBrace, m_earlyCloses.front());
            m_earlyCloses.erase(m_earlyCloses.begin());
        } else {
            problem(StructureFault::StrayBrace, brace);
        }
        return;
    }
    const Block block = m_blocks.back();
    m_blocks.pop_back();
    m_outline.blocks.push_back({block.open.begin, brace.begin, block.headerLine, block.open.line, brace.line});
    if (brace.line != block.open.line && firstOnLine(m_text, brace)) {
        const std::uint32_t indentation = indentationAt(m_text, brace.lineStart);
        if (indentation < block.indentation)
            m_lateCloses.push_back(block.open);
        else if (indentation > block.indentation)
            m_earlyCloses.push_back(brace);
    }
    if (block.kind == Body::Function) {
        m_outline.functions[std::size_t(m_function)].bodyEnd = brace.end;
        m_function = -1;
    }
    m_elseAllowed = block.kind == Body::If;
}

void Reader::closeParentheses()
{
    for (const Lexeme& open : m_parentheses)
        problem(StructureFault::UnclosedParenthesis, open);
    m_parentheses.clear();
}

void Reader::reportUnclosedBraces()
{
    const std::size_t count = m_blocks.size();
    std::vector<Lexeme> blamed;
    for (const Lexeme& late : m_lateCloses) {
        if (blamed.size() < count && late.begin > m_blocks.front().open.begin)
            blamed.push_back(late);
    }
    for (auto block = m_blocks.rbegin(); block != m_blocks.rend() && blamed.size() < count; ++block)
        blamed.push_back(block->open);
    std::sort(blamed.begin(), blamed.end(), [](const Lexeme& a, const Lexeme& b) { return a.begin < b.begin; });
    for (const Lexeme& open : blamed)
        problem(StructureFault::UnclosedBrace, open);
    m_blocks.clear();
    m_lateCloses.clear();
    m_earlyCloses.clear();
    m_function = -1;
    m_pending = Body::None;
}

// Follows the calls of statements lexeme by lexeme, the same way for both call forms: which call
// holds a place, which of its arguments, and where that argument starts.
class CallScanner {
public:
    struct Frame {
        enum class Kind : std::uint8_t { Words, Call, Group };
        Kind kind = Kind::Group;
        bool fresh = false;      // a name without arguments so far: a call, or an assignment to be
        bool condition = false;  // the parentheses of an `if`
        bool join = false;       // `=`, `eq` or `ne` ended the argument: the next lexeme joins it
        bool pending = false;    // after `(` or a comma: the argument's first lexeme is to come
        bool collect = false;    // the statement's call: its arguments are kept
        std::uint32_t calleeBegin = 0;
        std::uint32_t calleeEnd = 0;
        int argument = -1;
        std::size_t argumentBegin = 0;
        std::size_t lastEnd = 0;  // the end of what the current argument holds so far
    };

    explicit CallScanner(std::string_view text) : m_text(text) {}

    void feed(const Lexeme& lexeme);

    // The innermost call, plain parentheses skipped; nullptr outside any.
    const Frame* innermostCall() const
    {
        for (auto frame = m_frames.rbegin(); frame != m_frames.rend(); ++frame) {
            if (frame->kind != Frame::Kind::Group)
                return &*frame;
        }
        return nullptr;
    }
    std::size_t lastEnd() const { return m_lastEnd; }

    // Ends the statement being read, as the end of the text does.
    void finish(std::size_t position) { endStatement(position); }

    // The call of the statement the last lexeme ended, once; with its end offset.
    bool takeFinished(CallStatement& statement, std::size_t& end)
    {
        if (!m_hasFinished)
            return false;
        m_hasFinished = false;
        statement = std::move(m_finished);
        end = m_finishedEnd;
        return true;
    }

private:
    std::string_view textOf(const Lexeme& lexeme) const
    {
        return m_text.substr(lexeme.begin, lexeme.end - lexeme.begin);
    }
    bool insideParentheses() const
    {
        return std::any_of(m_frames.begin(), m_frames.end(),
                           [](const Frame& frame) { return frame.kind != Frame::Kind::Words; });
    }
    Frame* innermostParentheses()
    {
        for (auto frame = m_frames.rbegin(); frame != m_frames.rend(); ++frame) {
            if (frame->kind != Frame::Kind::Words)
                return &*frame;
        }
        return nullptr;
    }
    void remember(const Lexeme& lexeme)
    {
        m_previous = lexeme;
        m_hasPrevious = true;
        m_lastEnd = lexeme.end;
    }

    void startCall(const Lexeme& name);
    void note(const Lexeme& lexeme);
    void openParenthesis(const Lexeme& lexeme);
    void closeParenthesis(const Lexeme& lexeme);
    void comma(const Lexeme& lexeme);
    void finishArgument(const Frame& frame);
    void endStatement(std::size_t position);

    std::string_view m_text;
    std::vector<Frame> m_frames;
    bool m_atStart = true;
    bool m_inHeader = false;  // a `func` header: its parentheses list parameters, not arguments
    Lexeme m_previous;
    bool m_hasPrevious = false;
    std::size_t m_lastEnd = 0;
    CallStatement m_current;
    CallStatement m_finished;
    std::size_t m_finishedEnd = 0;
    bool m_hasFinished = false;
};

void CallScanner::feed(const Lexeme& lexeme)
{
    switch (lexeme.kind) {
    case Lex::End:
        endStatement(lexeme.begin);
        return;
    case Lex::Comment:
        return;
    case Lex::LineEnd:
        if (!insideParentheses())
            endStatement(lexeme.begin);
        return;
    case Lex::Punct:
        switch (lexeme.punct) {
        case ';':
        case '{':
        case '}':
            endStatement(lexeme.begin);
            return;
        case '(':
            openParenthesis(lexeme);
            break;
        case ')':
            closeParenthesis(lexeme);
            break;
        case ',':
            comma(lexeme);
            break;
        case '=':
            if (!m_frames.empty() && m_frames.back().fresh) {
                // `name = value` stores; it calls nothing.
                if (m_frames.back().collect)
                    m_current = {};
                m_frames.pop_back();
                break;
            }
            note(lexeme);
            if (!m_frames.empty())
                m_frames.back().join = true;
            break;
        default:
            note(lexeme);
            break;
        }
        remember(lexeme);
        return;
    case Lex::Word: {
        const std::string_view word = textOf(lexeme);
        const Keyword keyword = keywordOf(word);
        if (m_atStart) {
            // After `fork` and `else` a statement still begins.
            if (keyword != Keyword::Fork && keyword != Keyword::Else) {
                m_atStart = false;
                m_inHeader = keyword == Keyword::Func;
                if (keyword == Keyword::None)
                    startCall(lexeme);
            }
            remember(lexeme);
            return;
        }
        note(lexeme);
        if (keyword != Keyword::None && !m_frames.empty() && (sameName(word, "eq") || sameName(word, "ne")))
            m_frames.back().join = true;
        remember(lexeme);
        return;
    }
    default:
        m_atStart = false;
        note(lexeme);
        remember(lexeme);
        return;
    }
}

void CallScanner::startCall(const Lexeme& name)
{
    Frame frame;
    frame.kind = Frame::Kind::Words;
    frame.fresh = true;
    frame.calleeBegin = name.begin;
    frame.calleeEnd = name.end;
    frame.lastEnd = name.end;
    if (m_current.callee.empty()) {
        frame.collect = true;
        m_current.callee = textOf(name);
        m_current.calleeOffset = name.begin;
        m_current.form = CallForm::Bare;
    }
    m_frames.push_back(frame);
}

void CallScanner::note(const Lexeme& lexeme)
{
    if (m_frames.empty())
        return;
    Frame& frame = m_frames.back();
    if (frame.kind == Frame::Kind::Words) {
        if (frame.fresh) {
            frame.fresh = false;
            frame.argument = 0;
            frame.argumentBegin = lexeme.begin;
            if (frame.collect)
                m_current.form = CallForm::Words;
        } else if (lexeme.blankBefore && !frame.join) {
            finishArgument(frame);
            ++frame.argument;
            frame.argumentBegin = lexeme.begin;
        }
        frame.join = false;
    } else if (frame.pending) {
        frame.pending = false;
        frame.argumentBegin = lexeme.begin;
    }
    frame.lastEnd = lexeme.end;
}

void CallScanner::openParenthesis(const Lexeme& lexeme)
{
    if (!m_frames.empty()) {
        Frame& top = m_frames.back();
        if (top.kind == Frame::Kind::Words && top.fresh && m_hasPrevious && m_previous.begin == top.calleeBegin) {
            top.kind = Frame::Kind::Call;
            top.fresh = false;
            top.argument = 0;
            top.pending = true;
            top.lastEnd = lexeme.end;
            if (top.collect)
                m_current.form = CallForm::Parenthesised;
            return;
        }
    }
    note(lexeme);
    Frame frame;
    frame.lastEnd = lexeme.end;
    if (m_hasPrevious && m_previous.kind == Lex::Word && !m_inHeader) {
        const std::string_view word = textOf(m_previous);
        const Keyword keyword = keywordOf(word);
        if (keyword == Keyword::None) {
            frame.kind = Frame::Kind::Call;
            frame.calleeBegin = m_previous.begin;
            frame.calleeEnd = m_previous.end;
            frame.argument = 0;
            frame.pending = true;
            if (m_current.callee.empty()) {
                frame.collect = true;
                m_current.callee = word;
                m_current.calleeOffset = m_previous.begin;
                m_current.form = CallForm::Parenthesised;
            }
        } else {
            frame.condition = keyword == Keyword::If;
        }
    }
    m_frames.push_back(frame);
}

void CallScanner::closeParenthesis(const Lexeme& lexeme)
{
    const Frame* frame = innermostParentheses();
    if (!frame)
        return;
    if (frame->kind == Frame::Kind::Call && !(frame->pending && frame->argument == 0))
        finishArgument(*frame);
    const bool condition = frame->condition;
    m_frames.resize(std::size_t(frame - m_frames.data()));
    if (!m_frames.empty())
        m_frames.back().lastEnd = lexeme.end;
    else if (condition)
        m_atStart = true;  // the body of an `if` may follow on the same line
}

void CallScanner::comma(const Lexeme& lexeme)
{
    Frame* frame = innermostParentheses();
    if (!frame) {
        note(lexeme);
        return;
    }
    if (frame->kind == Frame::Kind::Call)
        finishArgument(*frame);
    ++frame->argument;
    frame->pending = true;
    frame->lastEnd = lexeme.end;
}

void CallScanner::finishArgument(const Frame& frame)
{
    if (!frame.collect || frame.argument < 0)
        return;
    if (frame.pending)
        m_current.arguments.push_back({std::string_view(), frame.lastEnd});
    else
        m_current.arguments.push_back(
            {m_text.substr(frame.argumentBegin, frame.lastEnd - frame.argumentBegin), frame.argumentBegin});
}

void CallScanner::endStatement(std::size_t position)
{
    for (const Frame& frame : m_frames) {
        if (frame.kind == Frame::Kind::Words)
            finishArgument(frame);
    }
    if (!m_current.callee.empty()) {
        m_finished = std::move(m_current);
        m_finishedEnd = position;
        m_hasFinished = true;
    }
    m_current = {};
    m_frames.clear();
    m_atStart = true;
    m_inHeader = false;
    m_hasPrevious = false;
}

// The start of the line holding `offset`, when it lies no further back than kLineReach.
std::optional<std::size_t> reachedLineStart(std::string_view text, std::size_t offset)
{
    offset = std::min(offset, text.size());
    const std::size_t floor = offset > kLineReach ? offset - kLineReach : 0;
    for (std::size_t at = offset; at > floor; --at) {
        if (text[at - 1] == '\r' || text[at - 1] == '\n')
            return at;
    }
    if (floor == 0 || text[floor - 1] == '\r' || text[floor - 1] == '\n')
        return floor;
    return std::nullopt;
}

// How many lines before the caret's the reading of a caret's context starts. A statement that
// began further up is only a multi-line parenthesis, and the reading falls back into step at the
// first line end outside one, so this keeps a keystroke's cost independent of the script's length.
// A line longer than the reach above stops it too, for the same reason.
constexpr int kContextLines = 64;

std::size_t contextStart(std::size_t caretLineStart, std::string_view text)
{
    std::size_t start = caretLineStart;
    for (int line = 0; line < kContextLines && start > 0; ++line) {
        std::size_t lineEnd = start - 1;
        if (text[lineEnd] == '\n' && lineEnd > 0 && text[lineEnd - 1] == '\r')
            --lineEnd;
        const std::optional<std::size_t> above = reachedLineStart(text, lineEnd);
        if (!above)
            break;
        start = *above;
    }
    return start;
}

} // namespace

namespace {

// Below this size a script is read in one piece: parts would not pay for their threads.
constexpr std::size_t kPartBytes = 4 << 20;

// The line ends before `offset`, a line's start, as the lexer counts them: CR LF is one. Counted
// without a branch on the bytes, so that the compiler makes vector code of it.
std::uint32_t lineEndsBefore(std::string_view text, std::size_t offset)
{
    if (offset == 0)
        return 0;
    std::size_t ends = 0;
    std::size_t pairs = 0;
    for (std::size_t p = 0; p + 1 < offset; ++p) {
        ends += (text[p] == '\n') + (text[p] == '\r');
        pairs += (text[p] == '\r') & (text[p + 1] == '\n');
    }
    // The last byte before a line's start ends a line, and ends a pair only together with the one before it.
    return std::uint32_t(ends - pairs + 1);
}

// The offset of the first `func` at or after `from` that stands first on its line, or npos.
std::size_t functionLineFrom(std::string_view text, std::size_t from)
{
    for (std::size_t lineStart = lineStartOf(text, from); lineStart < text.size();) {
        std::size_t p = lineStart;
        while (p < text.size() && isBlank(text[p]))
            ++p;
        if (p >= from && sameName(text.substr(p, wordEnd(text, p) - p), "func"))
            return p;
        const std::size_t lineEnd = text.find_first_of("\r\n", p);
        if (lineEnd == std::string_view::npos)
            break;
        lineStart = lineEnd + 1;
    }
    return std::string_view::npos;
}

// A part read on its own, appended to what the parts before it read.
void appendPart(ScriptOutline& outline, std::uint32_t& blocks, ScriptOutline part, std::uint32_t partBlocks)
{
    const auto functions = std::int32_t(outline.functions.size());
    const auto variables = std::uint32_t(outline.variables.size());
    const auto shiftFunction = [functions](std::int32_t function) { return function < 0 ? function : function + functions; };
    for (NameUse& use : part.names)
        use.function = shiftFunction(use.function);
    for (FunctionDeclaration& function : part.functions)
        function.firstVariable += variables;
    for (VariableDeclaration& variable : part.variables) {
        variable.function = shiftFunction(variable.function);
        if (variable.block != 0)
            variable.block += blocks;
    }
    const auto append = [](auto& into, const auto& from) {
        into.reserve(into.size() + from.size());
        into.insert(into.end(), from.begin(), from.end());
    };
    append(outline.names, part.names);
    append(outline.functions, part.functions);
    append(outline.variables, part.variables);
    append(outline.problems, part.problems);
    append(outline.blocks, part.blocks);
    append(outline.comments, part.comments);
    blocks += partBlocks;
}

} // namespace

ScriptOutline readScript(std::string_view text, std::size_t parts)
{
    // Each part starts at a `func` first on its line. Where the reading of the part before it
    // arrives there as at the start of a function with nothing left pending, the two readings
    // join into what one reading would have made; where it does not (the `func` sits inside
    // parentheses, say), that reading goes on over the next part, whose own reading goes unused.
    std::vector<std::size_t> starts;
    for (std::size_t n = 1; n < parts; ++n) {
        const std::size_t start = functionLineFrom(text, std::max(text.size() * n / parts, starts.empty() ? 0 : starts.back() + 1));
        if (start == std::string_view::npos)
            break;
        starts.push_back(start);
    }
    if (starts.empty())
        return Reader(text).run();

    struct Part {
        ScriptOutline outline;
        std::optional<std::size_t> stoppedAt;
        std::uint32_t blocks = 0;
    };
    const auto readPart = [&](std::size_t n) {
        const std::size_t begin = n == 0 ? 0 : lineStartOf(text, starts[n - 1]);
        const std::vector<std::size_t> stops(starts.begin() + std::ptrdiff_t(n), starts.end());
        Reader reader(text, begin, lineEndsBefore(text, begin) + 1);
        Part part;
        part.outline = reader.run(stops);
        if (const std::optional<std::size_t> stop = reader.stoppedAt())
            part.stoppedAt = *stop + n + 1;
        part.blocks = reader.blocksNumbered();
        return part;
    };
    std::vector<Part> read(starts.size() + 1);
    forEachInParallel(read.size(), [&](std::size_t n) { read[n] = readPart(n); });
    ScriptOutline outline = std::move(read[0].outline);
    std::uint32_t blocks = read[0].blocks;
    std::optional<std::size_t> next = read[0].stoppedAt;
    for (std::size_t n = 1; n < read.size(); ++n) {
        if (next != n)
            continue;
        appendPart(outline, blocks, std::move(read[n].outline), read[n].blocks);
        next = read[n].stoppedAt;
    }
    return outline;
}

ScriptOutline readScript(std::string_view text)
{
    return readScript(text, text.size() < kPartBytes ? 1 : coreCount());
}

std::shared_ptr<ScriptAnalysis> readAnalysis(std::shared_ptr<const std::string> text)
{
    auto analysis = std::make_shared<ScriptAnalysis>();
    analysis->outline = readScript(*text);
    analysis->text = std::move(text);
    return analysis;
}

void countNames(ScriptAnalysis& analysis)
{
    // At least every declared name occurs; sized for them at once, the map rehashes less often.
    analysis.uses.reserve(analysis.outline.functions.size() + analysis.outline.variables.size());
    for (const NameUse& use : analysis.outline.names)
        ++analysis.uses[nameText(*analysis.text, use)];
    analysis.fileNames = fileNamesOf(analysis.outline, analysis.uses);
    analysis.folds = foldsOf(analysis.outline);
    analysis.indentUnit = indentUnitOf(*analysis.text);
}

std::shared_ptr<const ScriptAnalysis> analyseScript(std::shared_ptr<const std::string> text)
{
    std::shared_ptr<ScriptAnalysis> analysis = readAnalysis(std::move(text));
    countNames(*analysis);
    return analysis;
}

FileNames fileNamesOf(const ScriptOutline& outline, const NameMap<std::uint32_t>& uses)
{
    FileNames names;
    const auto add = [&](std::string_view name, std::string_view detail, NameRole role) {
        const auto found = uses.find(name);
        names.entries.push_back({name, detail, std::uint32_t(names.lowered.size()),
                                 found == uses.end() ? 0 : found->second, role});
        std::transform(name.begin(), name.end(), std::back_inserter(names.lowered), lowered);
    };
    for (const FunctionDeclaration& function : outline.functions) {
        const std::size_t open = function.header.find('(');
        add(function.name, open == std::string_view::npos ? std::string_view() : function.header.substr(open),
            NameRole::Function);
    }
    for (const VariableDeclaration& variable : outline.variables) {
        if (variable.role == NameRole::Global)
            add(variable.name, variable.type, NameRole::Global);
    }
    return names;
}

CaretContext contextAt(std::string_view text, std::size_t caret)
{
    caret = std::min(caret, text.size());
    CaretContext context;
    context.wordBegin = caret;
    const std::optional<std::size_t> lineStart = reachedLineStart(text, caret);
    if (!lineStart) {
        context.place = CaretContext::Place::Unread;
        return context;
    }
    while (context.wordBegin > 0 && isWordByte(text[context.wordBegin - 1]))
        --context.wordBegin;
    context.word = text.substr(context.wordBegin, caret - context.wordBegin);

    // A comment or an open string runs to its line's end, which on a long line lies far beyond
    // anything the context depends on.
    const std::string_view reached = text.substr(0, std::min(text.size(), *lineStart + kLineReach));
    Lexer lexer(reached, Quotes::Honoured, contextStart(*lineStart, text));
    CallScanner scanner(reached);
    for (;;) {
        const Lexeme lexeme = lexer.next();
        if (lexeme.kind == Lex::End || lexeme.begin >= caret)
            break;
        if (lexeme.kind == Lex::Comment && caret <= lexeme.end) {
            context.place = CaretContext::Place::Comment;
            context.word = {};
            context.wordBegin = caret;
            return context;
        }
        if (lexeme.kind == Lex::String) {
            const bool closed = lexeme.end - lexeme.begin > 1 && text[lexeme.end - 1] == '"';
            if (caret < lexeme.end || (caret == lexeme.end && !closed))
                context.place = CaretContext::Place::String;
        }
        scanner.feed(lexeme);
        if (lexeme.end >= caret)
            break;
    }

    const CallScanner::Frame* frame = scanner.innermostCall();
    if (!frame)
        return context;
    context.inCall = true;
    context.callee = text.substr(frame->calleeBegin, frame->calleeEnd - frame->calleeBegin);
    context.calleeOffset = frame->calleeBegin;
    // Past the last lexeme the caret can only be after blanks, which start the next argument.
    const bool afterBlank = caret > scanner.lastEnd();
    if (frame->kind == CallScanner::Frame::Kind::Call) {
        context.form = CallForm::Parenthesised;
        context.argument = frame->argument;
        context.argumentBegin = frame->pending ? caret : frame->argumentBegin;
    } else if (frame->fresh) {
        context.form = afterBlank ? CallForm::Words : CallForm::Bare;
        context.argument = afterBlank ? 0 : -1;
        context.argumentBegin = afterBlank ? caret : frame->calleeBegin;
    } else {
        context.form = CallForm::Words;
        context.argument = frame->argument;
        context.argumentBegin = frame->argumentBegin;
        if (afterBlank && !frame->join) {
            ++context.argument;
            context.argumentBegin = caret;
        }
    }
    context.argumentText = text.substr(context.argumentBegin, caret - context.argumentBegin);
    return context;
}

CallStatement statementAt(std::string_view text, std::size_t caret)
{
    caret = std::min(caret, text.size());
    const std::optional<std::size_t> lineStart = reachedLineStart(text, caret);
    if (!lineStart)
        return {};
    const std::size_t lineBegin = *lineStart;
    // The statement the caret is just after may end further on, but not past the reach.
    const std::string_view reached = text.substr(0, std::min(text.size(), lineBegin + kLineReach));
    std::size_t lineEnd = caret;
    while (lineEnd < reached.size() && reached[lineEnd] != '\r' && reached[lineEnd] != '\n')
        ++lineEnd;

    Lexer lexer(reached, Quotes::Honoured, contextStart(lineBegin, text));
    CallScanner scanner(reached);
    CallStatement best;
    CallStatement finished;
    std::size_t end = 0;
    for (;;) {
        const Lexeme lexeme = lexer.next();
        const bool last = lexeme.kind == Lex::End || lexeme.begin > lineEnd;
        if (last)
            scanner.finish(lexeme.begin);
        else
            scanner.feed(lexeme);
        if (scanner.takeFinished(finished, end) && finished.calleeOffset <= caret && end >= lineBegin)
            best = std::move(finished);
        if (last)
            return best;
    }
}

std::size_t lineStartOf(std::string_view text, std::size_t offset)
{
    offset = std::min(offset, text.size());
    while (offset > 0 && text[offset - 1] != '\r' && text[offset - 1] != '\n')
        --offset;
    return offset;
}

std::vector<std::string_view> commentLinesAbove(std::string_view text, std::size_t lineStart)
{
    std::vector<std::string_view> lines;
    std::size_t end = std::min(lineStart, text.size());
    while (end > 0) {
        // Step over the previous line's end: CR LF, CR or LF.
        std::size_t lineEnd = end;
        if (text[lineEnd - 1] == '\n')
            --lineEnd;
        if (lineEnd > 0 && text[lineEnd - 1] == '\r' && (lineEnd == end || text[lineEnd] == '\n'))
            --lineEnd;
        const std::size_t begin = lineStartOf(text, lineEnd);
        std::string_view line = text.substr(begin, lineEnd - begin);
        const std::size_t first = line.find_first_not_of(" \t");
        if (first == std::string_view::npos || line[first] != '#')
            break;
        line.remove_prefix(first);
        while (!line.empty() && isBlank(line.back()))
            line.remove_suffix(1);
        lines.push_back(line);
        end = begin;
    }
    std::reverse(lines.begin(), lines.end());
    return lines;
}

std::int32_t functionAt(const ScriptOutline& outline, std::size_t offset)
{
    // Headers stand in text order and bodies do not overlap: the last header before the offset
    // is the only candidate.
    const auto& functions = outline.functions;
    const auto after = std::upper_bound(functions.begin(), functions.end(), offset,
                                        [](std::size_t at, const FunctionDeclaration& f) {
                                            return at < f.headerPlace.offset;
                                        });
    if (after == functions.begin())
        return -1;
    const FunctionDeclaration& function = *(after - 1);
    if (function.bodyBegin == FunctionDeclaration::kNoBody || offset <= function.bodyBegin)
        return -1;
    if (function.bodyEnd != FunctionDeclaration::kNoBody && offset >= function.bodyEnd)
        return -1;
    return std::int32_t(after - 1 - functions.begin());
}
