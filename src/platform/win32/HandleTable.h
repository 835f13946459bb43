// HandleTable: the stand-in's handles (windows, device contexts, GDI objects, kernel objects).
//
// A handle is an opaque value made of a kind tag, a slot index and a generation, so a handle
// that was closed never finds the object that later reuses its slot, and handles of one kind
// are never taken for another. Values stay below 2^31 so they survive a cast through LONG.
// Slots and their objects are kept after release and reused, so a program that takes and
// releases a device context every frame allocates nothing in the steady state.
// Owner: one table per kind, a static object of the module that owns that kind. Used on the
// window thread only.
#pragma once

#include <cstdint>
#include <deque>
#include <vector>

namespace StandIn
{

enum HandleKind : uint32_t
{
    kHandleWindow = 1,
    kHandleDc = 2,
    kHandleGdi = 3,
    kHandleKernel = 4,
    kHandleIcon = 5
};

template <typename T> class HandleTable
{
  public:
    explicit HandleTable(HandleKind eKind) : m_eKind(eKind) {}

    // Takes a free slot; its object is reset to T() and returned through ppObject.
    uintptr_t Add(T** ppObject)
    {
        uint32_t nIndex;
        if (!m_free.empty())
        {
            nIndex = m_free.back();
            m_free.pop_back();
        }
        else
        {
            if (m_slots.size() >= kMaxSlots)
                return 0;
            nIndex = static_cast<uint32_t>(m_slots.size());
            m_slots.emplace_back();
        }
        Slot& slot = m_slots[nIndex];
        slot.object = T();
        slot.bUsed = true;
        *ppObject = &slot.object;
        return Encode(nIndex, slot.nGeneration);
    }

    T* Find(uintptr_t hValue)
    {
        uint32_t nIndex;
        if (!Decode(hValue, &nIndex))
            return nullptr;
        return &m_slots[nIndex].object;
    }

    // Frees the slot; the object is reset so it releases what it holds.
    bool Remove(uintptr_t hValue)
    {
        uint32_t nIndex;
        if (!Decode(hValue, &nIndex))
            return false;
        Slot& slot = m_slots[nIndex];
        slot.object = T();
        slot.bUsed = false;
        slot.nGeneration = (slot.nGeneration + 1) & kGenerationMask;
        m_free.push_back(nIndex);
        return true;
    }

    // Calls fn(handle, object) for every live entry, in slot order.
    template <typename F> void ForEach(F fn)
    {
        for (uint32_t i = 0; i < m_slots.size(); ++i)
        {
            if (m_slots[i].bUsed)
                fn(Encode(i, m_slots[i].nGeneration), m_slots[i].object);
        }
    }

    // Handles of every live entry, in slot order (safe to iterate while removing).
    std::vector<uintptr_t> Handles()
    {
        std::vector<uintptr_t> handles;
        ForEach([&](uintptr_t h, T&) { handles.push_back(h); });
        return handles;
    }

  private:
    static constexpr uint32_t kIndexBits = 16;
    static constexpr uint32_t kMaxSlots = (1u << kIndexBits) - 2;
    static constexpr uint32_t kGenerationMask = 0x7FF;

    struct Slot
    {
        T object{};
        uint32_t nGeneration = 1;
        bool bUsed = false;
    };

    uintptr_t Encode(uint32_t nIndex, uint32_t nGeneration) const
    {
        return (static_cast<uintptr_t>(m_eKind) << 27) |
               (static_cast<uintptr_t>(nGeneration) << kIndexBits) | (nIndex + 1);
    }

    bool Decode(uintptr_t hValue, uint32_t* pIndex) const
    {
        if ((hValue >> 27) != m_eKind)
            return false;
        uint32_t nLow = static_cast<uint32_t>(hValue & ((1u << kIndexBits) - 1));
        if (nLow == 0 || nLow > m_slots.size())
            return false;
        const Slot& slot = m_slots[nLow - 1];
        if (!slot.bUsed || slot.nGeneration != ((hValue >> kIndexBits) & kGenerationMask))
            return false;
        *pIndex = nLow - 1;
        return true;
    }

    HandleKind m_eKind;
    std::deque<Slot> m_slots;
    std::vector<uint32_t> m_free;
};

} // namespace StandIn
