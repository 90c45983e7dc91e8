// A dialog as a screen reader reads it (AccessibleObjectFromWindow): the
// dialog by its title, check boxes checked or disabled, an edit with its
// text as value, buttons by their text.
#include <windows.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include "base/win_handles.h"
#include "panel/ui_test_util.h"
#include "support/accessible_tree.h"
#include "toolkit/edit.h"
#include "toolkit/widgets.h"
#include "window/dialog.h"

namespace pt {
namespace {

TEST(DialogAccessibleTest, RolesNamesStatesAndValues) {
    ScopedOle ole;
    ASSERT_TRUE(ole.Ok());
    // Secondary windows are owned by the panel; that makes them dialogs.
    WindowOptions ownerOptions;
    ownerOptions.title = "owner";
    Window* owner = Window::Create(ownerOptions);
    ASSERT_NE(owner, nullptr);
    DialogOptions o;
    o.owner = owner->Hwnd();
    o.title = "属性";
    o.width = 360;
    o.height = 260;
    Dialog dialog(o);
    Element* body = dialog.Body();
    auto* name = body->Add<Edit>("记事本");
    name->SetFixedSize(200, 28);
    name->SetPlaceholder("名称");
    auto* admin = body->Add<CheckBox>("始终以管理员权限启动");
    admin->SetChecked(true);
    auto* off = body->Add<CheckBox>("禁用");
    off->SetEnabled(false);
    dialog.AddButton(*body, "确定", 1);
    dialog.ShowModeless();
    test::Pump();

    IAccessible* root = nullptr;
    ASSERT_EQ(::AccessibleObjectFromWindow(dialog.Hwnd(), static_cast<DWORD>(OBJID_CLIENT),
                                           __uuidof(IAccessible), reinterpret_cast<void**>(&root)),
              S_OK);
    const test::Node self = test::Read(root);
    EXPECT_EQ(self.role, ROLE_SYSTEM_DIALOG);
    EXPECT_EQ(self.name, "属性");
    std::vector<test::Node> nodes;
    test::Walk(root, nodes);
    const auto find = [&](const std::string& n) {
        auto it = std::find_if(nodes.begin(), nodes.end(),
                               [&](const test::Node& x) { return x.name == n; });
        return it == nodes.end() ? test::Node{} : *it;
    };
    EXPECT_EQ(find("始终以管理员权限启动").role, ROLE_SYSTEM_CHECKBUTTON);
    EXPECT_TRUE(find("始终以管理员权限启动").state & STATE_SYSTEM_CHECKED);
    EXPECT_TRUE(find("禁用").state & STATE_SYSTEM_UNAVAILABLE);
    EXPECT_EQ(find("确定").role, ROLE_SYSTEM_PUSHBUTTON);
    EXPECT_EQ(find("名称").role, ROLE_SYSTEM_TEXT);

    // The edit's text is its value.
    VARIANT child;
    ::VariantInit(&child);
    child.vt = VT_I4;
    child.lVal = CHILDID_SELF;
    name->SetFocus();
    VARIANT focus;
    ::VariantInit(&focus);
    ASSERT_EQ(root->get_accFocus(&focus), S_OK);
    ASSERT_EQ(focus.vt, VT_DISPATCH);
    IAccessible* edit = nullptr;
    ASSERT_TRUE(SUCCEEDED(
        focus.pdispVal->QueryInterface(__uuidof(IAccessible), reinterpret_cast<void**>(&edit))));
    BSTR value = nullptr;
    ASSERT_EQ(edit->get_accValue(child, &value), S_OK);
    EXPECT_EQ(FromWide(value), "记事本");
    ::SysFreeString(value);
    edit->Release();
    ::VariantClear(&focus);
    root->Release();
    dialog.End(0);
    owner->Destroy();
    test::Pump();
}

}  // namespace
}  // namespace pt
