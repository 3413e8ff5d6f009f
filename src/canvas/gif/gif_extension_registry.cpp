#include "canvas/gif/gif_extension_registry.h"

#include "canvas/gif/gif_app_extension.h"
#include "canvas/gif/gif_comment_extension.h"
#include "canvas/gif/gif_graphic_control.h"
#include "canvas/gif/gif_loop_extension.h"
#include "canvas/gif/gif_text_extension.h"

#include <cstring>

namespace gif {

TExtensionList::TExtensionList()
{
    Add(0x01, TGIFTextExtension::ClassInfo());
    Add(0xF9, TGIFGraphicControlExtension::ClassInfo());
    Add(0xFE, TGIFCommentExtension::ClassInfo());
    Add(0xFF, TGIFApplicationExtension::ClassInfo());
}

void TExtensionList::Add(std::uint8_t label, const TGIFExtensionClass &cls)
{
    FEntries.push_back({&cls, label});
}

const TGIFExtensionClass *TExtensionList::Find(std::uint8_t label) const
{
    for (auto it = FEntries.rbegin(); it != FEntries.rend(); ++it)
        if (it->Label == label)
            return it->Class;
    return nullptr;
}

TGIFApplicationIdent MakeApplicationIdent(const char *identifier, const char *authentication)
{
    TGIFApplicationIdent ident{};
    std::memcpy(ident.data(), identifier, std::min<std::size_t>(8, std::strlen(identifier)));
    std::memcpy(ident.data() + 8, authentication, std::min<std::size_t>(3, std::strlen(authentication)));
    return ident;
}

TAppExtensionList::TAppExtensionList()
{
    Add(MakeApplicationIdent("NETSCAPE", "2.0"), TGIFAppExtNSLoop::ClassInfo());
    Add(MakeApplicationIdent("ANIMEXTS", "1.0"), TGIFAppExtNSLoop::ClassInfo());
}

void TAppExtensionList::Add(const TGIFApplicationIdent &ident, const TGIFExtensionClass &cls)
{
    FEntries.push_back({&cls, ident});
}

const TGIFExtensionClass *TAppExtensionList::Find(const TGIFApplicationIdent &ident) const
{
    for (auto it = FEntries.rbegin(); it != FEntries.rend(); ++it)
        if (it->Ident == ident)
            return it->Class;
    return nullptr;
}

TExtensionList &ExtensionRegistry()
{
    static TExtensionList registry;
    return registry;
}

TAppExtensionList &AppExtensionRegistry()
{
    static TAppExtensionList registry;
    return registry;
}

}  // namespace gif
