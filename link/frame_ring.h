// A ring of 50 frame slots between the link's threads: any number of
// producers, one consumer, which may sleep until a frame arrives. At most 49 frames wait; a push into a full ring
// is refused and leaves the ring as it was. A slot keeps the bytes it last
// held beyond the frame written into it.
#pragma once

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <stop_token>

template <size_t SlotBytes>
class FrameRing {
public:
    static constexpr int kSlots = 50;
    static constexpr int kCapacity = kSlots - 1;

    struct Slot {
        std::array<uint8_t, SlotBytes> bytes{};
        int len = 0;  // bytes of the frame, as the producer counted them
    };
    // Names the frame at the tail when it was read, so that a pop after a
    // reset cannot take a newer frame.
    struct Ticket {
        uint64_t generation = 0;
        int tail = -1;
    };

    // fill(uint8_t* slot) writes the frame into the slot and returns its
    // length. False, with nothing written, when the ring is full.
    template <class Fill>
    bool Push(Fill&& fill)
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            const int next = (m_head + 1) % kSlots;
            if (next == m_tail) return false;
            Slot& slot = m_slots[m_head];
            slot.len = fill(slot.bytes.data());
            m_head = next;
        }
        // Outside the lock: the consumer wakes to a free mutex.
        m_cv.notify_all();
        return true;
    }

    // The consumer's wait: returns true as soon as a frame waits, false when
    // `longest` passed, stop was requested or Wake has been called since
    // Wakes() returned `since` (read it before looking at what Wake flags).
    template <class Rep, class Period>
    bool WaitForFrame(std::stop_token stop, std::chrono::duration<Rep, Period> longest, uint64_t since)
    {
        // Registered before the lock is taken: it runs at once when the stop
        // was asked for already.
        std::stop_callback onStop(stop, [this] {
            {
                std::lock_guard<std::mutex> lock(m_mutex);
            }
            m_cv.notify_all();
        });
        std::unique_lock<std::mutex> lock(m_mutex);
        m_cv.wait_for(lock, longest, [&] { return m_head != m_tail || m_wakes != since || stop.stop_requested(); });
        return m_head != m_tail;
    }
    uint64_t Wakes() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_wakes;
    }

    // Ends the consumer's current wait (it has something else to look at).
    void Wake()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            ++m_wakes;
        }
        m_cv.notify_all();
    }

    // Copies the frame at the tail without taking it.
    bool Peek(Slot& out, Ticket& ticket) const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_head == m_tail) return false;
        out = m_slots[m_tail];
        ticket = {m_generation, m_tail};
        return true;
    }

    // Takes the frame that Peek returned, unless the ring was reset since.
    void Pop(const Ticket& ticket)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (ticket.generation != m_generation || ticket.tail != m_tail || m_head == m_tail) return;
        m_tail = (m_tail + 1) % kSlots;
    }

    // Copies and takes the frame at the tail.
    bool Pop(Slot& out)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_head == m_tail) return false;
        out = m_slots[m_tail];
        m_tail = (m_tail + 1) % kSlots;
        return true;
    }

    int Size() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return (m_head - m_tail + kSlots) % kSlots;
    }

    // Empties the ring: head and tail back to slot 0.
    void Reset()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_head = m_tail = 0;
        ++m_generation;
    }

private:
    mutable std::mutex m_mutex;
    // Plain: its notify takes no lock that the woken consumer then waits for.
    std::condition_variable m_cv;
    uint64_t m_wakes = 0;
    std::array<Slot, kSlots> m_slots{};
    int m_head = 0;
    int m_tail = 0;
    uint64_t m_generation = 0;
};
