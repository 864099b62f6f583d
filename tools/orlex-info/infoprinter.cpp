#include "infoprinter.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <sstream>

#include "jsontext.h"

namespace orlex::info {

TMsgResult TRecorder::ShowMessage(const std::string& text, const std::string& caption, TMsgIcon,
                                  TMsgButtons buttons) {
    Messages.push_back({caption, text});
    if (EchoMessages) std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    return DefaultAnswer(buttons);
}

namespace {

bool IsBlank(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

std::string Trimmed(const std::string& text) {
    std::size_t from = 0;
    std::size_t to = text.size();
    while (from < to && IsBlank(text[from])) ++from;
    while (to > from && IsBlank(text[to - 1])) --to;
    return text.substr(from, to - from);
}

// A whole number with an optional sign, blanks around it allowed; false past the
// range of int.
bool ReadInt(const std::string& text, int& value) {
    std::string digits = Trimmed(text);
    if (!digits.empty() && digits[0] == '+') digits.erase(0, 1);
    if (digits.empty() || digits[0] == '+') return false;
    const char* end = digits.data() + digits.size();
    const auto result = std::from_chars(digits.data(), end, value);
    return result.ec == std::errc{} && result.ptr == end;
}

}  // namespace

bool ParsePlaySequence(const std::string& text, std::vector<TPlayItem>& items) {
    items.clear();
    std::size_t from = 0;
    while (from <= text.size()) {
        std::size_t comma = text.find(',', from);
        if (comma == std::string::npos) comma = text.size();
        const std::string raw = text.substr(from, comma - from);
        from = comma + 1;
        if (raw.empty()) continue;
        const std::string part = Trimmed(raw);
        if (part == "f" || part == "b" || part == "r" || part == "t" || part == "p") {
            items.push_back({part[0], 1});
            continue;
        }
        if (part.size() < 2 || (part[0] != '+' && part[0] != '-' && part[0] != '@')) return false;
        int n = 0;
        if (!ReadInt(part.substr(1), n) || n < 0) return false;
        items.push_back({part[0], n});
    }
    return true;
}

void ApplyPlay(TPlayback& playback, const std::vector<TPlayItem>& items) {
    for (const TPlayItem& item : items) {
        switch (item.Kind) {
            case '+':
                for (int i = 0; i < item.Count; ++i) playback.StepForward();
                break;
            case '-':
                for (int i = 0; i < item.Count && playback.StepCounter > 0; ++i)
                    playback.StepBackward();
                break;
            case 'f':
                playback.ForwardSecond();
                break;
            case 'b':
                playback.BackwardCommand();
                break;
            case 'p':
                playback.RunCommand(kPlaySpeed);
                break;
            case '@':
                playback.SeekTo(item.Count);
                break;
            case 'r':
                playback.ResetToStart();
                break;
            case 't':
                playback.TimerTick();
                break;
            default:
                break;
        }
    }
}

namespace {

// Floats are written with their shortest decimal form (0.78, not 0.779999971).
double Num(float value) {
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    double out = 0;
    std::from_chars(text, result.ptr, out);
    return out;
}

nlohmann::json Floats(const float* values, int count) {
    nlohmann::json array = nlohmann::json::array();
    for (int i = 0; i < count; ++i) array.push_back(Num(values[i]));
    return array;
}

// Text of the project as UTF-8 (a stray byte shown as U+FFFD).
nlohmann::json Q(const std::string& text) {
    return ValidUtf8(text);
}

}  // namespace

nlohmann::json BuildJson(const std::string& path, const TLogFile1& project,
                         const TPlayback& playback, const TRecorder& recorder,
                         const TJsonOptions& options) {
    using nlohmann::json;
    json root = json::object();
    root["file"] = Q(path);
    root["header"] = {{"PMax", project.PMax}, {"XMax", project.XMax}, {"YMax", project.YMax},
                      {"ZMax", project.ZMax}, {"VMax", project.VMax}, {"TOff", project.TOff}};

    json messages = json::array();
    for (const TRecordedMessage& m : recorder.Messages)
        messages.push_back({{"caption", Q(m.Caption)}, {"text", Q(m.Text)}});
    root["messages"] = messages;

    json progress = json::array();
    for (const std::string& text : recorder.ProgressTexts) progress.push_back(Q(text));
    root["progress"] = progress;

    json decks = json::array();
    for (int i = 0; i < project.DeckCount(); ++i) {
        const TDeck& deck = project.Decks[static_cast<std::size_t>(i)];
        json d = {{"index", i},
                  {"caption", Q(deck.GetCaption())},
                  {"cellCount", deck.CellCount},
                  {"quadCount", deck.QuadCount()},
                  {"lightsOn", deck.LightsOn}};
        json lights = json::array();
        for (const TLights& light : deck.Lights)
            lights.push_back({{"on", light.On}, {"position", Floats(light.Position, 4)}});
        d["lights"] = lights;
        if (options.Quads) {
            json quads = json::array();
            for (const TQuad& quad : deck.Quads) {
                json vertices = json::array();
                for (const auto& v : quad.Vertices) vertices.push_back(Floats(v, 3));
                quads.push_back({{"color", Floats(quad.Color, 3)},
                                 {"vertices", vertices},
                                 {"normal", Floats(quad.Normal, 3)}});
            }
            d["quads"] = quads;
        }
        decks.push_back(d);
    }
    root["decks"] = decks;

    if (options.Persons) {
        json persons = json::array();
        for (int i = 0; i < project.PersonCount(); ++i) {
            const TPersonData& p = project.Persons[static_cast<std::size_t>(i)];
            persons.push_back({{"index", i},
                               {"tag", p.Tag},
                               {"startX", p.StartX},
                               {"startY", p.StartY},
                               {"startLevel", p.StartLevel},
                               {"startHeading", p.StartHeading},
                               {"stepCount", p.StepCount},
                               {"x", Num(p.X)},
                               {"y", Num(p.Y)},
                               {"level", p.Level},
                               {"heading", p.Heading}});
        }
        root["persons"] = persons;
    }

    root["playback"] = {{"stepCounter", playback.StepCounter}, {"savedCount", playback.SavedCount},
                        {"timeSeconds", playback.TimeSeconds}, {"timeText", Q(recorder.TimeText)},
                        {"savedText", Q(recorder.SavedText)},  {"animating", playback.Animating()}};

    json report = json::array();
    for (const auto& [text, bold] : recorder.ReportLines)
        report.push_back({{"text", Q(text)}, {"bold", bold}});
    root["report"] = report;
    return root;
}

std::string BuildSummary(const std::string& path, const TLogFile1& project,
                         const TPlayback& playback) {
    std::ostringstream out;
    out << "File:      " << path << "\n";
    out << "Header:    PMax " << project.PMax << ", XMax " << project.XMax << ", YMax "
        << project.YMax << ", ZMax " << project.ZMax << ", VMax " << project.VMax << ", TOff "
        << project.TOff << "\n";
    for (int i = 0; i < project.DeckCount(); ++i) {
        const TDeck& deck = project.Decks[static_cast<std::size_t>(i)];
        out << project.LevelName << " " << i << ":    \"" << deck.GetCaption() << "\", "
            << deck.CellCount << " cells, " << deck.QuadCount() << " polygons";
        out << ", reduction " << ReductionText(deck.CellCount, deck.QuadCount());
        out << ", " << deck.LightsOn << (deck.LightsOn == 1 ? " light" : " lights") << "\n";
    }
    int longest = -1;
    for (const TPersonData& p : project.Persons) longest = std::max(longest, p.StepCount);
    out << "Persons:   " << project.PersonCount() << ", " << project.TotalSteps()
        << " steps in all\n";
    if (longest >= 0) {
        // A person is saved at the first step counter past the end of its track.
        const long long step = static_cast<long long>(longest) + 1;
        const double seconds = static_cast<double>(step) / playback.StepsPerSecond() + project.TOff;
        const long long t = static_cast<long long>(seconds);
        out << "All saved: at step " << step << ", "
            << TPlayback::TimeText(
                   static_cast<int>(std::clamp<long long>(t, -2147483647, 2147483647)))
            << "\n";
    }
    return out.str();
}

}  // namespace orlex::info
