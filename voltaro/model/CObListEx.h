#pragma once
// An ordered list that owns its objects (sessions of a document, blocks of a
// session, the parser list). Objects come in and go out as std::unique_ptr;
// inside, the list hands out plain pointers that stay valid while the object is
// in the list. Taking an object out never copies it.

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <memory>
#include <utility>
#include <vector>

namespace voltaro {

template <class T>
class CObListEx {
    using Storage = std::vector<std::unique_ptr<T>>;

public:
    // Walks the objects as plain pointers, in list order.
    class const_iterator {
    public:
        using iterator_category = std::random_access_iterator_tag;
        using value_type = T*;
        using difference_type = std::ptrdiff_t;
        using pointer = T* const*;
        using reference = T*;

        const_iterator() = default;
        explicit const_iterator(typename Storage::const_iterator it) : m_it(it) {}

        T* operator*() const { return m_it->get(); }
        const_iterator& operator++() {
            ++m_it;
            return *this;
        }
        const_iterator operator++(int) { return const_iterator(m_it++); }
        const_iterator& operator--() {
            --m_it;
            return *this;
        }
        const_iterator operator--(int) { return const_iterator(m_it--); }
        const_iterator& operator+=(difference_type n) {
            m_it += n;
            return *this;
        }
        const_iterator& operator-=(difference_type n) {
            m_it -= n;
            return *this;
        }
        friend const_iterator operator+(const_iterator a, difference_type n) { return a += n; }
        friend const_iterator operator+(difference_type n, const_iterator a) { return a += n; }
        friend const_iterator operator-(const_iterator a, difference_type n) { return a -= n; }
        friend difference_type operator-(const const_iterator& a, const const_iterator& b) {
            return a.m_it - b.m_it;
        }
        T* operator[](difference_type n) const { return m_it[n].get(); }
        friend bool operator==(const const_iterator&, const const_iterator&) = default;
        friend auto operator<=>(const const_iterator& a, const const_iterator& b) {
            return a.m_it <=> b.m_it;
        }

    private:
        typename Storage::const_iterator m_it;
    };
    using iterator = const_iterator;

    CObListEx() = default;
    CObListEx(const CObListEx&) = delete;
    CObListEx& operator=(const CObListEx&) = delete;
    CObListEx(CObListEx&&) noexcept = default;
    CObListEx& operator=(CObListEx&&) noexcept = default;
    ~CObListEx() { RemoveAll(); }

    std::size_t GetCount() const { return m_items.size(); }
    bool IsEmpty() const { return m_items.empty(); }

    T* GetAt(std::size_t index) const { return m_items.at(index).get(); }
    T* GetHead() const { return m_items.empty() ? nullptr : m_items.front().get(); }
    T* GetTail() const { return m_items.empty() ? nullptr : m_items.back().get(); }

    // Index of the object, or -1 when it is not in the list.
    std::ptrdiff_t Find(const T* pObject) const {
        const auto it = std::find_if(m_items.begin(), m_items.end(),
                                     [pObject](const auto& p) { return p.get() == pObject; });
        return it == m_items.end() ? -1 : it - m_items.begin();
    }
    bool Contains(const T* pObject) const { return pObject && Find(pObject) >= 0; }

    // The list takes the object; the result points to it.
    T* AddHead(std::unique_ptr<T> pObject) {
        m_items.insert(m_items.begin(), std::move(pObject));
        return m_items.front().get();
    }
    T* AddTail(std::unique_ptr<T> pObject) {
        m_items.push_back(std::move(pObject));
        return m_items.back().get();
    }
    // Inserts directly after pAfter; at the tail when pAfter is null or not in the list.
    T* InsertAfter(const T* pAfter, std::unique_ptr<T> pObject) {
        const std::ptrdiff_t i = Find(pAfter);
        if (i < 0)
            return AddTail(std::move(pObject));
        return m_items.insert(m_items.begin() + i + 1, std::move(pObject))->get();
    }

    // Takes the object out of the list and hands it over; empty when it is not
    // in the list.
    std::unique_ptr<T> Remove(const T* pObject) {
        const std::ptrdiff_t i = Find(pObject);
        if (i < 0)
            return nullptr;
        std::unique_ptr<T> taken = std::move(m_items[static_cast<std::size_t>(i)]);
        m_items.erase(m_items.begin() + i);
        return taken;
    }
    std::unique_ptr<T> RemoveHead() { return Remove(GetHead()); }

    // Empties the list, destroying the objects (the list is already empty while
    // they are destroyed).
    void RemoveAll() { Storage items = std::exchange(m_items, {}); }

    void swap(CObListEx& other) noexcept { m_items.swap(other.m_items); }

    const_iterator begin() const { return const_iterator(m_items.begin()); }
    const_iterator end() const { return const_iterator(m_items.end()); }

private:
    Storage m_items;
};

}  // namespace voltaro
