#include "language/TextSearch.h"

#include "language/ScriptText.h"
#include "platform/Cp1252.h"

#include <algorithm>

namespace {

bool isContinuationByte(char byte)
{
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

} // namespace

std::string typedText(const QString& text)
{
    return documentFromFile(cp1252::encode(text));
}

std::string foldedCase(std::string_view text)
{
    std::string folded(text);
    for (std::size_t i = 0; i < folded.size(); ++i) {
        const auto lead = static_cast<unsigned char>(folded[i]);
        if (lead >= 'A' && lead <= 'Z') {
            folded[i] = char(lead - 'A' + 'a');
        } else if ((lead & 0xE0) == 0xC0 && i + 1 < folded.size() && isContinuationByte(folded[i + 1])) {
            const auto character = char32_t(((lead & 0x1F) << 6) | (static_cast<unsigned char>(folded[i + 1]) & 0x3F));
            const char32_t lower = QChar::toLower(character);
            if (lower >= 0x80 && lower < 0x800) {
                folded[i] = char(0xC0 | (lower >> 6));
                folded[i + 1] = char(0x80 | (lower & 0x3F));
            }
            ++i;
        }
    }
    return folded;
}

bool isWordCharacter(std::string_view text, std::size_t at)
{
    const auto lead = static_cast<unsigned char>(text[at]);
    if (lead < 0x80)
        return (lead >= 'a' && lead <= 'z') || (lead >= 'A' && lead <= 'Z') || (lead >= '0' && lead <= '9') ||
               lead == '_';
    std::size_t length = 1;
    while (at + length < text.size() && isContinuationByte(text[at + length]))
        ++length;
    const QString character = QString::fromUtf8(text.data() + at, qsizetype(length));
    return !character.isEmpty() && character.front().isLetterOrNumber();
}

bool isInsideWord(std::string_view text, std::size_t at)
{
    if (at == 0 || at == text.size())
        return false;
    std::size_t before = at - 1;
    while (before > 0 && isContinuationByte(text[before]))
        --before;
    return isWordCharacter(text, at) && isWordCharacter(text, before);
}

bool matchesAt(std::string_view text, std::size_t start, std::size_t end, std::string_view pattern,
               SearchOptions options)
{
    if (pattern.empty() || start > end || end > text.size() || end - start != pattern.size())
        return false;
    const std::string_view found = text.substr(start, end - start);
    const bool same = options.matchCase ? found == pattern : foldedCase(found) == foldedCase(pattern);
    return same && (!options.wholeWord || (!isInsideWord(text, start) && !isInsideWord(text, end)));
}

TextMatcher::TextMatcher(std::string_view text, std::string pattern, SearchOptions options,
                         std::shared_ptr<const std::string> folded)
    : m_text(text), m_options(options), m_pattern(options.matchCase ? std::move(pattern) : foldedCase(pattern)),
      m_folded(std::move(folded))
{
    if (!m_options.matchCase && !m_folded)
        m_folded = std::make_shared<const std::string>(foldedCase(text));
}

std::optional<std::size_t> TextMatcher::next(std::size_t from) const
{
    if (m_pattern.empty())
        return {};
    for (std::size_t at = searched().find(m_pattern, from); at != std::string_view::npos;
         at = searched().find(m_pattern, at + 1)) {
        if (isWhole(at))
            return at;
    }
    return {};
}

std::optional<std::size_t> TextMatcher::previous(std::size_t end) const
{
    if (m_pattern.empty() || end < length())
        return {};
    for (std::size_t at = searched().rfind(m_pattern, end - length()); at != std::string_view::npos;
         at = at == 0 ? std::string_view::npos : searched().rfind(m_pattern, at - 1)) {
        if (isWhole(at))
            return at;
    }
    return {};
}


bool TextMatcher::overlaps(std::size_t start, const Ranges& skipped) const
{
    const std::size_t end = start + length();
    const auto after = std::upper_bound(skipped.begin(), skipped.end(), start,
                                        [](std::size_t at, const auto& range) { return at < range.second; });
    return after != skipped.end() && after->first < end;
}

std::optional<std::size_t> TextMatcher::nextOutside(std::size_t from, const Ranges& skipped) const
{
    std::optional<std::size_t> start = next(from);
    while (start && overlaps(*start, skipped))
        start = next(*start + 1);
    return start;
}

std::optional<std::size_t> TextMatcher::previousOutside(std::size_t end, const Ranges& skipped) const
{
    std::optional<std::size_t> start = previous(end);
    while (start && overlaps(*start, skipped))
        start = previous(*start + length() - 1);
    return start;
}

std::optional<TextMatcher::Found> TextMatcher::around(std::size_t from, bool forward, const Ranges& skipped) const
{
    if (std::optional<std::size_t> start = forward ? nextOutside(from, skipped) : previousOutside(from, skipped))
        return Found{*start, false};
    if (std::optional<std::size_t> start = forward ? nextOutside(0, skipped) : previousOutside(m_text.size(), skipped))
        return Found{*start, true};
    return std::nullopt;
}

std::vector<std::size_t> TextMatcher::every(const Ranges& skipped) const
{
    std::vector<std::size_t> starts;
    for (std::optional<std::size_t> at = nextOutside(0, skipped); at; at = nextOutside(*at + length(), skipped))
        starts.push_back(*at);
    return starts;
}

bool TextMatcher::isWhole(std::size_t start) const
{
    return !m_options.wholeWord || (!isInsideWord(m_text, start) && !isInsideWord(m_text, start + length()));
}
