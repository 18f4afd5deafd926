// Progress of a long calculation: a range and a position, reported by the
// tables row by row. The dialogs show it as a progress bar, brelund-calc as
// a line on stderr. Calls never overlap and positions only grow, but they
// may come from a worker thread of a parallel calculation.
#pragma once

class CProgress {
public:
    virtual ~CProgress() = default;
    virtual void SetRange(int lower, int upper) = 0;
    virtual void SetPos(int pos) = 0;
};
