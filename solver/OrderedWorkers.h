#pragma once
// Independent jobs 0..count-1 on a pool of worker threads, their results
// handed over on the calling thread strictly in job order. The calling
// thread alone talks to the outside (progress, cancel), so whoever consumes
// the results sees the same sequence whatever the number of threads.

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace vantor {

/// Threads to use for a request of `threads` (0: one per hardware thread)
/// and `jobs` jobs.
inline int WorkerCount(int threads, int jobs) {
    if (threads <= 0) threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    return std::max(1, std::min(threads, jobs));
}

/// Runs work(worker, job) for every job on `threads` threads (worker is
/// 0..threads-1, for per-thread state). Before job i is awaited, proceed()
/// is asked; then deliver(i, result) gets it. Either returning false stops
/// the run: no new job starts, running ones finish and are dropped. Returns
/// whether every job was delivered. An exception from work is rethrown here
/// when its job's turn comes.
template <class Result>
bool RunInOrder(int count, int threads, const std::function<Result(int, int)>& work,
                const std::function<bool()>& proceed, const std::function<bool(int, Result&&)>& deliver) {
    if (count <= 0) return true;
    threads = std::max(1, std::min(threads, count));
    // Jobs may run this far ahead of delivery: keeps memory bounded and a
    // stop prompt.
    const int window = 2 * threads;

    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::optional<Result>> done(static_cast<std::size_t>(count));
    std::vector<std::exception_ptr> failed(static_cast<std::size_t>(count));
    int next = 0, delivered = 0;
    bool stop = false;

    auto worker = [&](int w) {
        for (;;) {
            int job;
            {
                std::unique_lock lock(mutex);
                changed.wait(lock, [&] { return stop || next >= count || next < delivered + window; });
                if (stop || next >= count) return;
                job = next++;
            }
            std::optional<Result> result;
            std::exception_ptr error;
            try {
                result.emplace(work(w, job));
            } catch (...) {
                error = std::current_exception();
            }
            {
                std::lock_guard lock(mutex);
                done[job] = std::move(result);
                failed[job] = error;
            }
            changed.notify_all();
        }
    };

    std::vector<std::thread> pool;
    pool.reserve(static_cast<std::size_t>(threads));
    auto finish = [&] {
        {
            std::lock_guard lock(mutex);
            stop = true;
        }
        changed.notify_all();
        for (auto& t : pool) t.join();
        pool.clear();
    };

    bool complete = true;
    std::exception_ptr error;
    try {
        for (int w = 0; w < threads; ++w) pool.emplace_back(worker, w);
        for (int i = 0; i < count; ++i) {
            if (!proceed()) {
                complete = false;
                break;
            }
            std::optional<Result> result;
            {
                std::unique_lock lock(mutex);
                changed.wait(lock, [&] { return done[i].has_value() || failed[i] != nullptr; });
                error = failed[i];
                result = std::move(done[i]);
                done[i].reset();
                delivered = i + 1;
            }
            changed.notify_all();
            if (error) break;
            if (!deliver(i, std::move(*result))) {
                complete = false;
                break;
            }
        }
    } catch (...) {
        error = std::current_exception();
    }
    finish();
    if (error) std::rethrow_exception(error);
    return complete;
}

}  // namespace vantor
