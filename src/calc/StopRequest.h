// Stopping a long calculation: a flag raised from another thread (a dialog's
// "Interrompi", brelund-calc's SIGINT handler) and read by the computes
// between rows, cells, stations or search steps, which then give up with
// CCalculationStopped and leave no part of their result behind.
#pragma once

#include <atomic>

class CStopRequest {
public:
    // Safe from a signal handler: the flag is a lock-free atomic.
    void Request() { m_requested.store(true, std::memory_order_relaxed); }
    bool Requested() const { return m_requested.load(std::memory_order_relaxed); }

private:
    std::atomic<bool> m_requested{false};
    static_assert(std::atomic<bool>::is_always_lock_free);
};

// Thrown by a compute that saw its stop requested. Not a std::exception, so
// that no handler of failures takes a stop for a failure (and, say, runs the
// table again without its drawing).
class CCalculationStopped {};

// Throws CCalculationStopped when stop is given and requested.
inline void ThrowIfStopped(const CStopRequest* stop) {
    if (stop && stop->Requested())
        throw CCalculationStopped();
}
