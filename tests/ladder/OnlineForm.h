#pragma once
// The ladder's online text as the service hands it back.

#include <string>

// The text a download gives for an uploaded form field: the service decodes
// the field, keeps the file, and returns its lines joined by CR LF.
inline std::string Downloaded(const std::string& form) {
    std::string text;
    for (std::size_t i = 0; i < form.size(); ++i) {
        char c = form[i];
        if (c == '+') {
            c = ' ';
        } else if (c == '%' && i + 2 < form.size()) {
            c = static_cast<char>(std::stoi(form.substr(i + 1, 2), nullptr, 16));
            i += 2;
        }
        text += c == '\n' ? std::string("\r\n") : std::string(1, c);
    }
    return text;
}
