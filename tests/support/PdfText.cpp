#include "tests/support/PdfText.h"

#include <cstdio>
#include <sstream>

std::string CommandOutput(const std::string& command) {
    std::string out;
    std::FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return out;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        out.append(buffer, n);
    pclose(pipe);
    return out;
}

std::vector<std::string> PdfTextPages(const std::string& pdf) {
    std::vector<std::string> pages;
    std::istringstream text(CommandOutput("pdftotext -layout '" + pdf + "' -"));
    for (std::string page; std::getline(text, page, '\f');)
        pages.push_back(page);
    return pages;
}
