#pragma once

#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <string_view>

// Copies of a script's text for readers on other threads. Copying tens of megabytes into fresh
// memory costs a page fault for every 4 KiB, and freeing it unmaps it again; so the memory of a
// copy no longer used waits for the next copy instead, on whichever thread let go of it last.
class TextSnapshots {
public:
    TextSnapshots();

    // The parts given, one after the other, in one shared copy.
    std::shared_ptr<const std::string> copy(std::span<const std::string_view> parts);
    std::shared_ptr<const std::string> copy(std::string_view first, std::string_view second = {})
    {
        const std::string_view parts[] = {first, second};
        return copy(parts);
    }

    // Takes `text` as a copy of this kind, whose memory serves a later copy once no one holds it.
    std::shared_ptr<const std::string> adopt(std::string text);

    // Makes memory ready for the next copy as large as `copy`, which this made: for a thread
    // that may wait, so that the next copy does not.
    static void prepareAnother(const std::shared_ptr<const std::string>& copy);

private:
    struct Spare {
        std::mutex mutex;
        std::string text;  // only its memory counts

        std::string take(std::size_t size);
        // Keeps the memory of `text` when it is larger than the spare's; what is left over goes.
        void give(std::string& text);
    };
    struct GiveBack {
        std::shared_ptr<Spare> spare;
        void operator()(std::string* used) const;
    };

    std::shared_ptr<Spare> m_spare;
};
