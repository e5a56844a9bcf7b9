#include "builder/LevelHeadings.h"

namespace {

constexpr std::string_view kRuler = " ==============================";
constexpr int kHighestLevel = 14;

bool ConsumePrefix(std::string_view& text, std::string_view prefix)
{
    if (!text.starts_with(prefix))
        return false;
    text.remove_prefix(prefix.size());
    return true;
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Locale-independent on purpose: the texts are plain ASCII whatever the user's locale.
bool IsAlphanumeric(char c)
{
    return IsDigit(c) || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool ConsumeLevelNumber(std::string_view& text)
{
    if (text.size() < 2 || !IsDigit(text[0]) || !IsDigit(text[1]))
        return false;
    const int number = (text[0] - '0') * 10 + (text[1] - '0');
    text.remove_prefix(2);
    return number <= kHighestLevel;
}

}  // namespace

bool IsLevelHeading(std::string_view text)
{
    const bool hasWordLevel = ConsumePrefix(text, "Level ") || ConsumePrefix(text, "level ");
    if (!ConsumeLevelNumber(text))
        return false;
    if (!ConsumePrefix(text, "- ") && !(hasWordLevel && ConsumePrefix(text, " ")))
        return false;
    const bool hasRuler = text.ends_with(kRuler);
    if (hasRuler)
        text.remove_suffix(kRuler.size());
    if (!hasWordLevel && !hasRuler)
        return false;
    const std::string_view name = text;
    return !name.empty() && IsAlphanumeric(name.front()) && name.back() != ' ';
}
