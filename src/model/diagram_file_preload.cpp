#include "model/diagram_file_preload.h"

#include "model/xml_parser.h"
#include "platform/read_file.h"

#include <QFileInfo>

#include <exception>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

namespace {

// A file changed or replaced since it was read is read again by the load
// itself. Anything but a regular file cannot be read again (a pipe gives
// its text once), and its parse is what the load gets, whatever its times.
bool stillTheFileRead(const TFileIdentity &read, const QString &fileName)
{
    const TFileIdentity now = TFileIdentity::OfPath(fileName);
    if (read.Kind == TFileKind::Regular)
        return read == now;
    return read.Kind != TFileKind::Missing && now.Device == read.Device && now.Inode == read.Inode;
}

struct TPreloadResult
{
    std::unique_ptr<TDirtyXMLParser> Parser;
    bool Parsed = false;
    TFileIdentity Stamp;
};

struct TPreloadEntry
{
    QString FileName;
    std::future<TPreloadResult> Result;
};

class TPreloads
{
public:
    ~TPreloads() { Finish(); }

    void Start(const QStringList &fileNames)
    {
        Finish();
        std::vector<std::promise<TPreloadResult>> promises(size_t(fileNames.size()));
        QStringList names;
        {
            const std::lock_guard lock(m_mutex);
            for (qsizetype i = 0; i < fileNames.size(); ++i) {
                names << QFileInfo(fileNames[i]).absoluteFilePath();
                m_entries.push_back({names.back(), promises[size_t(i)].get_future()});
            }
        }
        if (names.isEmpty())
            return;
        m_worker = std::thread([names, promises = std::move(promises)]() mutable {
            // A failure here (memory that runs out) goes to the load, which
            // reports it as any other.
            for (qsizetype i = 0; i < names.size(); ++i) {
                try {
                    promises[size_t(i)].set_value(parse(names[i]));
                } catch (...) {
                    promises[size_t(i)].set_exception(std::current_exception());
                }
            }
        });
    }

    std::unique_ptr<TDirtyXMLParser> Take(const QString &fileName, bool &parsed)
    {
        std::future<TPreloadResult> result;
        {
            const std::lock_guard lock(m_mutex);
            for (auto it = m_entries.begin(); it != m_entries.end(); ++it) {
                if (it->FileName == fileName) {
                    result = std::move(it->Result);
                    m_entries.erase(it);
                    break;
                }
            }
        }
        if (!result.valid())
            return nullptr;
        TPreloadResult done = result.get();
        if (!stillTheFileRead(done.Stamp, fileName))
            return nullptr;
        parsed = done.Parsed;
        return std::move(done.Parser);
    }

    void Finish()
    {
        if (m_worker.joinable())
            m_worker.join();
        const std::lock_guard lock(m_mutex);
        m_entries.clear();
    }

private:
    // The stamp is taken before the bytes are read, so a change while they
    // are read shows as a different stamp at the load.
    static TPreloadResult parse(const QString &fileName)
    {
        TPreloadResult result;
        result.Stamp = TFileIdentity::OfPath(fileName);
        if (result.Stamp.Kind == TFileKind::Missing)
            return result;
        result.Parser = std::make_unique<TDirtyXMLParser>();
        result.Parsed = result.Parser->LoadFromFile(fileName);
        return result;
    }

    std::mutex m_mutex;
    std::vector<TPreloadEntry> m_entries;
    std::thread m_worker;
};

TPreloads &preloads()
{
    static TPreloads instance;
    return instance;
}

} // namespace

void TDiagramFilePreload::Start(const QStringList &fileNames)
{
    preloads().Start(fileNames);
}

std::unique_ptr<TDirtyXMLParser> TDiagramFilePreload::Take(const QString &fileName, bool &parsed)
{
    return preloads().Take(fileName, parsed);
}

void TDiagramFilePreload::Finish()
{
    preloads().Finish();
}
