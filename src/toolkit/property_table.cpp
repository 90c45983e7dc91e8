// Storage of the window property table.
#include "toolkit/property_table.h"

#include <map>
#include <mutex>
#include <string>
#include <unordered_map>

namespace pt {
namespace {

struct Table {
    std::mutex mutex;
    std::unordered_map<HWND, std::map<std::string, int32_t, std::less<>>> entries;
};

Table& TheTable() {
    static Table* table = new Table;  // never destroyed: usable during exit
    return *table;
}

}  // namespace

void SetWindowProperty(HWND window, std::string_view name, int32_t value) {
    if (!window)
        return;
    Table& t = TheTable();
    std::lock_guard lock(t.mutex);
    auto& names = t.entries[window];
    auto it = names.find(name);
    if (it != names.end()) {
        it->second = value;
    } else {
        names.emplace(std::string(name), value);
    }
}

int32_t GetWindowProperty(HWND window, std::string_view name) {
    Table& t = TheTable();
    std::lock_guard lock(t.mutex);
    auto w = t.entries.find(window);
    if (w == t.entries.end())
        return 0;
    auto it = w->second.find(name);
    return it == w->second.end() ? 0 : it->second;
}

bool HasWindowProperty(HWND window, std::string_view name) {
    Table& t = TheTable();
    std::lock_guard lock(t.mutex);
    auto w = t.entries.find(window);
    return w != t.entries.end() && w->second.find(name) != w->second.end();
}

void RemoveWindowProperty(HWND window, std::string_view name) {
    Table& t = TheTable();
    std::lock_guard lock(t.mutex);
    auto w = t.entries.find(window);
    if (w == t.entries.end())
        return;
    auto it = w->second.find(name);
    if (it != w->second.end())
        w->second.erase(it);
    if (w->second.empty())
        t.entries.erase(w);
}

void DropWindowProperties(HWND window) {
    Table& t = TheTable();
    std::lock_guard lock(t.mutex);
    t.entries.erase(window);
}

size_t WindowPropertyWindowCount() {
    Table& t = TheTable();
    std::lock_guard lock(t.mutex);
    return t.entries.size();
}

}  // namespace pt
