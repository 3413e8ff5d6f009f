#pragma once
// TConnectionClaim: says, while it lives, that a statement is about to run on
// a connection. The SQL editor's fetch waits between pages for its window to
// ask for more rows and holds the connection meanwhile; a claim makes such a
// waiting fetch end, so the claimant's statement does not wait for the user.
#include <condition_variable>
#include <mutex>

class ISqlConnection;

class TConnectionClaim {
public:
    explicit TConnectionClaim(const ISqlConnection &connection);
    ~TConnectionClaim();
    TConnectionClaim(const TConnectionClaim &) = delete;
    TConnectionClaim &operator=(const TConnectionClaim &) = delete;

    // Ends the claim before the claimant's own statement may wait for rows.
    void Release();

    // What a waiting fetch waits under: claims, releases and every change a
    // fetch waits for are made holding Mutex() and announced on Changed().
    static std::mutex &Mutex();
    static std::condition_variable &Changed();
    // True while another statement waits for the connection; the caller holds Mutex().
    static bool Claimed(const ISqlConnection &connection);

private:
    const ISqlConnection *m_connection;
};
