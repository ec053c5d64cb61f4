// A mutex-guarded first-in-first-out queue whose take never blocks; hands
// items from worker threads to the simulator or chatter thread.
#pragma once

#include <deque>
#include <mutex>
#include <utility>

template <typename T>
class SafeQueue {
public:
    void Produce(T item) {
        std::lock_guard<std::mutex> lock(mtx);
        q.push_back(std::move(item));
    }

    // Moves the oldest item into `item`; false when the queue is empty.
    bool Consume(T& item) {
        std::lock_guard<std::mutex> lock(mtx);
        if (q.empty()) return false;
        item = std::move(q.front());
        q.pop_front();
        return true;
    }

    size_t Size() const {
        std::lock_guard<std::mutex> lock(mtx);
        return q.size();
    }

    bool empty() const { return Size() == 0; }

private:
    mutable std::mutex mtx;
    std::deque<T> q;
};
