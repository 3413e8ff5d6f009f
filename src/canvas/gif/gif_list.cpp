#include "canvas/gif/gif_list.h"

namespace gif {

int TGIFList::Add(std::unique_ptr<TGIFItem> item)
{
    FItems.push_back(std::move(item));
    return int(FItems.size()) - 1;
}

void TGIFList::Delete(int index)
{
    // Taken out of the list before it is freed, so an item that looks itself up in its list
    // while being destroyed no longer finds itself.
    std::unique_ptr<TGIFItem> item = std::move(FItems.at(std::size_t(index)));
    FItems.erase(FItems.begin() + index);
}

void TGIFList::Clear()
{
    while (!FItems.empty())
        Delete(0);
}

int TGIFList::IndexOf(const TGIFItem *item) const
{
    for (std::size_t i = 0; i < FItems.size(); ++i)
        if (FItems[i].get() == item)
            return int(i);
    return -1;
}

void TGIFList::Warning(int severity, const std::string &message)
{
    if (FImage)
        FImage->Warning(this, severity, message);
}

void TGIFList::SaveToStream(TStream &stream)
{
    for (const auto &item : FItems)
        item->SaveToStream(stream);
}

}  // namespace gif
