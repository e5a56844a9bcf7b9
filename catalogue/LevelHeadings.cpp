#include "catalogue/LevelHeadings.h"

namespace {

constexpr int kHighestLevel = 14;

bool consumePrefix(std::string_view& text, std::string_view prefix)
{
    if (!text.starts_with(prefix))
        return false;
    text.remove_prefix(prefix.size());
    return true;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Locale-independent on purpose: the texts are plain ASCII whatever the user's locale.
bool isAlphanumeric(char c)
{
    return isDigit(c) || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool consumeLevelNumber(std::string_view& text)
{
    if (text.size() < 2 || !isDigit(text[0]) || !isDigit(text[1]))
        return false;
    const int number = (text[0] - '0') * 10 + (text[1] - '0');
    text.remove_prefix(2);
    return number <= kHighestLevel;
}

}  // namespace

bool isLevelHeading(std::string_view text)
{
    const bool hasWordLevel = consumePrefix(text, "Level ") || consumePrefix(text, "level ");
    if (!consumeLevelNumber(text))
        return false;
    if (!consumePrefix(text, "- ") && !(hasWordLevel && consumePrefix(text, " ")))
        return false;
    const bool hasRuler = text.ends_with(kHeadingRuler);
    if (hasRuler)
        text.remove_suffix(kHeadingRuler.size());
    if (!hasWordLevel && !hasRuler)
        return false;
    const std::string_view name = text;
    return !name.empty() && isAlphanumeric(name.front()) && name.back() != ' ';
}
