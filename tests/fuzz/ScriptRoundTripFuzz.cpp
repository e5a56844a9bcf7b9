// Any file bytes loaded into the script editor and saved again.

#include "FuzzCheck.h"

#include "editor/ScriptEditor.h"
#include "language/Tokenizer.h"

#include <QApplication>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

ScriptEditor* editor = nullptr;

// The file with every line end (CR LF, lone CR, lone LF) made CR LF.
std::string withCrLf(std::string_view file)
{
    std::string bytes;
    for (std::size_t p = 0; p < file.size(); ++p) {
        if (file[p] == '\r' || file[p] == '\n') {
            bytes += "\r\n";
            if (file[p] == '\r' && p + 1 < file.size() && file[p + 1] == '\n')
                ++p;
        } else {
            bytes += file[p];
        }
    }
    return bytes;
}

bool hasOnlyCrLfLineEnds(std::string_view text)
{
    for (std::size_t p = 0; p < text.size(); ++p) {
        if (text[p] == '\r' && (p + 1 == text.size() || text[p + 1] != '\n'))
            return false;
        if (text[p] == '\n' && (p == 0 || text[p - 1] != '\r'))
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt gets arguments of its own: it would take out of libFuzzer's the options it knows.
    static int qtArgc = 1;
    static char* qtArgv[] = {(*argv)[0], nullptr};
    // Lives for the whole run: libFuzzer ends the process without returning.
    new QApplication(qtArgc, qtArgv);
    editor = new ScriptEditor;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view file(reinterpret_cast<const char*>(data), size);
    editor->setScript(std::string(file));

    // A save must write the file with every line end CR LF and every keyword and command in its
    // list's spelling, and every other byte as it was: the code page holds all 256 byte values.
    // The expected bytes are made from the file bytes directly, not through the conversion to the
    // editor's UTF-8 and back, so that a fault in that conversion shows. The case correction
    // finds the same words either way: the tokenizer takes every byte from 0x80 up for gap, and
    // each code-page byte from 0x80 up becomes UTF-8 made only of such bytes.
    std::string expected = withCrLf(file);
    correctCase(expected);
    const std::string saved = editor->script();
    FUZZ_CHECK(saved == expected, "the saved script differs from the loaded file");

    FUZZ_CHECK(hasOnlyCrLfLineEnds(editor->documentText()), "the editor holds a line end other than CR LF");
    FUZZ_CHECK(!editor->isModified(), "a freshly loaded script counts as changed");
    FUZZ_CHECK(!editor->isUndoAvailable(), "loading a script left something to undo");

    // A saved script loads as itself.
    editor->setScript(saved);
    FUZZ_CHECK(editor->script() == saved, "a saved script does not load back as itself");
    return 0;
}
