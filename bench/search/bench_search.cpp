// Item search benchmark: the work of one keystroke in the search field over
// N items (default 10,000), from the query text to the ranked hits.
//
// Items have a realistic mix of names: Chinese program and document names
// (polyphonic characters included), English names, mixed ones, and paths
// whose file names differ from the names. Cases:
//   first key   a one-letter query: the longest list of hits
//   initials    "jsb"-like queries over the whole index
//   pinyin      a full pinyin query with a partly typed last syllable
//   narrowed    the last key of that query, refining the hits of the one
//               before (what the panel does as the user types on)
//   no hit      a query that matches nothing
// The baseline is the floor of any search: one substring search of the
// query in each folded name, nothing else. Medians of many runs.
//
// Usage: bench_search [items] [runs]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "launcher/item_search.h"
#include "launcher/pinyin.h"

namespace pt {
namespace {

using Clock = std::chrono::steady_clock;

const char* const kWords[] = {
    "记事本",   "计算器", "画图",   "银行",   "重庆", "长城",  "音乐",    "浏览器", "设置",
    "控制面板", "文件夹", "下载",   "文档",   "图片", "视频",  "游戏",    "工具",   "编辑器",
    "管理",     "系统",   "网络",   "地图",   "翻译", "词典",  "会议",    "邮件",   "相机",
    "Visual",   "Studio", "Code",   "Chrome", "Word", "Excel", "Notepad", "QQ",     "WPS",
    "Steam",    "Git",    "Python", "微信",   "钉钉", "百度",  "网盘",    "输入法", "播放器"};
constexpr int kWordCount = sizeof kWords / sizeof kWords[0];

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

template <typename F>
double TimeMs(int runs, F&& f) {
    std::vector<double> times;
    for (int r = 0; r < runs; ++r) {
        const auto start = Clock::now();
        f();
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    return Median(times);
}

}  // namespace
}  // namespace pt

int main(int argc, char** argv) {
    using namespace pt;
    const int items = argc > 1 ? std::atoi(argv[1]) : 10000;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 51;

    std::vector<std::string> names, paths, folded;
    unsigned seed = 12345;
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u, (seed >> 16) & 0x7FFF; };
    for (int i = 0; i < items; ++i) {
        std::string name;
        const int words = 1 + static_cast<int>(next() % 3);
        for (int w = 0; w < words; ++w) {
            if (w > 0 && next() % 2)
                name += ' ';
            name += kWords[next() % kWordCount];
        }
        name += std::to_string(i % 97);
        names.push_back(name);
        paths.push_back("C:\\Program Files\\App" + std::to_string(i) + "\\prog" +
                        std::to_string(i % 1000) + ".exe");
        folded.push_back(FoldForSearch(name));
    }
    // Building the index: once per search, on its first key.
    ItemSearchIndex index;
    const double buildMs = TimeMs(std::max(3, runs / 5), [&] {
        index.Clear();
        for (int i = 0; i < items; ++i)
            index.Add(SearchPlace{i / 1000, (i / 100) % 10, i % 100}, names[static_cast<size_t>(i)],
                      paths[static_cast<size_t>(i)], ".exe");
    });

    size_t sink = 0;
    const auto baseline = [&](const std::string& q) {
        return TimeMs(runs, [&] {
            for (const std::string& name : folded)
                sink += name.find(q) != std::string::npos;
        });
    };
    struct Case {
        const char* label;
        std::string query;
        std::string before;  // refine from the hits of this query when set
    };
    const Case cases[] = {
        {"first key", "j", ""},     {"initials", "jsb", ""},
        {"pinyin", "yinhangx", ""}, {"narrowed", "liulanq", "liulan"},
        {"no hit", "zzzq", ""},
    };
    std::printf("items %d, runs %d, index built in %.2f ms\n", items, runs, buildMs);
    std::printf("%-10s %-10s %8s %9s %10s %6s\n", "case", "query", "hits", "ms", "baseline",
                "ratio");
    const double floor = baseline("j");
    for (const Case& c : cases) {
        size_t hits = 0;
        double ms = 0;
        if (c.before.empty()) {
            ms = TimeMs(runs, [&] { hits = index.Find(c.query).size(); });
        } else {
            const auto previous = index.Find(c.before);
            ms = TimeMs(runs, [&] { hits = index.Refine(c.query, previous).size(); });
        }
        std::printf("%-10s %-10s %8zu %9.3f %10.3f %6.2f\n", c.label, c.query.c_str(), hits, ms,
                    floor, ms / floor);
    }
    return sink == 0xFFFFFFFF ? 1 : 0;
}
