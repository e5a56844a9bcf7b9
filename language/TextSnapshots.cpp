#include "language/TextSnapshots.h"

#include <utility>

TextSnapshots::TextSnapshots() : m_spare(std::make_shared<Spare>())
{
}

std::string TextSnapshots::Spare::take(std::size_t size)
{
    const std::lock_guard lock(mutex);
    return text.capacity() >= size ? std::exchange(text, {}) : std::string();
}

void TextSnapshots::Spare::give(std::string& used)
{
    const std::lock_guard lock(mutex);
    if (used.capacity() > text.capacity())
        std::swap(used, text);
}

void TextSnapshots::GiveBack::operator()(std::string* used) const
{
    spare->give(*used);
    delete used;
}

std::shared_ptr<const std::string> TextSnapshots::copy(std::span<const std::string_view> parts)
{
    std::size_t size = 0;
    for (const std::string_view part : parts)
        size += part.size();
    auto text = std::make_unique<std::string>(m_spare->take(size));
    text->reserve(size);
    text->clear();
    for (const std::string_view part : parts)
        text->append(part);
    return std::shared_ptr<const std::string>(text.release(), GiveBack{m_spare});
}

std::shared_ptr<const std::string> TextSnapshots::adopt(std::string text)
{
    return std::shared_ptr<const std::string>(new std::string(std::move(text)), GiveBack{m_spare});
}

void TextSnapshots::prepareAnother(const std::shared_ptr<const std::string>& copy)
{
    const GiveBack* giveBack = std::get_deleter<GiveBack>(copy);
    if (!giveBack)
        return;
    // With room for what the user types before the next copy.
    const std::size_t size = copy->size() + copy->size() / 64 + 4096;
    {
        const std::lock_guard lock(giveBack->spare->mutex);
        if (giveBack->spare->text.capacity() >= size)
            return;
    }
    // Written, not only reserved: the system gives the pages only when they are touched.
    std::string text(size, '\0');
    text.clear();
    giveBack->spare->give(text);
}
