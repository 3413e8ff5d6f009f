#include "dbtools/connection_claim.h"

#include <map>

namespace {

// Open claims per connection.
std::map<const ISqlConnection *, int> &Claims()
{
    static std::map<const ISqlConnection *, int> claims;
    return claims;
}

} // namespace

std::mutex &TConnectionClaim::Mutex()
{
    static std::mutex mutex;
    return mutex;
}

std::condition_variable &TConnectionClaim::Changed()
{
    static std::condition_variable changed;
    return changed;
}

TConnectionClaim::TConnectionClaim(const ISqlConnection &connection) : m_connection(&connection)
{
    std::lock_guard lock(Mutex());
    ++Claims()[m_connection];
    Changed().notify_all();
}

TConnectionClaim::~TConnectionClaim() { Release(); }

void TConnectionClaim::Release()
{
    if (!m_connection)
        return;
    std::lock_guard lock(Mutex());
    auto found = Claims().find(m_connection);
    if (found != Claims().end() && --found->second <= 0)
        Claims().erase(found);
    m_connection = nullptr;
}

bool TConnectionClaim::Claimed(const ISqlConnection &connection)
{
    auto found = Claims().find(&connection);
    return found != Claims().end() && found->second > 0;
}
