// Feeds arbitrary bytes to the XML parser, both as file bytes and as text,
// and checks that it ends in a consistent tree or a message.
#include "model/xml_parser.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

void check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

void checkOutcome(const TDirtyXMLParser &parser, bool parsed)
{
    check(parsed == parser.ErrorMessage().isEmpty());
    if (!parsed) {
        check(parser.Root() == nullptr);
        return;
    }
    TXMLElement *root = parser.Root();
    if (!root)
        return;
    check(root->GetParent() == nullptr);
    std::vector<TXMLElement *> pending{root};
    while (!pending.empty()) {
        TXMLElement *element = pending.back();
        pending.pop_back();
        check(!element->Name().isEmpty());
        for (TXMLAttribute *attribute : element->Attributes())
            check(element->Attributes().Find(attribute->Name()) != nullptr);
        for (TXMLElement *child : element->Children()) {
            check(child->GetParent() == element);
            check(element->FindChild(child->Name()) != nullptr);
            pending.push_back(child);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    TDirtyXMLParser parser;
    checkOutcome(parser, parser.LoadFromBytes(bytes));
    checkOutcome(parser, parser.ParseXml(QString::fromUtf8(bytes)));
    return 0;
}
