#pragma once
// TGIFPersistent: the base of the GIF blocks, lists and colour tables: something that can
// copy itself from another object of a kind it knows, and is named as a warning's sender.
#include <string>

namespace gif {

class TGIFPersistent
{
public:
    virtual ~TGIFPersistent() = default;

    // Copies source into this object; this base knows no source and refuses every one.
    virtual void Assign(const TGIFPersistent *source);
    virtual std::string ClassName() const = 0;

protected:
    [[noreturn]] void AssignError(const TGIFPersistent *source) const;
};

}  // namespace gif
