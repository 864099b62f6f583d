#include "projects.h"

namespace orlex::test {

TLoaded LoadText(const std::string& text, TLoadLimits limits) {
    TLoaded loaded;
    loaded.Project = std::make_unique<TLogFile1>("Deck");
    loaded.Project->Limits = limits;
    loaded.Project->LoadFromMemory(text.data(), text.size(), loaded.Recorder, loaded.Recorder);
    return loaded;
}

std::string ProjectText(const std::vector<std::string>& captions, int vmax,
                        const std::vector<std::string>& tracks, int toff) {
    std::string text = "<header>\nversion 1\n";
    text += "pmax " + std::to_string(tracks.size()) + "\nxmax 6\nymax 4\nzmax " +
            std::to_string(captions.size()) + "\nvmax " + std::to_string(vmax) + "\ntoff " +
            std::to_string(toff) + "\n</header>\n";
    for (std::size_t z = 0; z < captions.size(); ++z) {
        text += "<deck>\nlevel " + std::to_string(z) + "\ncaption " + captions[z] +
                "\n(celldata)\n111111\n100001\n100001\n111111\n</deck>\n";
    }
    text += "<persons>\n<startpositions>\n";
    for (std::size_t i = 0; i < tracks.size(); ++i) text += "1 1 0 3 0\n";
    text += "(movement)\n";
    for (const std::string& track : tracks) text += track + "\n";
    text += "</persons>\n";
    return text;
}

}  // namespace orlex::test
