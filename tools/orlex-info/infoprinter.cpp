#include "infoprinter.h"

#include <QJsonArray>
#include <QStringList>
#include <algorithm>
#include <charconv>
#include <cstdio>
#include <sstream>

namespace orlex::info {

TMsgResult TRecorder::ShowMessage(const std::string& text, const std::string& caption, TMsgIcon,
                                  TMsgButtons buttons) {
    Messages.push_back({caption, text});
    if (EchoMessages) std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    return DefaultAnswer(buttons);
}

bool ParsePlaySequence(const QString& text, std::vector<TPlayItem>& items) {
    items.clear();
    const QStringList parts = text.split(',', Qt::SkipEmptyParts);
    for (QString part : parts) {
        part = part.trimmed();
        if (part == "f" || part == "b" || part == "r" || part == "t" || part == "p") {
            items.push_back({part[0].toLatin1(), 1});
            continue;
        }
        if (part.size() < 2 || (part[0] != '+' && part[0] != '-' && part[0] != '@')) return false;
        bool ok = false;
        const int n = part.mid(1).toInt(&ok);
        if (!ok || n < 0) return false;
        items.push_back({part[0].toLatin1(), n});
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

QJsonArray Floats(const float* values, int count) {
    QJsonArray array;
    for (int i = 0; i < count; ++i) array.append(Num(values[i]));
    return array;
}

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

QJsonObject BuildJson(const QString& path, const TLogFile1& project, const TPlayback& playback,
                      const TRecorder& recorder, const TJsonOptions& options) {
    QJsonObject root;
    root["file"] = path;
    QJsonObject header;
    header["PMax"] = project.PMax;
    header["XMax"] = project.XMax;
    header["YMax"] = project.YMax;
    header["ZMax"] = project.ZMax;
    header["VMax"] = project.VMax;
    header["TOff"] = project.TOff;
    root["header"] = header;

    QJsonArray messages;
    for (const TRecordedMessage& m : recorder.Messages)
        messages.append(QJsonObject{{"caption", Q(m.Caption)}, {"text", Q(m.Text)}});
    root["messages"] = messages;

    QJsonArray progress;
    for (const std::string& text : recorder.ProgressTexts) progress.append(Q(text));
    root["progress"] = progress;

    QJsonArray decks;
    for (int i = 0; i < project.DeckCount(); ++i) {
        const TDeck& deck = project.Decks[static_cast<std::size_t>(i)];
        QJsonObject d;
        d["index"] = i;
        d["caption"] = Q(deck.GetCaption());
        d["cellCount"] = deck.CellCount;
        d["quadCount"] = deck.QuadCount();
        d["lightsOn"] = deck.LightsOn;
        QJsonArray lights;
        for (const TLights& light : deck.Lights)
            lights.append(QJsonObject{{"on", light.On}, {"position", Floats(light.Position, 4)}});
        d["lights"] = lights;
        if (options.Quads) {
            QJsonArray quads;
            for (const TQuad& quad : deck.Quads) {
                QJsonArray vertices;
                for (const auto& v : quad.Vertices) vertices.append(Floats(v, 3));
                quads.append(QJsonObject{{"color", Floats(quad.Color, 3)},
                                         {"vertices", vertices},
                                         {"normal", Floats(quad.Normal, 3)}});
            }
            d["quads"] = quads;
        }
        decks.append(d);
    }
    root["decks"] = decks;

    if (options.Persons) {
        QJsonArray persons;
        for (int i = 0; i < project.PersonCount(); ++i) {
            const TPersonData& p = project.Persons[static_cast<std::size_t>(i)];
            persons.append(QJsonObject{{"index", i},
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

    root["playback"] =
        QJsonObject{{"stepCounter", playback.StepCounter}, {"savedCount", playback.SavedCount},
                    {"timeSeconds", playback.TimeSeconds}, {"timeText", Q(recorder.TimeText)},
                    {"savedText", Q(recorder.SavedText)},  {"animating", playback.Animating()}};

    QJsonArray report;
    for (const auto& [text, bold] : recorder.ReportLines)
        report.append(QJsonObject{{"text", Q(text)}, {"bold", bold}});
    root["report"] = report;
    return root;
}

std::string BuildSummary(const QString& path, const TLogFile1& project, const TPlayback& playback) {
    std::ostringstream out;
    out << "File:      " << path.toStdString() << "\n";
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
