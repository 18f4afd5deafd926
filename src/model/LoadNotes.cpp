#include "LoadNotes.h"

namespace loadnotes {
namespace {
thread_local std::vector<CMessage>* t_notes = nullptr;
}

Collect::Collect(std::vector<CMessage>& notes) : m_previous(t_notes) {
    t_notes = &notes;
}

Collect::~Collect() {
    t_notes = m_previous;
}

void Note(CMessage text) {
    if (t_notes)
        t_notes->push_back(std::move(text));
}

} // namespace loadnotes
