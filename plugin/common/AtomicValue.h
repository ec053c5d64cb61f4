// A number or flag that one thread writes and others read, usable like the
// plain value it holds and copyable with the record it belongs to.
#pragma once

#include <atomic>

template <typename T>
class AtomicValue {
public:
    AtomicValue(T value = T()) : m_Value(value) {}
    AtomicValue(const AtomicValue& other) : m_Value(other.load()) {}
    AtomicValue& operator=(const AtomicValue& other) {
        store(other.load());
        return *this;
    }
    AtomicValue& operator=(T value) {
        store(value);
        return *this;
    }
    operator T() const { return load(); }
    T load() const { return m_Value.load(std::memory_order_relaxed); }
    void store(T value) { m_Value.store(value, std::memory_order_relaxed); }

private:
    std::atomic<T> m_Value;
};
