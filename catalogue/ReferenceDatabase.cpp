#include "catalogue/ReferenceDatabase.h"

#include "catalogue/ReferenceDatabaseData.h"

#include <algorithm>
#include <cstddef>

bool loadStringById(std::uint16_t id, std::string& buffer)
{
    using namespace reference_data;
    if (id < kFirstId || id > kLastId)
        return false;
    const std::size_t index = id - kFirstId;
    const std::uint32_t begin = kTextStarts[index];
    const std::uint32_t end = kTextStarts[index + 1];
    if (begin == end)
        return false;
    buffer.assign(kTexts + begin, end - begin);
    return true;
}

void addStringRange(std::vector<std::string>& list, std::uint16_t first, std::uint16_t last)
{
    // A wider counter, so that a range ending at 65535 still terminates; nothing lies beyond
    // the table, so the walk stops at its end.
    const std::uint32_t end = std::min<std::uint32_t>(last, reference_data::kLastId);
    std::string text;
    for (std::uint32_t id = first; id <= end; ++id) {
        if (loadStringById(static_cast<std::uint16_t>(id), text))
            list.push_back(text);
    }
}
