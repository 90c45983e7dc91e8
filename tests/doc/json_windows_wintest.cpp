// The document header must survive <windows.h> coming first: its macros
// (GetObject, min, max, ...) may not clash with the module's names.
#include <windows.h>

#include "doc/json_document.h"

#include <gtest/gtest.h>

namespace pt {
namespace {

TEST(JsonWindowsTest, HeaderCompilesAfterWindowsHeader) {
    JsonDocument doc;
    ASSERT_TRUE(doc.SetText("General.Name", "快捷启动"));
    EXPECT_EQ(doc.GetText("General.Name"), "快捷启动");
    EXPECT_EQ(doc.GetKind("General"), JsonKind::kObject);
    // The file form is what WriteFile would store: UTF-16LE, wchar_t-sized.
    const std::string bytes = doc.Serialize();
    const std::wstring wide(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / 2 - 1);
    EXPECT_EQ(wide, L"{\"General\":{\"Name\":\"快捷启动\"}}");
}

}  // namespace
}  // namespace pt
