// Reading a window the way a screen reader does: the role, name and state
// of an IAccessible object, and every object of a tree, depth first.
#pragma once

#include <windows.h>
#include <oleacc.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/text.h"

namespace pt::test {

struct Node {
    long role = 0;
    std::string name;
    long state = 0;
};

inline Node Read(IAccessible* acc, long child = CHILDID_SELF) {
    Node n;
    VARIANT self;
    ::VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = child;
    VARIANT v;
    ::VariantInit(&v);
    if (SUCCEEDED(acc->get_accRole(self, &v)) && v.vt == VT_I4)
        n.role = v.lVal;
    ::VariantInit(&v);
    if (SUCCEEDED(acc->get_accState(self, &v)) && v.vt == VT_I4)
        n.state = v.lVal;
    BSTR name = nullptr;
    if (acc->get_accName(self, &name) == S_OK && name) {
        n.name = FromWide(name);
        ::SysFreeString(name);
    }
    return n;
}

// Every object under `acc`, depth first, by its role and name.
inline void Walk(IAccessible* acc, std::vector<Node>& out, int depth = 0) {
    long count = 0;
    if (depth > 20 || FAILED(acc->get_accChildCount(&count)))
        return;
    for (long i = 1; i <= count; ++i) {
        VARIANT id;
        ::VariantInit(&id);
        id.vt = VT_I4;
        id.lVal = i;
        IDispatch* dispatch = nullptr;
        if (acc->get_accChild(id, &dispatch) != S_OK || !dispatch)
            continue;
        IAccessible* child = nullptr;
        if (SUCCEEDED(dispatch->QueryInterface(__uuidof(IAccessible),
                                               reinterpret_cast<void**>(&child)))) {
            out.push_back(Read(child));
            Walk(child, out, depth + 1);
            child->Release();
        }
        dispatch->Release();
    }
}

inline bool Has(const std::vector<Node>& nodes, long role, const std::string& name) {
    return std::any_of(nodes.begin(), nodes.end(),
                       [&](const Node& n) { return n.role == role && n.name == name; });
}

}  // namespace pt::test
