// A list shared between threads under a reader-writer lock.
#pragma once

#include <list>
#include <mutex>
#include <shared_mutex>
#include <utility>

template <typename T>
class ThreadSafeList {
public:
    void push_back(T item) {
        std::unique_lock<std::shared_mutex> lock(m_Mutex);
        m_Items.push_back(std::move(item));
    }

    // Moves the first item into `out`; false when the list is empty.
    bool pop_front(T& out) {
        std::unique_lock<std::shared_mutex> lock(m_Mutex);
        if (m_Items.empty()) return false;
        out = std::move(m_Items.front());
        m_Items.pop_front();
        return true;
    }

    void clear() {
        std::unique_lock<std::shared_mutex> lock(m_Mutex);
        m_Items.clear();
    }

    size_t size() const {
        std::shared_lock<std::shared_mutex> lock(m_Mutex);
        return m_Items.size();
    }

    bool empty() const {
        std::shared_lock<std::shared_mutex> lock(m_Mutex);
        return m_Items.empty();
    }

    // A copy of the first item, taken under the shared lock.
    bool front(T& out) const {
        std::shared_lock<std::shared_mutex> lock(m_Mutex);
        if (m_Items.empty()) return false;
        out = m_Items.front();
        return true;
    }

private:
    mutable std::shared_mutex m_Mutex;
    std::list<T> m_Items;
};
