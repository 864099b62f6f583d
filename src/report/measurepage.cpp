#include "measurepage.h"

#include <QPolygonF>
#include <algorithm>

#include "summary.h"

namespace orlex::report {

namespace {

const QColor kExitColour(0, 140, 60);
const QColor kLineColour(200, 30, 30);
const QColor kAreaColour(30, 80, 200);

QString Fixed(double value, int decimals) {
    return QString::number(value, 'f', decimals);
}
QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

QString FlowText(double peak, double specific) {
    QString text =
        QStringLiteral("peak flow %1 persons/s, peak specific flow %2 persons/(m\u00b7s)")
            .arg(Fixed(peak, 2), Fixed(specific, 2));
    if (specific > kMaxSpecificFlow)
        text += QStringLiteral(
                    " \u2013 above %1 persons/(m\u00b7s), the guidelines' largest "
                    "specific flow of a door: the simulation may be too optimistic here")
                    .arg(kMaxSpecificFlow);
    return text;
}

// A label with its left end at `at` (vertically centred) and a white halo, so that it
// reads over the plan's colours.
void Halo(TCanvas& canvas, const QPointF& at, const QString& text, const QFont& font,
          const QColor& colour, double halo) {
    for (const QPointF d : {QPointF(-1, -1), QPointF(0, -1), QPointF(1, -1), QPointF(-1, 0),
                            QPointF(1, 0), QPointF(-1, 1), QPointF(0, 1), QPointF(1, 1)}) {
        canvas.Label(text, font, at.x() + d.x() * halo, at.y() + d.y() * halo, Qt::AlignLeft,
                     Qt::white);
    }
    canvas.Label(text, font, at.x(), at.y(), Qt::AlignLeft, colour);
}

}  // namespace

QString ExitLabel(std::size_t i) {
    return QStringLiteral("E%1").arg(i + 1);
}

void AddMeasureRows(TFlow& flow, const TAnalysisResult& r, const std::vector<std::string>& names) {
    if (!r.HasMeasurements) return;
    // Room for an exit's name on two lines.
    const double nameWidth = flow.NameWidth();
    flow.SetNameWidth(std::max(nameWidth, 80.0));
    flow.Heading(QStringLiteral("Exits (where saved persons' tracks end)"));
    if (r.Exits.empty()) flow.Row(QStringLiteral("Exits"), QStringLiteral("none"));
    const std::vector<std::size_t> listed = BusiestExits(r.Exits, kMaxLabelledExits);
    for (const std::size_t i : listed) {
        const TExitResult& e = r.Exits[i];
        flow.Row(
            ExitLabel(i) + QStringLiteral(" ") + Q(e.Name),
            QStringLiteral("%1; width %2 m; first %3, last %4; %5")
                .arg(e.Persons() == 1 ? QStringLiteral("1 person")
                                      : QStringLiteral("%1 persons").arg(e.Persons()))
                .arg(Fixed(e.Width, 2))
                .arg(
                    Q(SecondsText(e.Times.empty() ? std::nullopt : std::optional(e.Times.front()))))
                .arg(Q(SecondsText(e.Times.empty() ? std::nullopt : std::optional(e.Times.back()))))
                .arg(FlowText(e.PeakFlow, e.PeakSpecificFlow)));
    }
    if (listed.size() < r.Exits.size()) {
        int persons = 0;
        for (const TExitResult& e : r.Exits) persons += e.Persons();
        for (const std::size_t i : listed) persons -= r.Exits[i].Persons();
        flow.Row(QStringLiteral("Other exits"),
                 QStringLiteral("%1 more, with %2 persons together; every exit is in the "
                                "analysis's CSV and JSON export")
                     .arg(r.Exits.size() - listed.size())
                     .arg(persons));
    }
    for (int z = 0; z < static_cast<int>(r.LastOccupiedSteps.size()); ++z) {
        const std::optional<double> at = r.ClearTime(z);
        flow.Row(QStringLiteral("%1 clear at").arg(Q(DeckLabel(names, z))),
                 at ? Q(SecondsText(at)) : QStringLiteral("never occupied"));
    }
    if (!r.Lines.empty()) flow.Heading(QStringLiteral("Measurement lines"));
    for (const TLineResult& l : r.Lines) {
        flow.Row(QStringLiteral("%1 (%2)").arg(Q(l.Name), Q(DeckLabel(names, l.Deck))),
                 QStringLiteral("%1 persons crossed; length %2 m; %3")
                     .arg(l.CrossingTimes.size())
                     .arg(Fixed(l.Length, 2))
                     .arg(FlowText(l.PeakFlow, l.PeakSpecificFlow)));
    }
    if (!r.Areas.empty()) flow.Heading(QStringLiteral("Measurement areas"));
    for (const TAreaResult& a : r.Areas) {
        int peak = 0;
        std::size_t at = 0;
        double speedSum = 0;
        int speeds = 0;
        for (std::size_t i = 0; i < a.Count.size(); ++i) {
            if (a.Count[i] > peak) peak = a.Count[i], at = i;
            if (i < a.Speed.size() && a.Speed[i]) speedSum += *a.Speed[i], ++speeds;
        }
        QString text = QStringLiteral("%1 m\u00b2; peak density %2 persons/m\u00b2")
                           .arg(Fixed(a.Area, 2))
                           .arg(Fixed(a.Area > 0 ? peak / a.Area : 0, 2));
        if (peak > 0)
            text += QStringLiteral(" at %1").arg(
                Q(SecondsText(r.TimeOfStep(static_cast<int64_t>(at) * a.EveryStep))));
        text += speeds > 0 ? QStringLiteral("; mean speed %1 m/s while occupied")
                                 .arg(Fixed(speedSum / speeds, 2))
                           : QStringLiteral("; no speed measured");
        flow.Row(QStringLiteral("%1 (%2)").arg(Q(a.Name), Q(DeckLabel(names, a.Deck))), text);
    }
    flow.SetNameWidth(nameWidth);
    flow.Note(
        QStringLiteral(
            "Flows are counted in a sliding window of %1 s; the specific flow is the flow per "
            "metre "
            "of an exit's width (across the persons' main direction) or of a line's length. A line "
            "counts each person once, where the segment between its cell centres at two "
            "consecutive "
            "steps first crosses it. An area's density is the persons inside divided by its area; "
            "their speed comes from their positions a second before and after. The plans mark the "
            "exits (E1, E2, ...), lines and areas.")
            .arg(r.Settings.FlowWindow));
}

void DrawPlanMarks(TCanvas& canvas, const TPlanMarks& marks, int z,
                   const std::function<QPointF(double, double)>& at, double cell) {
    if (!marks.Result || !marks.Result->HasMeasurements) return;
    QPainter& p = canvas.Painter();
    p.save();
    const QFont font = canvas.Font(7, true);
    const double halo = canvas.Mm(0.25);
    // Exits: their cells filled and outlined, the label beside the first.
    const std::vector<TExitResult>& exits = marks.Result->Exits;
    p.setPen(QPen(kExitColour, std::min(canvas.Mm(0.2), cell * 0.1)));
    p.setBrush(QColor(kExitColour.red(), kExitColour.green(), kExitColour.blue(), 150));
    for (const TExitResult& e : exits) {
        if (e.Deck != z) continue;
        for (const TCellPlace& c : e.Cells)
            p.drawRect(QRectF(at(c.Column, c.Row), at(c.Column + 1, c.Row + 1)));
    }
    // Labels for the exits the report lists.
    for (const std::size_t i : BusiestExits(exits, kMaxLabelledExits)) {
        const TExitResult& e = exits[i];
        if (e.Deck != z || e.Cells.empty()) continue;
        const TCellPlace& first = e.Cells.front();
        Halo(canvas, at(first.Column + 1, first.Row) + QPointF(canvas.Mm(0.5), -canvas.Mm(0.5)),
             ExitLabel(i), font, kExitColour.darker(130), halo);
    }
    if (marks.Set) {
        const TMetreFrame& f = marks.Frame;
        const auto point = [&](const TMetrePoint& m) {
            return at(f.Column(m.X) + 0.5, f.Row(m.Y) + 0.5);
        };
        for (const TMeasureArea& a : marks.Set->Areas) {
            if (a.Deck != z || a.Polygon.size() < 3) continue;
            QPolygonF polygon;
            for (const TMetrePoint& m : a.Polygon) polygon << point(m);
            p.setPen(QPen(kAreaColour, canvas.Mm(0.35)));
            p.setBrush(QColor(kAreaColour.red(), kAreaColour.green(), kAreaColour.blue(), 50));
            p.drawPolygon(polygon);
            const QRectF box = polygon.boundingRect();
            Halo(canvas, box.topLeft() + QPointF(canvas.Mm(0.8), canvas.Mm(3)), Q(a.Name), font,
                 kAreaColour, halo);
        }
        for (const TMeasureLine& l : marks.Set->Lines) {
            if (l.Deck != z) continue;
            const QPointF a = point(l.From), b = point(l.To);
            p.setPen(QPen(kLineColour, canvas.Mm(0.6), Qt::SolidLine, Qt::RoundCap));
            p.drawLine(a, b);
            Halo(canvas, (a.x() > b.x() ? a : b) + QPointF(canvas.Mm(1), canvas.Mm(1)), Q(l.Name),
                 font, kLineColour, halo);
        }
    }
    p.restore();
}

}  // namespace orlex::report
