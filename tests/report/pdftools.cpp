#include "pdftools.h"

#include <cstdio>
#include <sstream>

namespace orlex::test {

namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

}  // namespace

std::string PdfText(const std::string& pdf, int page) {
    std::string command = "pdftotext -enc UTF-8 ";
    if (page > 0) command += "-f " + std::to_string(page) + " -l " + std::to_string(page) + " ";
    const TCommandRun run = RunCommand(command + Quoted(pdf) + " -");
    std::string text;
    bool blank = false;
    for (const char c : run.Output) {
        const bool space = c == ' ' || c == '\n' || c == '\t' || c == '\f' || c == '\r';
        if (space && !blank) text += ' ';
        if (!space) text += c;
        blank = space;
    }
    return text;
}

int PdfPages(const std::string& pdf) {
    const TCommandRun run = RunCommand("pdfinfo " + Quoted(pdf));
    if (run.Code != 0) return -1;
    for (const std::string& line : Lines(run.Output))
        if (line.rfind("Pages:", 0) == 0) return std::stoi(line.substr(6));
    return -1;
}

std::vector<bool> PdfLandscape(const std::string& pdf) {
    const int pages = PdfPages(pdf);
    std::vector<bool> landscape;
    if (pages <= 0) return landscape;
    const TCommandRun run =
        RunCommand("pdfinfo -f 1 -l " + std::to_string(pages) + " " + Quoted(pdf));
    for (const std::string& line : Lines(run.Output)) {
        double width = 0, height = 0;
        int page = 0;
        if (std::sscanf(line.c_str(), "Page %d size: %lf x %lf", &page, &width, &height) == 3)
            landscape.push_back(width > height);
    }
    return landscape;
}

int PdfImages(const std::string& pdf) {
    const TCommandRun run = RunCommand("pdfimages -list " + Quoted(pdf));
    if (run.Code != 0) return -1;
    // Two lines of heading, then one line an image.
    return static_cast<int>(Lines(run.Output).size()) - 2;
}

std::vector<std::string> PdfFontsNotEmbedded(const std::string& pdf) {
    const TCommandRun run = RunCommand("pdffonts " + Quoted(pdf));
    std::vector<std::string> missing;
    const std::vector<std::string> lines = Lines(run.Output);
    if (run.Code != 0 || lines.size() < 2) return {"pdffonts failed: " + run.Output};
    // The columns emb, sub, uni follow the encoding: find "emb" in the heading.
    const std::size_t column = lines[0].find("emb");
    for (std::size_t i = 2; i < lines.size(); ++i) {
        if (lines[i].size() < column + 3 || lines[i].compare(column, 3, "yes") != 0)
            missing.push_back(lines[i]);
    }
    return missing;
}

}  // namespace orlex::test
