// Independent pieces of a table computed on all cores and handed over in
// order: compute(i) runs for every i in [0, count) on any thread, and
// deliver(i) runs for i = 0, 1, 2, ... one at a time, each as soon as every
// piece before it is done, so that whatever deliver writes (a grid, a
// drawing, progress) sees exactly the order of a serial run. With a stop
// given, a piece not yet started throws CCalculationStopped once the stop is
// requested: the pieces under way finish, the others are dropped, and the
// exception reaches the caller.
#pragma once

#include "StopRequest.h"

#include <mutex>
#include <tbb/blocked_range.h>
#include <tbb/parallel_for.h>
#include <vector>

template <class Index, class Compute, class Deliver>
void ParallelInOrder(Index count, Compute&& compute, Deliver&& deliver,
                     const CStopRequest* stop = nullptr) {
    if (count <= 0)
        return;
    std::vector<char> done(static_cast<std::size_t>(count), 0);
    std::mutex handOver;
    Index next = 0;
    tbb::parallel_for(tbb::blocked_range<Index>(0, count, 1),
                      [&](const tbb::blocked_range<Index>& range) {
                          for (Index i = range.begin(); i != range.end(); ++i) {
                              ThrowIfStopped(stop);
                              compute(i);
                              const std::lock_guard<std::mutex> lock(handOver);
                              done[static_cast<std::size_t>(i)] = 1;
                              while (next < count && done[static_cast<std::size_t>(next)])
                                  deliver(next++);
                          }
                      });
}
