// Reading and writing speed of JsonDocument against RapidJSON's DOM and
// nlohmann::json, on a generated launcher data document (10,000 items with
// Chinese names, Windows paths and parameters) and, when fetched, the common
// sample files twitter.json, citm_catalog.json and canada.json. Each figure is
// the best of interleaved runs; ratios above 1 mean this module is faster.
#include <nlohmann/json.hpp>
#include <rapidjson/document.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "base/text.h"
#include "doc/json_document.h"

namespace {

using Clock = std::chrono::steady_clock;

// Best time of each contender, measured round-robin: every round runs each
// contender once, so a burst of load on the machine hits all of them alike
// instead of spoiling one figure. At least 7 rounds and about `seconds`.
class Race {
  public:
    void Add(std::function<void()> run) { runs_.push_back({std::move(run), 1e9}); }
    void Go(double seconds) {
        const auto start = Clock::now();
        for (int round = 0;
             round < 7 || std::chrono::duration<double>(Clock::now() - start).count() < seconds;
             ++round) {
            for (Entry& e : runs_) {
                const auto t0 = Clock::now();
                e.run();
                e.best = std::min(e.best, std::chrono::duration<double>(Clock::now() - t0).count());
            }
        }
    }
    double Best(size_t i) const { return runs_[i].best; }

  private:
    struct Entry {
        std::function<void()> run;
        double best;
    };
    std::vector<Entry> runs_;
};

std::string LauncherData(int items) {
    static const char* const kNames[] = {"微信", "网易云音乐", "腾讯会议", "记事本",   "计算器",
                                         "画图", "控制面板",   "迅雷",     "百度网盘", "钉钉"};
    std::mt19937 random(42);
    pt::JsonDocument doc;
    int n = 0;
    for (int c = 0; n < items; ++c) {
        const std::string cls = "class[" + std::to_string(c) + "]";
        doc.SetText(cls + ".name", "分类" + std::to_string(c));
        for (int g = 0; g < 5 && n < items; ++g) {
            const std::string grp = cls + ".group[" + std::to_string(g) + "]";
            doc.SetText(grp + ".name", "分组 " + std::to_string(g));
            for (int i = 0; i < 50 && n < items; ++i, ++n) {
                const std::string it = grp + ".item[]";
                const std::string name = kNames[random() % 10];
                pt::JsonDocument item;
                item.SetInt("type", static_cast<int>(random() % 3));
                item.SetText("name", name + " " + std::to_string(n));
                item.SetText("path",
                             "C:\\Program Files (x86)\\" + name + "\\bin\\" + name + ".exe");
                item.SetText("param", "--profile=\"默认\" -n " + std::to_string(random() % 1000));
                item.SetText("WorkDir", "C:\\Program Files (x86)\\" + name);
                item.SetText("remarks", "常用工具，双击启动");
                item.SetInt("IsAdministrator", static_cast<int>(random() % 2));
                item.SetText("icon", std::to_string(random()));
                doc.AppendCopy(grp + ".item", item);
            }
        }
    }
    return doc.SerializeText();
}

void Run(const std::string& name, const std::string& utf8) {
    const std::u16string wide = pt::Utf8ToWide(utf8);
    const std::string bytes(reinterpret_cast<const char*>(wide.data()), wide.size() * 2);

    pt::JsonDocument ours;
    if (!ours.ParseBytes(bytes)) {
        std::printf("%s: not read (code %d)\n", name.c_str(), ours.LastError().code);
        return;
    }
    std::string out;
    rapidjson::Document rj;
    rj.Parse(utf8.c_str());
    nlohmann::ordered_json nl = nlohmann::ordered_json::parse(utf8);

    // Reading into a fresh document that is dropped afterwards, for every
    // library alike: a RapidJSON document parsed again keeps the memory of
    // every earlier tree, which makes it slower run by run. Ours is also timed
    // reading again into the same document, which reuses its memory.
    pt::JsonDocument again;
    Race parse;
    parse.Add([&] {
        pt::JsonDocument doc;
        doc.ParseText(utf8);
    });
    parse.Add([&] {
        pt::JsonDocument doc;
        doc.ParseBytes(bytes);
    });
    parse.Add([&] {
        rapidjson::Document doc;
        doc.Parse(utf8.c_str());
    });
    parse.Add([&] { nlohmann::ordered_json doc = nlohmann::ordered_json::parse(utf8); });
    parse.Add([&] { again.ParseText(utf8); });
    parse.Go(3.0);
    const double oursText = parse.Best(0), oursBytes = parse.Best(1);
    const double rjParse = parse.Best(2), nlParse = parse.Best(3), oursAgain = parse.Best(4);

    Race write;
    write.Add([&] { out = ours.Serialize(); });
    write.Add([&] { out = ours.SerializeText(); });
    write.Add([&] {
        rapidjson::StringBuffer buffer;
        rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
        rj.Accept(writer);
        out.assign(buffer.GetString(), buffer.GetSize());
    });
    write.Add([&] { out = nl.dump(); });
    write.Go(2.0);
    const double oursWrite = write.Best(0), oursWriteText = write.Best(1);
    const double rjWrite = write.Best(2), nlWrite = write.Best(3);

    std::printf("%s (%zu bytes UTF-8)\n", name.c_str(), utf8.size());
    std::printf("  parse  ms: ours text %.2f bytes %.2f | rapidjson %.2f | nlohmann %.2f\n",
                oursText * 1e3, oursBytes * 1e3, rjParse * 1e3, nlParse * 1e3);
    std::printf(
        "  parse  ratio vs rapidjson: text %.2fx bytes %.2fx; vs nlohmann: text %.2fx "
        "bytes %.2fx\n",
        rjParse / oursText, rjParse / oursBytes, nlParse / oursText, nlParse / oursBytes);
    std::printf("  parse  again into the same document: text %.2f ms, %.2fx rapidjson\n",
                oursAgain * 1e3, rjParse / oursAgain);
    std::printf("  write  ms: ours bytes %.2f text %.2f | rapidjson %.2f | nlohmann %.2f\n",
                oursWrite * 1e3, oursWriteText * 1e3, rjWrite * 1e3, nlWrite * 1e3);
    std::printf(
        "  write  ratio vs rapidjson: bytes %.2fx text %.2fx; vs nlohmann: bytes %.2fx "
        "text %.2fx\n",
        rjWrite / oursWrite, rjWrite / oursWriteText, nlWrite / oursWrite, nlWrite / oursWriteText);
}

}  // namespace

int main(int argc, char** argv) {
    const int items = argc > 1 ? std::atoi(argv[1]) : 10000;
    Run("launcher data, " + std::to_string(items) + " items", LauncherData(items));
    for (const char* file : {"twitter.json", "citm_catalog.json", "canada.json"}) {
        std::ifstream in(std::string(PT_JSON_EXAMPLES) + "/" + file, std::ios::binary);
        if (!in) {
            std::printf(
                "%s: not fetched, skipped (cmake --build <dir> --target "
                "fetch_json_examples)\n",
                file);
            continue;
        }
        std::stringstream text;
        text << in.rdbuf();
        Run(file, text.str());
    }
    return 0;
}
