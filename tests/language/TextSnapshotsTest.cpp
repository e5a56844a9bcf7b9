#include "language/TextSnapshots.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

TEST(TextSnapshots, JoinsThePartsIntoOneCopy)
{
    TextSnapshots snapshots;
    EXPECT_EQ(*snapshots.copy("func void ", "main(void)"), "func void main(void)");
    EXPECT_EQ(*snapshots.copy("", ""), "");
    EXPECT_EQ(*snapshots.copy(std::string_view("a\0b", 3)), std::string("a\0b", 3));
}

TEST(TextSnapshots, ACopyLetGoOfLendsItsMemoryToTheNext)
{
    TextSnapshots snapshots;
    const std::string text(1 << 20, 'x');
    auto first = snapshots.copy(text);
    const char* memory = first->data();
    first.reset();
    const auto second = snapshots.copy(text.substr(1), "y");
    EXPECT_EQ(second->data(), memory);
    EXPECT_EQ(second->size(), text.size());
    EXPECT_EQ(second->back(), 'y');
}

TEST(TextSnapshots, ACopyInUseIsNeverLent)
{
    TextSnapshots snapshots;
    const auto first = snapshots.copy(std::string(1 << 16, 'a'));
    const auto second = snapshots.copy(std::string(1 << 16, 'b'));
    EXPECT_NE(first->data(), second->data());
    EXPECT_EQ(first->find('b'), std::string::npos);
}

TEST(TextSnapshots, MemoryMadeReadyHasRoomForTyping)
{
    TextSnapshots snapshots;
    const std::string text(1 << 20, 'x');
    auto held = snapshots.copy(text);
    TextSnapshots::prepareAnother(held);
    // One key more than the copy it was made ready after, while that copy is still in use.
    const auto next = snapshots.copy(text, "z");
    EXPECT_NE(next->data(), held->data());
    EXPECT_GE(next->capacity(), text.size() + 1);
    // What did not come from here has nothing to prepare.
    TextSnapshots::prepareAnother(std::make_shared<const std::string>("elsewhere"));
}

TEST(TextSnapshots, AnAdoptedTextServesTheCopiesAfterIt)
{
    TextSnapshots snapshots;
    auto loaded = snapshots.adopt(std::string(1 << 20, 'l'));
    TextSnapshots::prepareAnother(loaded);
    const char* const adopted = loaded->data();
    const auto typed = snapshots.copy(*loaded, "k");
    EXPECT_NE(typed->data(), adopted);
    EXPECT_EQ(typed->size(), (1u << 20) + 1);
    // Once no one holds the loaded text, its memory is the next copy's.
    loaded.reset();
    const auto later = snapshots.copy(std::string(1 << 19, 'm'));
    EXPECT_EQ(later->data(), adopted);
}

TEST(TextSnapshots, SnapshotsOutliveTheirSource)
{
    std::shared_ptr<const std::string> kept;
    {
        TextSnapshots snapshots;
        kept = snapshots.copy("kept");
    }
    EXPECT_EQ(*kept, "kept");
    kept.reset();
}

} // namespace
