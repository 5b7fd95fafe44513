// The handles a simulated DLL hands out: small integers mapped to the
// state behind them, so a stale or foreign handle is recognised and
// refused instead of being dereferenced.
#pragma once

#include <windows.h>

#include <map>
#include <mutex>

template <typename State>
class HandleTable {
public:
    // Handles of different tables start at different bases, so passing a
    // handle of one kind where another is expected fails.
    explicit HandleTable(ULONG_PTR firstHandle) : next_(firstHandle) {}
    HandleTable(const HandleTable&) = delete;
    HandleTable& operator=(const HandleTable&) = delete;

    ULONG_PTR Add(State state)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        const ULONG_PTR handle = next_++;
        items_.emplace(handle, std::move(state));
        return handle;
    }

    // Runs action on the state of handle under the table's lock; false when
    // the handle is unknown.
    template <typename Action>
    bool Visit(ULONG_PTR handle, Action action)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        const auto found = items_.find(handle);
        if (found == items_.end())
            return false;
        action(found->second);
        return true;
    }

    bool Remove(ULONG_PTR handle)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return items_.erase(handle) != 0;
    }

    template <typename Predicate>
    void RemoveIf(Predicate predicate)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (auto item = items_.begin(); item != items_.end();)
            item = predicate(item->second) ? items_.erase(item) : std::next(item);
    }

private:
    std::mutex mutex_;
    std::map<ULONG_PTR, State> items_;
    ULONG_PTR next_;
};
