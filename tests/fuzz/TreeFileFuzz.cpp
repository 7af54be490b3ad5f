// The tree file reader on any bytes. A tree it reads that the writer can
// write reads again and writes the same bytes.

#include "tests/fuzz/FuzzSupport.h"
#include "unified/core/Tree.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string input = ScratchFile("input.txt");
    static const std::string first = ScratchFile("first.txt");
    static const std::string second = ScratchFile("second.txt");
    WriteBytes(input, data, size);
    Tree root;
    root.LoadFromFile(input);
    // Indentation can make a deep tree's lines longer than the reader
    // takes; the writer then refuses, which is not a fault of the reader.
    if (root.HasError() || !root.SaveToFile(first)) return 0;
    Tree again;
    again.LoadFromFile(first);
    if (again.HasError()) Fail("a tree written from a read tree does not read again");
    if (!again.SaveToFile(second)) Fail("a tree read again does not write");
    if (ReadBytes(first) != ReadBytes(second)) Fail("the second write differs from the first");
    return 0;
}
