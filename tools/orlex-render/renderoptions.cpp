#include "renderoptions.h"

#include <QRegularExpression>
#include <cmath>

#include "importargs.h"
#include "timenavigation.h"

namespace orlex::render {

namespace {

bool ReadTime(const QString& text, double& seconds) {
    const auto entry = ParseTimeEntry(text.toStdString());
    if (!entry || entry->Kind != TTimeEntry::TKind::Seconds) return false;
    seconds = entry->Seconds;
    return std::isfinite(seconds);
}

bool ReadNumber(const QString& text, double& value) {
    static const QRegularExpression re(QStringLiteral("^[-+]?(\\d+\\.?\\d*|\\.\\d+)$"));
    if (!re.match(text.trimmed()).hasMatch()) return false;
    value = text.trimmed().toDouble();
    return std::isfinite(value);
}

bool ReadSize(const QString& text, int& w, int& h) {
    static const QRegularExpression re(QStringLiteral("^(\\d{1,5})[xX](\\d{1,5})$"));
    const auto m = re.match(text.trimmed());
    if (!m.hasMatch()) return false;
    w = m.captured(1).toInt();
    h = m.captured(2).toInt();
    return w >= 16 && h >= 16 && w <= 8192 && h <= 8192;
}

TOutputKind KindOf(const QString& path) {
    const QString lower = path.toLower();
    if (lower.endsWith(".mp4")) return TOutputKind::Video;
    if (path.contains('%')) return TOutputKind::Series;
    return TOutputKind::Picture;
}

// A numbered series names its files with one printf number field: %d, %06d and the like.
bool GoodPattern(const QString& path) {
    static const QRegularExpression re(QStringLiteral("^[^%]*%0?\\d{0,2}d[^%]*$"));
    const QString lower = path.toLower();
    return re.match(path).hasMatch() &&
           (lower.endsWith(".png") || lower.endsWith(".jpg") || lower.endsWith(".jpeg"));
}

}  // namespace

QString RenderUsage() {
    return QStringLiteral(
               "Usage: orlex-render FILE [options] -o OUT\n"
               "Draws a 3D log file without a window or a display.\n\n"
               "  -o OUT             .mp4 video, .png or .jpg picture, or a numbered series\n"
               "                     such as frames/%06d.jpg\n"
               "  --deck D           the deck to show: N, 0-based (default 0: the file's\n"
               "                     first deck); busiest: the deck with the most persons\n"
               "                     at the moment of --at, of --from for a video or\n"
               "                     series, or at the start; all:\n"
               "                     every deck at its height, the busiest drawn fully, the\n"
               "                     others dimmed; all:N: the same with deck N drawn fully\n"
               "  --cut C            with --deck all: all (default), below (the deck drawn\n"
               "                     fully and those below it) or only (that deck alone)\n"
               "  --deck-spacing F   with --deck all: F block heights between the decks (1 to\n"
               "                     20; default 3, as the viewer's option)\n"
               "  --plan             the plan view: straight down, without perspective, with\n"
               "                     a scale bar in metres\n"
               "  --at TIME          the moment of a picture (default the start)\n"
               "  --from TIME        start of a video or series (default the start)\n"
               "  --to TIME          end of a video or series (default when everybody is saved)\n"
               "  --fps F            frames per second, 1 to 240 (default 25)\n"
               "  --speed S          simulated seconds per video second (default 5)\n"
               "  --size WxH         picture size, 16x16 to 8192x8192 (default 1280x720;\n"
               "                     even for a video)\n"
               "  --camera C         top or oblique (the whole deck or stack in view), or\n"
               "                     PHI,THETA,DISTANCE,PANX,PANY (default top; with --deck all\n"
               "                     oblique, with --plan straight down)\n"
               "  --overlay O        none, peak, above, usage or los (levels of service A to F)\n"
               "                     with its legend (default none)\n"
               "  --caption C        band: a band at the top with the time, the deck and the\n"
               "                     legend, within the size (default); none: the view alone\n"
               "  --trails           everyone's trails of the last 10 seconds\n"
               "  --no-origin        without the origin marker\n"
               "  --measure FILE     the measurement lines and areas of FILE (default\n"
               "                     FILE.measure.json beside the project, when it exists)\n"
               "TIME is seconds (450) or minutes and seconds (7:30), as the viewer shows them.\n"
               "FILE may also be the trajectories of another tool, imported as orlex-convert\n"
               "does (the frame rate of a text file that gives none as --source-fps):\n") +
           QString::fromStdString(import::ImportOptionsHelp(21, {"fps"})) +
           QStringLiteral(
               "  --source-fps F     frame rate of an imported text file that gives none\n");
}

bool ParseRenderOptions(const QStringList& args, TRenderOptions& o, QString& error, bool& help) {
    help = false;
    auto bad = [&](const QString& option, const QString& why) {
        error = QStringLiteral("%1: %2").arg(option, why);
        return false;
    };
    QStringList inputs;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == "-h" || a == "--help") {
            help = true;
            return true;
        }
        if (a == "--plan") {
            o.Plan = true;
            continue;
        }
        const bool flag = a == "--trails" || a == "--no-origin";
        if (flag) {
            (a == "--trails" ? o.Trails : o.Origin) = a == "--trails";
            continue;
        }
        if (!a.startsWith('-') || a == "-") {
            inputs << a;
            continue;
        }
        // The import's options; its --fps is --source-fps here.
        const std::string importName = a == "--source-fps" ? std::string("fps")
                                       : a == "--fps"      ? std::string()
                                                           : a.mid(2).toStdString();
        if (!importName.empty() &&
            (a == "--source-fps" || import::IsImportOption(a.toStdString()))) {
            QString v;
            if (import::ImportOptionTakesValue(importName)) {
                if (i + 1 >= args.size()) return bad(a, QStringLiteral("a value is missing"));
                v = args[++i];
            }
            const std::string problem =
                import::SetImportOption(importName, v.toStdString(), o.Import);
            if (!problem.empty()) return bad(a, QString::fromStdString(problem));
            continue;
        }
        static const QStringList valued = {
            "-o",     "--deck",   "--at",      "--from",    "--to",  "--fps",          "--speed",
            "--size", "--camera", "--overlay", "--caption", "--cut", "--deck-spacing", "--measure"};
        if (!valued.contains(a)) return bad(a, QStringLiteral("unknown option"));
        if (i + 1 >= args.size()) return bad(a, QStringLiteral("a value is missing"));
        const QString v = args[++i];
        double number = 0;
        if (a == "-o") {
            o.Output = v;
        } else if (a == "--deck") {
            bool ok = false;
            const int deck = v.toInt(&ok);
            if (v == "busiest") {
                o.Busiest = true;
            } else if (v == "all") {
                o.Busiest = true;
                o.AllDecks = true;
            } else if (v.startsWith("all:")) {
                const int full = v.mid(4).toInt(&ok);
                if (!ok || full < 0)
                    return bad(a, QStringLiteral("expected all:N with a deck number N"));
                o.Busiest = false;
                o.AllDecks = true;
                o.Deck = full;
            } else if (!ok || deck < 0) {
                return bad(
                    a, QStringLiteral("expected a deck number, \"busiest\", \"all\" or \"all:N\""));
            } else {
                o.Deck = deck;
            }
        } else if (a == "--at" || a == "--from" || a == "--to") {
            if (!ReadTime(v, number))
                return bad(a, QStringLiteral("expected a time such as 450 or 7:30"));
            (a == "--at" ? o.At : a == "--from" ? o.From : o.To) = number;
        } else if (a == "--fps") {
            bool ok = false;
            o.Fps = v.toInt(&ok);
            if (!ok || o.Fps < 1 || o.Fps > 240)
                return bad(a, QStringLiteral("expected 1 to 240 frames per second"));
        } else if (a == "--speed") {
            if (!ReadNumber(v, o.Speed) || o.Speed <= 0 || o.Speed > 1000)
                return bad(a, QStringLiteral("expected above 0 and at most 1000"));
        } else if (a == "--size") {
            if (!ReadSize(v, o.Width, o.Height))
                return bad(a, QStringLiteral("expected WxH from 16x16 to 8192x8192"));
        } else if (a == "--camera") {
            o.CameraGiven = true;
            if (v == "top") {
                o.Camera = TCameraKind::Top;
            } else if (v == "oblique") {
                o.Camera = TCameraKind::Oblique;
            } else {
                const QStringList parts = v.split(',');
                double values[5] = {};
                bool ok = parts.size() == 5;
                for (int k = 0; ok && k < 5; ++k) ok = ReadNumber(parts[k], values[k]);
                if (!ok || values[2] <= 0)
                    return bad(
                        a, QStringLiteral("expected top, oblique or PHI,THETA,DISTANCE,PANX,PANY"));
                o.Camera = TCameraKind::Given;
                o.Phi = values[0], o.Theta = values[1], o.Distance = values[2];
                o.PanX = values[3], o.PanY = values[4];
            }
        } else if (a == "--overlay") {
            if (!QStringList{"none", "peak", "above", "usage", "los"}.contains(v))
                return bad(a, QStringLiteral("expected none, peak, above, usage or los"));
            o.Overlay = v;
        } else if (a == "--cut") {
            const int cut = QStringList{"all", "below", "only"}.indexOf(v);
            if (cut < 0) return bad(a, QStringLiteral("expected all, below or only"));
            o.Cut = cut;
        } else if (a == "--deck-spacing") {
            if (!ReadNumber(v, o.DeckSpacing) || o.DeckSpacing < 1 || o.DeckSpacing > 20)
                return bad(a, QStringLiteral("expected 1 to 20 block heights"));
        } else if (a == "--measure") {
            o.Measure = v;
        } else if (a == "--caption") {
            if (v != "band" && v != "none") return bad(a, QStringLiteral("expected band or none"));
            o.Caption = v == "band";
        }
    }
    if (inputs.size() != 1)
        return bad(QStringLiteral("FILE"), QStringLiteral("exactly one file expected"));
    o.Input = inputs.first();
    if (o.Output.isEmpty())
        return bad(QStringLiteral("-o"), QStringLiteral("the output is missing"));
    o.Kind = KindOf(o.Output);
    const QString lower = o.Output.toLower();
    if (o.Kind == TOutputKind::Series && !GoodPattern(o.Output))
        return bad(QStringLiteral("-o"),
                   QStringLiteral("a series needs one number field such as %06d and .png or .jpg"));
    if (o.Kind == TOutputKind::Picture && !lower.endsWith(".png") && !lower.endsWith(".jpg") &&
        !lower.endsWith(".jpeg"))
        return bad(QStringLiteral("-o"), QStringLiteral("expected a .mp4, .png or .jpg file"));
    if (o.Kind == TOutputKind::Picture && (o.From || o.To))
        return bad(o.From ? QStringLiteral("--from") : QStringLiteral("--to"),
                   QStringLiteral("only for a video or a series; use --at for a picture"));
    if (o.Kind != TOutputKind::Picture && o.At)
        return bad(QStringLiteral("--at"),
                   QStringLiteral("only for a picture; use --from and --to"));
    if (o.Kind == TOutputKind::Video && (o.Width % 2 != 0 || o.Height % 2 != 0))
        return bad(QStringLiteral("--size"),
                   QStringLiteral("a video needs an even width and height"));
    return true;
}

}  // namespace orlex::render
