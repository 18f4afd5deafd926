// The owning list every collection of the model uses: items by 1-based
// position, owned and deleted by the list, with a remembered cursor.
//
// The cursor keeps the position last reached: Append leaves it on the new
// item, GetAt on the item asked for, RemoveAt on the item that took the
// removed one's place (or on the new last item). Items are held in one
// contiguous block of pointers, so every position is one step away.
#pragma once

#include <memory>
#include <utility>
#include <vector>

template <class T> class COwningList {
public:
    COwningList() = default;
    virtual ~COwningList() = default;
    COwningList(const COwningList&) = delete;
    COwningList& operator=(const COwningList&) = delete;

    int GetCount() const { return static_cast<int>(m_items.size()); }

    // Takes ownership of item and leaves the cursor on it.
    T* Append(std::unique_ptr<T> item) {
        m_items.push_back(std::move(item));
        m_cursor = GetCount();
        return m_items.back().get();
    }

    // Item i, 1-based; null outside 1..count (the cursor then stays put).
    T* GetAt(int i) {
        if (i < 1 || i > GetCount())
            return nullptr;
        m_cursor = i;
        return m_items[static_cast<std::size_t>(i - 1)].get();
    }
    const T* GetAt(int i) const {
        if (i < 1 || i > GetCount())
            return nullptr;
        return m_items[static_cast<std::size_t>(i - 1)].get();
    }

    // Deletes item i; false, with nothing changed, outside 1..count.
    bool RemoveAt(int i) {
        if (i < 1 || i > GetCount())
            return false;
        if (GetCount() == 1) {
            RemoveAll();
            return true;
        }
        m_items.erase(m_items.begin() + (i - 1));
        m_cursor = i > GetCount() ? GetCount() : i;
        return true;
    }

    // Takes item i out of the list without deleting it, the cursor moving as
    // RemoveAt moves it; null, with nothing changed, outside 1..count.
    std::unique_ptr<T> Release(int i) {
        if (i < 1 || i > GetCount())
            return nullptr;
        std::unique_ptr<T> item = std::move(m_items[static_cast<std::size_t>(i - 1)]);
        m_items.erase(m_items.begin() + (i - 1));
        m_cursor = m_items.empty() ? 0 : (i > GetCount() ? GetCount() : i);
        return item;
    }

    // Takes ownership of item at position i (1..count + 1; any other
    // position puts it last), the items from i on moving one down, and
    // leaves the cursor on it.
    T* InsertAt(int i, std::unique_ptr<T> item) {
        if (i < 1 || i > GetCount() + 1)
            i = GetCount() + 1;
        T* inserted = item.get();
        m_items.insert(m_items.begin() + (i - 1), std::move(item));
        m_cursor = i;
        return inserted;
    }

    // Deletes every item; false when the list was already empty.
    virtual bool RemoveAll() {
        if (m_items.empty())
            return false;
        m_items.clear();
        m_cursor = 0;
        return true;
    }

    // 1-based position of the cursor; 0 when the list is empty.
    int GetCursorIndex() const { return m_cursor; }

    // Exchanges the items and cursors of two lists; no item moves in memory.
    void Swap(COwningList& other) noexcept {
        m_items.swap(other.m_items);
        std::swap(m_cursor, other.m_cursor);
    }

private:
    std::vector<std::unique_ptr<T>> m_items;
    int m_cursor = 0;
};
