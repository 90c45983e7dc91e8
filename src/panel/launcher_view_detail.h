// What the files of the launcher view share among themselves and nobody
// else uses: the radio groups of the column and the tabs, the icon timer,
// the entry and tab looks, and the neighbour swap of the move commands.
#pragma once

#include <windows.h>

#include <utility>
#include <vector>

#include "toolkit/element.h"

namespace pt::launcher_view_detail {

// Radio groups are per window: the column takes this one, every tab page
// one of its own above it.
constexpr int kSidebarRadioGroup = 0x5100;
constexpr int kFirstTabRadioGroup = 0x5101;

// Icons that arrived are shown in one pass over the cells per tick of this
// timer, however many came in since the last.
constexpr UINT kIconTimer = 0x5201;

StateLook EntryLook(bool dark);
StateLook TabLook(bool dark);

template <typename T>
void SwapNeighbours(std::vector<T>& v, int from, int to) {
    if (from >= 0 && to >= 0 && from < static_cast<int>(v.size()) &&
        to < static_cast<int>(v.size()))
        std::swap(v[from], v[to]);
}

}  // namespace pt::launcher_view_detail
