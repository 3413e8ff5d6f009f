#include "platform/picture_formats.h"

#include <QStringList>

#include <algorithm>
#include <mutex>

namespace {

struct TRegistry {
    std::mutex Lock;
    std::vector<TPictureFormat> Formats;  // in order of registration
};

// Made on first use: kinds register from the start-up code of their own modules, in no
// fixed order.
TRegistry &Registry()
{
    static TRegistry registry;
    return registry;
}

bool SameExtension(const TPictureFormat &format, const QString &extension)
{
    return format.Extension.compare(extension, Qt::CaseInsensitive) == 0;
}

} // namespace

bool TPictureFormats::Register(const TPictureFormat &format)
{
    TRegistry &registry = Registry();
    std::lock_guard lock(registry.Lock);
    std::erase_if(registry.Formats, [&](const TPictureFormat &f) { return SameExtension(f, format.Extension); });
    registry.Formats.push_back(format);
    return true;
}

void TPictureFormats::Unregister(const QString &extension)
{
    TRegistry &registry = Registry();
    std::lock_guard lock(registry.Lock);
    std::erase_if(registry.Formats, [&](const TPictureFormat &f) { return SameExtension(f, extension); });
}

std::vector<TPictureFormat> TPictureFormats::Formats()
{
    TRegistry &registry = Registry();
    std::vector<TPictureFormat> formats;
    {
        std::lock_guard lock(registry.Lock);
        formats = registry.Formats;
    }
    std::stable_sort(formats.begin(), formats.end(),
                     [](const TPictureFormat &a, const TPictureFormat &b) { return a.FilterOrder < b.FilterOrder; });
    return formats;
}

QString TPictureFormats::SaveFilter()
{
    QStringList parts;
    for (const TPictureFormat &format : Formats()) {
        const QString pattern = QStringLiteral("*.") + format.Extension.toLower();
        parts << QStringLiteral("%1 (%2)").arg(format.FilterName, pattern) << pattern;
    }
    parts << QStringLiteral("All files (*.*)") << QStringLiteral("*.*");
    return parts.join(QLatin1Char('|'));
}
