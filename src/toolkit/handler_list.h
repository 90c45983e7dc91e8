// An ordered list of event handlers. Handlers run in registration order; a
// handler that sets its "handled" flag stops the ones after it (and the
// toolkit's own default processing). Handlers may add or remove handlers,
// themselves included, while the list is being dispatched: a removed handler
// is never called again, and one added during a dispatch first runs on the
// next dispatch.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace pt {

using HandlerId = uint32_t;  // 0 is never a valid id

template <typename... Args>
class HandlerList {
  public:
    using Handler = std::function<void(Args..., bool& handled)>;

    HandlerId Add(Handler handler) {
        if (!handler)
            return 0;
        const HandlerId id = ++lastId_ == 0 ? ++lastId_ : lastId_;
        entries_.push_back(Entry{id, std::move(handler), true});
        return id;
    }

    bool Remove(HandlerId id) {
        for (Entry& e : entries_) {
            if (e.id == id && e.live) {
                e.live = false;
                if (depth_ == 0)
                    Compact();
                return true;
            }
        }
        return false;
    }

    void Clear() {
        for (Entry& e : entries_)
            e.live = false;
        if (depth_ == 0)
            Compact();
    }

    size_t Count() const {
        size_t n = 0;
        for (const Entry& e : entries_)
            n += e.live ? 1 : 0;
        return n;
    }

    // Returns true when a handler marked the event handled.
    bool Dispatch(Args... args) {
        const size_t n = entries_.size();
        bool handled = false;
        ++depth_;
        struct Leave {
            HandlerList* self;
            ~Leave() {
                if (--self->depth_ == 0)
                    self->Compact();
            }
        } leave{this};
        for (size_t i = 0; i < n && !handled; ++i) {
            if (!entries_[i].live)
                continue;
            // A copy: the handler may add entries and reallocate the vector.
            Handler h = entries_[i].handler;
            h(args..., handled);
        }
        return handled;
    }

  private:
    struct Entry {
        HandlerId id;
        Handler handler;
        bool live;
    };
    void Compact() {
        std::erase_if(entries_, [](const Entry& e) { return !e.live; });
    }

    std::vector<Entry> entries_;
    HandlerId lastId_ = 0;
    int depth_ = 0;
};

}  // namespace pt
