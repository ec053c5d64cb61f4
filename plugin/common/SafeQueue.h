// A mutex-guarded first-in-first-out queue whose take never blocks; used to
// hand items from worker threads to the simulator thread.
#pragma once

#include <deque>
#include <mutex>
#include <utility>

template <typename T>
class SafeQueue {
public:
    void push(T item) {
        std::lock_guard<std::mutex> lock(m_Mutex);
        m_Items.push_back(std::move(item));
    }

    // Moves the oldest item into `out`; false when the queue is empty.
    bool tryPop(T& out) {
        std::lock_guard<std::mutex> lock(m_Mutex);
        if (m_Items.empty()) return false;
        out = std::move(m_Items.front());
        m_Items.pop_front();
        return true;
    }

    bool empty() const {
        std::lock_guard<std::mutex> lock(m_Mutex);
        return m_Items.empty();
    }

    size_t size() const {
        std::lock_guard<std::mutex> lock(m_Mutex);
        return m_Items.size();
    }

    void clear() {
        std::lock_guard<std::mutex> lock(m_Mutex);
        m_Items.clear();
    }

private:
    mutable std::mutex m_Mutex;
    std::deque<T> m_Items;
};
