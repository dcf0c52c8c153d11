#pragma once
// Hands the results of worker threads to one writer in index order. At most
// `window` indexes are out at a time, taken by a worker and not yet passed to the
// writer: a worker that would run further ahead of the writer waits, so a writer
// held up by a slow reader of the output does not let results pile up in memory.

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <optional>
#include <vector>

template <typename T>
class CInOrderHandOff {
public:
    CInOrderHandOff(size_t count, size_t window) : m_nCount(count), m_Slots(std::max<size_t>(window, 1)) {}

    // For a worker: the next index to work on, in order. Waits while that index is a
    // window ahead of the writer; nothing once every index is taken or after Stop.
    std::optional<size_t> Take() {
        std::unique_lock<std::mutex> lock(m_Mutex);
        m_Room.wait(lock, [&] { return m_bStopped || m_nTaken >= m_nCount || m_nTaken < m_nPassed + m_Slots.size(); });
        if (m_bStopped || m_nTaken >= m_nCount) return std::nullopt;
        return m_nTaken++;
    }

    // For a worker: the result of an index it took.
    void Put(size_t index, T value) {
        {
            std::lock_guard<std::mutex> lock(m_Mutex);
            m_Slots[index % m_Slots.size()] = std::move(value);
        }
        m_Ready.notify_all();
    }

    // For the writer: the result of the next index, once it is there. Only while
    // indexes are left, and only when a worker took it or will take it.
    T Next() {
        std::unique_lock<std::mutex> lock(m_Mutex);
        std::optional<T>& slot = m_Slots[m_nPassed % m_Slots.size()];
        m_Ready.wait(lock, [&] { return slot.has_value(); });
        T value = std::move(*slot);
        slot.reset();
        ++m_nPassed;
        lock.unlock();
        m_Room.notify_all();
        return value;
    }

    // No index is given out any more; workers waiting in Take return with nothing.
    void Stop() {
        {
            std::lock_guard<std::mutex> lock(m_Mutex);
            m_bStopped = true;
        }
        m_Room.notify_all();
    }

    // Indexes given out to workers so far.
    size_t Taken() const {
        std::lock_guard<std::mutex> lock(m_Mutex);
        return m_nTaken;
    }

    // Results passed to the writer so far.
    size_t Passed() const {
        std::lock_guard<std::mutex> lock(m_Mutex);
        return m_nPassed;
    }

private:
    const size_t m_nCount;
    // Index i waits in slot i % window: the indexes out at one time differ by less
    // than the window, so no two of them share a slot.
    std::vector<std::optional<T>> m_Slots;
    size_t m_nTaken = 0;
    size_t m_nPassed = 0;
    bool m_bStopped = false;
    mutable std::mutex m_Mutex;
    std::condition_variable m_Room;   // a worker may take the next index
    std::condition_variable m_Ready;  // a result has arrived
};
