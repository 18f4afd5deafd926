// What a ship-file reader passes over without refusing the file: damage the
// file format tolerates (an unknown mesh tag, a negative count, bytes after
// the last tank, two elements of one name). The model reads on as the file
// format says; the notes let the user know.
#pragma once

#include "platform/Message.h"

#include <string>
#include <vector>

namespace loadnotes {

// Notes go to the list of the innermost Collect on this thread; none is
// kept when nothing collects.
class Collect {
public:
    explicit Collect(std::vector<CMessage>& notes);
    ~Collect();
    Collect(const Collect&) = delete;
    Collect& operator=(const Collect&) = delete;

private:
    std::vector<CMessage>* m_previous;
};

void Note(CMessage text);

} // namespace loadnotes
