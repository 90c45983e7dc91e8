// libFuzzer target for the SVG reader (native clang build with -DPT_FUZZ=ON).
// The toolkit library is Windows-only, but the reader is pure C++, so its
// source is compiled straight into the fuzzer.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "toolkit/svg_document.cpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    pt::SvgDocument doc;
    pt::ParseSvg(text, doc);
    pt::SvgPath path;
    pt::ParseSvgPathData(text, path);
    return 0;
}
