// The compact writer: depth-first over the tree with an explicit stack, into
// one growing UTF-16 buffer. Only backslash, '"' and five control characters
// are ever escaped; everything else, Chinese text included, is written as it
// is, which is what keeps the files readable by earlier versions.
#include "doc/json_node.h"

namespace pt::json {
namespace {

const char16_t* EscapeOf(char16_t c) {
    switch (c) {
        case u'\\': return u"\\\\";
        case u'"': return u"\\\"";
        case u'\b': return u"\\b";
        case u'\t': return u"\\t";
        case u'\n': return u"\\n";
        case u'\r': return u"\\r";
        case u'\f': return u"\\f";
        default: return nullptr;
    }
}

void WriteQuoted(std::u16string_view text, bool escape, std::u16string& out) {
    out += u'"';
    if (!escape) {
        out.append(text);
    } else {
        size_t run = 0;
        for (size_t i = 0; i < text.size(); ++i) {
            const char16_t c = text[i];
            if (c > u'\\' || (c >= u'#' && c < u'\\')) continue;  // the common case
            const char16_t* escaped = EscapeOf(c);
            if (escaped == nullptr) continue;
            out.append(text.data() + run, i - run);
            out.append(escaped, 2);
            run = i + 1;
        }
        out.append(text.data() + run, text.size() - run);
    }
    out += u'"';
}

void WriteScalar(const JsonNode* node, bool escape, std::u16string& out) {
    switch (node->kind) {
        case JsonKind::kReal:
        case JsonKind::kInteger: out += node->text; break;
        case JsonKind::kBoolean: out += node->boolValue ? u"true" : u"false"; break;
        case JsonKind::kString: WriteQuoted(node->text, escape, out); break;
        default: out += u"null"; break;
    }
}

void Indent(size_t depth, std::u16string& out) { out.append(depth, u'\t'); }

}  // namespace

void Write(const JsonNode* node, bool pretty, bool escape, std::u16string& out) {
    struct Frame {
        const JsonNode* node;
        size_t next;
    };
    auto open = [&](const JsonNode* n) {
        if (n->kind == JsonKind::kArray) {
            out += u'[';
        } else if (n->kind == JsonKind::kObject) {
            out += u'{';
            if (pretty) out += u"\r\n";
        } else {
            WriteScalar(n, escape, out);
            return false;
        }
        return true;
    };
    if (!open(node)) return;
    std::vector<Frame> stack{{node, 0}};
    while (!stack.empty()) {
        Frame& top = stack.back();
        const JsonNode* container = top.node;
        const bool object = container->kind == JsonKind::kObject;
        // The container's own depth: the root's is 0, its contents are at 1.
        const size_t depth = stack.size() - 1;
        if (top.next == container->items.size()) {
            if (object) {
                if (pretty) {
                    if (!container->items.empty()) out += u"\r\n";
                    Indent(depth, out);
                }
                out += u'}';
            } else {
                out += u']';
            }
            stack.pop_back();
            continue;
        }
        const JsonNode* child = container->items[top.next];
        if (top.next++ > 0) {
            out += u',';
            if (object && pretty) out += u"\r\n";
        }
        if (object) {
            if (pretty) Indent(depth + 1, out);
            WriteQuoted(child->key, escape, out);
            out += u':';
        }
        if (open(child)) stack.push_back({child, 0});  // `top` is stale from here
    }
}

}  // namespace pt::json
