#pragma once
// Reads the files of a run ahead of their check, in their order, on a thread of its
// own: while one file is checked, the next is read. At most `window` files are held
// read and not yet taken, and the next file is read only while the texts held stay
// below `budget` bytes, so a run of large files holds at most one of them beyond
// those being checked. Without the thread (none could be started) each text is read
// when it is taken.

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

template <typename T>
class CReadAhead {
public:
    // `read(i)` reads file i; `size(text)` is the memory a read text holds.
    CReadAhead(size_t count, size_t window, size_t budget, std::function<T(size_t)> read,
               std::function<size_t(const T&)> size)
        : m_nCount(count),
          m_nBudget(budget),
          m_Read(std::move(read)),
          m_Size(std::move(size)),
          m_Slots(std::max<size_t>(window, 1)),
          m_Taken(count, 0) {
        if (count < 2) return;  // nothing to read ahead of
        try {
            m_Thread = std::thread([this] { ReadAll(); });
        } catch (const std::system_error&) {
        }
    }

    ~CReadAhead() {
        {
            std::lock_guard<std::mutex> lock(m_Mutex);
            m_bStopped = true;
        }
        m_Room.notify_all();
        if (m_Thread.joinable()) m_Thread.join();
    }

    CReadAhead(const CReadAhead&) = delete;
    CReadAhead& operator=(const CReadAhead&) = delete;

    // The text of file `index`, once read. Each index is taken once.
    T Take(size_t index) {
        if (!m_Thread.joinable()) return m_Read(index);
        std::unique_lock<std::mutex> lock(m_Mutex);
        SSlot& slot = m_Slots[index % m_Slots.size()];
        ++m_nTakersWaiting;
        m_Ready.wait(lock, [&] { return slot.m_nIndex == index && slot.m_Text.has_value(); });
        --m_nTakersWaiting;
        T text = std::move(*slot.m_Text);
        slot.m_Text.reset();
        m_nHeld -= slot.m_nSize;
        m_Taken[index] = 1;
        while (m_nLowest < m_nCount && m_Taken[m_nLowest] != 0) ++m_nLowest;
        // The reader is woken once it can read half a window of files and half the
        // budget is free, not for each file taken.
        const bool wake =
            m_bReaderWaits && HasRoom(m_nReading, std::max<size_t>(m_Slots.size() / 2, 1) - 1, m_nBudget / 2);
        lock.unlock();
        if (wake) m_Room.notify_one();
        return text;
    }

private:
    struct SSlot {
        size_t m_nIndex = SIZE_MAX;
        std::optional<T> m_Text;
        size_t m_nSize = 0;
    };

    // Whether file `next` may be read with `files` more after it in the window and
    // `bytes` more held. Index i waits in slot i % window: the indexes held lie within
    // a window from the lowest one not taken.
    bool HasRoom(size_t next, size_t files, size_t bytes) const {
        return next + files < m_nLowest + m_Slots.size() && m_nHeld + bytes < m_nBudget;
    }

    void ReadAll() {
        for (size_t i = 0; i < m_nCount; ++i) {
            {
                std::unique_lock<std::mutex> lock(m_Mutex);
                m_nReading = i;
                if (!HasRoom(i, 0, 0)) {
                    m_bReaderWaits = true;
                    m_Room.wait(lock, [&] { return m_bStopped || HasRoom(i, 0, 0); });
                    m_bReaderWaits = false;
                }
                if (m_bStopped) return;
            }
            T text = m_Read(i);
            const size_t size = m_Size(text);
            bool wake = false;
            {
                std::lock_guard<std::mutex> lock(m_Mutex);
                SSlot& slot = m_Slots[i % m_Slots.size()];
                slot.m_nIndex = i;
                slot.m_Text = std::move(text);
                slot.m_nSize = size;
                m_nHeld += size;
                wake = m_nTakersWaiting > 0;
            }
            if (wake) m_Ready.notify_all();
        }
    }

    const size_t m_nCount;
    const size_t m_nBudget;
    const std::function<T(size_t)> m_Read;
    const std::function<size_t(const T&)> m_Size;
    std::vector<SSlot> m_Slots;
    std::vector<char> m_Taken;
    size_t m_nLowest = 0;   // the lowest index not taken
    size_t m_nHeld = 0;     // bytes of the texts read and not taken
    size_t m_nReading = 0;  // the index the reader reads or waits to read
    bool m_bReaderWaits = false;
    int m_nTakersWaiting = 0;
    bool m_bStopped = false;
    std::mutex m_Mutex;
    std::condition_variable m_Room;
    std::condition_variable m_Ready;
    std::thread m_Thread;
};
