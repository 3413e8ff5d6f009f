#include "canvas/print/row_split.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace {

// Fewer rows than this are not worth waking a thread for.
constexpr int SmallestPart = 64;

class TRowWorkers {
public:
    TRowWorkers()
    {
        const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
        for (unsigned i = 0; i + 1 < std::min(cores, 4u); ++i)
            Threads_.emplace_back([this, i] { Serve(int(i) + 1); });
    }
    ~TRowWorkers()
    {
        {
            std::lock_guard lock(Mutex_);
            Quit_ = true;
        }
        Wake_.notify_all();
        for (std::thread &thread : Threads_)
            thread.join();
    }
    int Parts() const { return int(Threads_.size()) + 1; }

    void Run(int count, int parts, const std::function<void(int, int)> &work)
    {
        // One loop at a time: parts of two loops never mix.
        std::lock_guard running(Running_);
        {
            std::lock_guard lock(Mutex_);
            Work_ = &work;
            Count_ = count;
            Parts_ = parts;
            Pending_ = parts - 1;
            Failure_ = nullptr;
            ++Round_;
        }
        Wake_.notify_all();
        std::exception_ptr failure;
        try {
            Part(0);
        } catch (...) {
            failure = std::current_exception();
        }
        std::unique_lock lock(Mutex_);
        Done_.wait(lock, [&] { return Pending_ == 0; });
        Work_ = nullptr;
        if (!failure)
            failure = Failure_;
        lock.unlock();
        if (failure)
            std::rethrow_exception(failure);
    }

private:
    void Part(int part) const
    {
        const int first = int(std::int64_t(Count_) * part / Parts_);
        const int last = int(std::int64_t(Count_) * (part + 1) / Parts_);
        if (first < last)
            (*Work_)(first, last);
    }
    void Serve(int part)
    {
        std::uint64_t seen = 0;
        std::unique_lock lock(Mutex_);
        for (;;) {
            Wake_.wait(lock, [&] { return Quit_ || (Round_ != seen && Work_ && part < Parts_); });
            if (Quit_)
                return;
            seen = Round_;
            lock.unlock();
            std::exception_ptr failure;
            try {
                Part(part);
            } catch (...) {
                failure = std::current_exception();
            }
            lock.lock();
            if (failure && !Failure_)
                Failure_ = failure;
            if (--Pending_ == 0)
                Done_.notify_all();
        }
    }

    std::vector<std::thread> Threads_;
    std::mutex Running_;
    std::mutex Mutex_;
    std::condition_variable Wake_, Done_;
    const std::function<void(int, int)> *Work_ = nullptr;
    int Count_ = 0, Parts_ = 1, Pending_ = 0;
    std::uint64_t Round_ = 0;
    std::exception_ptr Failure_;
    bool Quit_ = false;
};

} // namespace

void SplitRows(int count, const std::function<void(int first, int last)> &work)
{
    static TRowWorkers workers;
    const int parts = std::min(workers.Parts(), count / SmallestPart);
    if (parts <= 1) {
        if (count > 0)
            work(0, count);
        return;
    }
    workers.Run(count, parts, work);
}
