#pragma once

#include <cstdint>

// The reference texts as tools/refdb_gen writes them into the build tree. Identifier `id` from
// kFirstId to kLastId owns the bytes of kTexts from kTextStarts[id - kFirstId] up to
// kTextStarts[id - kFirstId + 1]; an empty span means the identifier holds no text.
namespace reference_data {

extern const std::uint16_t kFirstId;
extern const std::uint16_t kLastId;
extern const char kTexts[];
extern const std::uint32_t kTextStarts[];

}  // namespace reference_data
