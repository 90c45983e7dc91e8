// The layout XML reader and the list-view cell templates read with it,
// including the templates the program ships.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "toolkit/item_template.h"
#include "toolkit/xml_tree.h"

namespace pt {
namespace {

TEST(XmlTreeTest, ReadsElementsAttributesAndReferences) {
    XmlNode root;
    std::string error;
    ASSERT_TRUE(
        ParseXml("\xEF\xBB\xBF<?xml version=\"1.0\"?>\n<!-- c -->\n"
                 "<a x='1' y=\"&lt;&amp;&#x4E2D;&#25991;\">\n"
                 "  <b/><!-- inside --><c k = 'v'>some &gt; text</c>\n</a>\n<!-- end -->",
                 root, &error))
        << error;
    EXPECT_EQ(root.name, "a");
    ASSERT_NE(root.Attribute("y"), nullptr);
    EXPECT_EQ(*root.Attribute("y"), "<&中文");
    EXPECT_EQ(root.Attribute("z"), nullptr);
    ASSERT_EQ(root.children.size(), 2u);
    EXPECT_EQ(root.children[0].name, "b");
    EXPECT_EQ(*root.children[1].Attribute("k"), "v");
    EXPECT_EQ(root.children[1].text, "some > text");
}

TEST(XmlTreeTest, RefusesMalformedDocuments) {
    const char* bad[] = {
        "",
        "text",
        "<a>",
        "<a></b>",
        "<a x=1/>",
        "<a x='1' x='2'/>",
        "<a x='<'/>",
        "<a/><b/>",
        "<a>&nope;</a>",
        "<a>&#0;</a>",
        "<a>&#xD800;</a>",
        "<a>&#x110000;</a>",
        "<!DOCTYPE a><a/>",
        "<a><![CDATA[x]]></a>",
        "<a x='1'y='2'/>",
        "<a / >",
        "<a><!-- open</a>",
    };
    for (const char* text : bad) {
        XmlNode root;
        std::string error;
        EXPECT_FALSE(ParseXml(text, root, &error)) << text;
        EXPECT_FALSE(error.empty()) << text;
        EXPECT_TRUE(root.name.empty()) << text;
    }
    // Deep nesting ends in an error, not in a stack overflow.
    std::string deep;
    for (int i = 0; i < 100000; ++i)
        deep += "<a>";
    XmlNode root;
    EXPECT_FALSE(ParseXml(deep, root));
}

TEST(ItemTemplateTest, PartsGeometryAndLooks) {
    ItemTemplate t;
    std::string error;
    ASSERT_TRUE(ParseItemTemplate(
        "<item width='150' height='100' radius='4' hover-fill='0,0,0,12' "
        "selected-border='#0088FF'>"
        "<shape name='swatch' left='5' top='5' width='140' height='65' radius='4'/>"
        "<shape name='name' top='75' height='20' fill='width' align='center' "
        "color='80,80,80' font-size='9.5'/>"
        "<image name='selected' image='res\\appframework\\tag.svg' left='110' top='5' "
        "width='35' height='35' state='selected'/>"
        "<image name='icon' width='40' height='40' align='center' top='8'/>"
        "<button name='more' width='20' height='20' align='end' right='10' top='15'/>"
        "</item>",
        t, &error))
        << error;
    EXPECT_EQ(t.size, (Size{150, 100}));
    EXPECT_EQ(t.radius, 4);
    EXPECT_EQ(*t.hoverFill, MakeColor(0, 0, 0, 12));
    EXPECT_EQ(*t.selectedBorder, MakeColor(0, 0x88, 0xFF));
    EXPECT_FALSE(t.selectedFill.has_value());
    ASSERT_EQ(t.parts.size(), 5u);
    const Size cell{150, 100};
    EXPECT_EQ(t.Find("swatch")->RectIn(cell), (Rect{5, 5, 145, 70}));
    const TemplatePart* name = t.Find("name");
    EXPECT_EQ(name->RectIn(cell), (Rect{0, 75, 150, 95}));
    EXPECT_EQ(name->align, PartAlign::kCenter);
    EXPECT_EQ(*name->color, MakeColor(80, 80, 80));
    EXPECT_FLOAT_EQ(name->fontSize, 9.5f);
    EXPECT_EQ(t.Find("selected")->state, PartState::kSelected);
    EXPECT_EQ(t.Find("selected")->image, "res\\appframework\\tag.svg");
    EXPECT_EQ(t.Find("icon")->RectIn(cell), (Rect{55, 8, 95, 48}));
    EXPECT_EQ(t.Find("more")->kind, PartKind::kButton);
    EXPECT_EQ(t.Find("more")->RectIn(cell), (Rect{120, 15, 140, 35}));
    EXPECT_EQ(t.Find("nothing"), nullptr);
    // A larger cell than the template's: stretched and centred parts follow.
    EXPECT_EQ(name->RectIn(Size{200, 100}), (Rect{0, 75, 200, 95}));
    EXPECT_EQ(t.Find("icon")->RectIn(Size{200, 100}), (Rect{80, 8, 120, 48}));

    t.Scale(1.5f);
    EXPECT_EQ(t.size, (Size{225, 150}));
    EXPECT_EQ(t.Find("swatch")->RectIn(t.size), (Rect{8, 8, 218, 106}));  // 7.5 rounds up
    EXPECT_FLOAT_EQ(t.Find("name")->fontSize, 9.5f) << "points follow the DPI themselves";
}

TEST(ItemTemplateTest, RefusesWhatItCannotShow) {
    const char* bad[] = {
        "<items width='1' height='1'/>",
        "<item height='10'/>",
        "<item width='10' height='10'><label/></item>",
        "<item width='10' height='10'><shape width='-4'/></item>",
        "<item width='10' height='10'><shape left='x'/></item>",
        "<item width='10' height='10'><shape color='300,0,0'/></item>",
        "<item width='10' height='10'><shape color='1,2'/></item>",
        "<item width='10' height='10'><shape color='#12345'/></item>",
        "<item width='10' height='10'><shape fill='all'/></item>",
        "<item width='10' height='10'><shape state='pressed'/></item>",
        "<item width='10' height='10'><shape visible='maybe'/></item>",
        "<item width='10' height='10' hover-fill='red'/>",
    };
    for (const char* xml : bad) {
        ItemTemplate t;
        std::string error;
        EXPECT_FALSE(ParseItemTemplate(xml, t, &error)) << xml;
        EXPECT_FALSE(error.empty()) << xml;
        EXPECT_TRUE(t.parts.empty()) << xml;
    }
}

std::string ReadFile(std::string path) {
#ifdef _WIN32
    // Under Wine a Unix path names a file on the Z: drive.
    if (!path.empty() && path[0] == '/')
        path = "Z:" + path;
#endif
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(ItemTemplateTest, TheShippedTemplatesRead) {
    const std::string dir = std::string(PT_RES_ARCHIVE_DIR) + "/layout/item/";
    struct Case {
        const char* file;
        Size size;
        std::vector<const char*> parts;
    };
    const Case cases[] = {
        {"listview.main.xml", {80, 80}, {"icon", "name"}},
        {"listview.skin.xml", {150, 100}, {"swatch", "name", "selected"}},
        {"listview.plugin.xml", {440, 50}, {"icon", "name", "info", "more"}},
    };
    for (const Case& c : cases) {
        ItemTemplate t;
        std::string error;
        const std::string xml = ReadFile(dir + c.file);
        ASSERT_FALSE(xml.empty()) << c.file;
        ASSERT_TRUE(ParseItemTemplate(xml, t, &error)) << c.file << ": " << error;
        EXPECT_EQ(t.size, c.size) << c.file;
        for (const char* p : c.parts)
            EXPECT_NE(t.Find(p), nullptr) << c.file << " " << p;
    }
}

}  // namespace
}  // namespace pt
