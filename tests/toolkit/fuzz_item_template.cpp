// libFuzzer target for the layout XML reader and the cell templates read
// with it (native clang build with -DPT_FUZZ=ON): any bytes give a tree or
// false, and a template that reads places its parts in any cell size.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "toolkit/item_template.h"
#include "toolkit/xml_tree.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    pt::XmlNode root;
    pt::ParseXml(text, root);
    pt::ItemTemplate t;
    if (pt::ParseItemTemplate(text, t)) {
        t.Scale(1.75f);
        for (const pt::TemplatePart& p : t.parts) {
            p.RectIn(t.size);
            p.RectIn(pt::Size{0, 0});
        }
    }
    pt::Color c;
    pt::ParseColorText(text, c);
    return 0;
}
