#pragma once
// An ordered list of object pointers that deletes its objects when it owns them
// (sessions of a document, blocks of a session, the parser list).

#include <algorithm>
#include <cstddef>
#include <utility>
#include <vector>

namespace voltaro {

template <class T>
class CObListEx {
public:
    using iterator = typename std::vector<T*>::iterator;
    using const_iterator = typename std::vector<T*>::const_iterator;

    explicit CObListEx(bool bOwnsObjects = false) : m_bOwnsObjects(bOwnsObjects) {}
    ~CObListEx() { RemoveAll(); }

    CObListEx(const CObListEx&) = delete;
    CObListEx& operator=(const CObListEx&) = delete;
    CObListEx(CObListEx&& other) noexcept
        : m_items(std::exchange(other.m_items, {})), m_bOwnsObjects(other.m_bOwnsObjects) {}
    CObListEx& operator=(CObListEx&& other) noexcept {
        if (this != &other) {
            RemoveAll();
            m_items = std::exchange(other.m_items, {});
            m_bOwnsObjects = other.m_bOwnsObjects;
        }
        return *this;
    }

    bool OwnsObjects() const { return m_bOwnsObjects; }
    void SetOwnsObjects(bool bOwns) { m_bOwnsObjects = bOwns; }

    std::size_t GetCount() const { return m_items.size(); }
    bool IsEmpty() const { return m_items.empty(); }

    T* GetAt(std::size_t index) const { return m_items.at(index); }
    T* GetHead() const { return m_items.empty() ? nullptr : m_items.front(); }
    T* GetTail() const { return m_items.empty() ? nullptr : m_items.back(); }

    // Index of the object, or -1 when it is not in the list.
    std::ptrdiff_t Find(const T* pObject) const {
        const auto it = std::find(m_items.begin(), m_items.end(), pObject);
        return it == m_items.end() ? -1 : it - m_items.begin();
    }
    bool Contains(const T* pObject) const { return Find(pObject) >= 0; }

    void AddHead(T* pObject) { m_items.insert(m_items.begin(), pObject); }
    void AddTail(T* pObject) { m_items.push_back(pObject); }
    // Inserts directly after pAfter; at the tail when pAfter is null or not in the list.
    void InsertAfter(const T* pAfter, T* pObject) {
        const std::ptrdiff_t i = Find(pAfter);
        if (i < 0)
            m_items.push_back(pObject);
        else
            m_items.insert(m_items.begin() + i + 1, pObject);
    }

    // Takes the object out of the list without deleting it.
    bool Remove(const T* pObject) {
        const std::ptrdiff_t i = Find(pObject);
        if (i < 0)
            return false;
        m_items.erase(m_items.begin() + i);
        return true;
    }

    // Empties the list, deleting the objects when the list owns them.
    void RemoveAll() {
        std::vector<T*> items = std::exchange(m_items, {});
        if (m_bOwnsObjects) {
            for (T* p : items)
                delete p;
        }
    }

    void swap(CObListEx& other) noexcept {
        m_items.swap(other.m_items);
        std::swap(m_bOwnsObjects, other.m_bOwnsObjects);
    }

    iterator begin() { return m_items.begin(); }
    iterator end() { return m_items.end(); }
    const_iterator begin() const { return m_items.begin(); }
    const_iterator end() const { return m_items.end(); }

private:
    std::vector<T*> m_items;
    bool m_bOwnsObjects;
};

}  // namespace voltaro
