// Reading PDF files back with poppler's command-line tools, and running programs.
#pragma once

#include <string>
#include <vector>

#include "command.h"

namespace orlex::test {

// The text of one page (from 1), or of every page for 0, with runs of white space
// (line breaks included) made one blank.
std::string PdfText(const std::string& pdf, int page = 0);
// The number of pages, -1 when the file cannot be read.
int PdfPages(const std::string& pdf);
// For every page true when it is wider than high.
std::vector<bool> PdfLandscape(const std::string& pdf);
// The images (pdfimages -list rows) and the fonts that are not embedded.
int PdfImages(const std::string& pdf);
std::vector<std::string> PdfFontsNotEmbedded(const std::string& pdf);

}  // namespace orlex::test
