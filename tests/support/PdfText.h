#pragma once
// Printed reports are checked by printing into a PDF file and reading the
// text back with pdftotext (poppler-utils).

#include <string>
#include <vector>

// What a shell command writes to its standard output.
std::string CommandOutput(const std::string& command);

// The pages of a PDF file as `pdftotext -layout` lays them out.
std::vector<std::string> PdfTextPages(const std::string& pdf);
