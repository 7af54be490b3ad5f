// The tree text reader, which takes what the online service returns, on
// any bytes.

#include "unified/core/Tree.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    Tree root;
    root.LoadFromText(text);
    if (!root.HasError()) {
        std::string form;
        root.SaveToFormText(form);
    }
    return 0;
}
