// libFuzzer target for the reader and writer: any bytes, read both as the
// UTF-16LE file form and as UTF-8 text, with every flag combination; whatever
// reads must write out and read back to the same text (after one rewrite,
// since a lone line feed reads back as CR LF). The reader works on each form
// directly, so each must also read exactly as the text's UTF-16 conversion
// reads, and file bytes at any address alike.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "base/text.h"
#include "doc/json_document.h"

namespace {

void CheckRoundTrip(const pt::JsonDocument& doc) {
    pt::JsonDocument once;
    if (!once.ParseBytes(doc.Serialize())) std::abort();
    const std::string stable = once.Serialize();
    pt::JsonDocument twice;
    if (!twice.ParseBytes(stable) || twice.Serialize() != stable) std::abort();
    pt::JsonDocument viaText;
    if (!viaText.ParseText(once.SerializeText()) || viaText.Serialize() != stable) std::abort();
    // Pretty output is read back to the same tree.
    pt::JsonDocument pretty;
    if (!pretty.ParseText(once.SerializeText("", true)) || pretty.Serialize() != stable) {
        std::abort();
    }
}

bool SameOutcome(const pt::JsonDocument& a, bool aOk, const pt::JsonDocument& b, bool bOk) {
    return aOk == bOk && a.LastError().code == b.LastError().code &&
           a.LastError().position == b.LastError().position && a.Serialize() == b.Serialize();
}

void CheckForms(std::string_view text, bool decode, bool ignoreScalar) {
    pt::JsonDocument wide, utf8;
    const bool wideOk = wide.ParseWide(pt::Utf8ToWide(text), decode, ignoreScalar);
    if (!SameOutcome(wide, wideOk, utf8, utf8.ParseText(text, decode, ignoreScalar)))
        std::abort();
    pt::JsonDocument aligned, unaligned;
    const std::string shifted = "?" + std::string(text);
    const bool alignedOk = aligned.ParseBytes(text, decode, ignoreScalar);
    const bool unalignedOk =
        unaligned.ParseBytes(std::string_view(shifted).substr(1), decode, ignoreScalar);
    if (!SameOutcome(aligned, alignedOk, unaligned, unalignedOk))
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    // The first byte picks the flags; the rest is the text.
    const bool decode = (data[0] & 1) != 0;
    const bool ignoreScalar = (data[0] & 2) != 0;
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    pt::JsonDocument doc;
    if (doc.ParseBytes(text, decode, ignoreScalar)) CheckRoundTrip(doc);
    if (doc.ParseText(text, decode, ignoreScalar)) CheckRoundTrip(doc);
    CheckForms(text, decode, ignoreScalar);
    // Raw bytes too, for seeds that do not carry a flag byte.
    const std::string_view whole(reinterpret_cast<const char*>(data), size);
    if (doc.ParseBytes(whole)) CheckRoundTrip(doc);
    if (doc.ParseText(whole)) CheckRoundTrip(doc);
    return 0;
}
