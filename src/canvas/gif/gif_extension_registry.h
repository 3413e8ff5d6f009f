#pragma once
// The two registries that pick the class reading an extension block: by its label, and for
// application extensions by their 11-byte identifier. Later registrations win.
#include "canvas/gif/gif_extension.h"

#include <array>
#include <cstdint>
#include <vector>

namespace gif {

class TExtensionList
{
public:
    TExtensionList();
    void Add(std::uint8_t label, const TGIFExtensionClass &cls);
    const TGIFExtensionClass *Find(std::uint8_t label) const;

private:
    struct TEntry
    {
        const TGIFExtensionClass *Class;
        std::uint8_t Label;
    };
    std::vector<TEntry> FEntries;
};

// Application identifier (8 bytes) and authentication code (3 bytes) as they stand in a file.
using TGIFApplicationIdent = std::array<std::uint8_t, 11>;
TGIFApplicationIdent MakeApplicationIdent(const char *identifier, const char *authentication);

class TAppExtensionList
{
public:
    TAppExtensionList();
    void Add(const TGIFApplicationIdent &ident, const TGIFExtensionClass &cls);
    const TGIFExtensionClass *Find(const TGIFApplicationIdent &ident) const;

private:
    struct TEntry
    {
        const TGIFExtensionClass *Class;
        TGIFApplicationIdent Ident;
    };
    std::vector<TEntry> FEntries;
};

// Made on first use, filled with the classes of the codec.
TExtensionList &ExtensionRegistry();
TAppExtensionList &AppExtensionRegistry();

}  // namespace gif
