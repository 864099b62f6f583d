// The command line of orlex-render: what to draw, from when to when, and where to.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "camera.h"
#include "convert.h"

namespace orlex::render {

enum class TOutputKind { Picture, Series, Video };
enum class TCameraKind { Top, Oblique, Given };

struct TRenderOptions {
    QString Input;
    QString Output;
    TOutputKind Kind = TOutputKind::Picture;
    int Deck = 0;
    bool Busiest = false;
    bool AllDecks =
        false;          // --deck all or all:N: every deck stacked, Deck (or the busiest) in full
    bool Plan = false;  // --plan: straight down, parallel projection
    int Cut = 0;        // --cut: 0 all, 1 this deck and below, 2 only this deck
    double DeckSpacing = 0;    // --deck-spacing: block heights between decks; 0 the default
    std::optional<double> At;  // --at, seconds as the viewer shows them
    std::optional<double> From;
    std::optional<double> To;
    int Fps = 25;
    double Speed = 5;
    int Width = 1280;
    int Height = 720;
    TCameraKind Camera = TCameraKind::Top;
    bool CameraGiven = false;  // without --camera all decks are seen from aslant
    double Phi = 0, Theta = 0, Distance = 0, PanX = 0, PanY = 0;  // TCameraKind::Given
    QString Overlay = "none";
    bool Caption = true;  // --caption band (time, deck, legend) or none
    bool Trails = false;
    bool Origin = true;
    // --measure: the measurement file drawn; empty: the one beside the project, if any.
    QString Measure;
    // How a file that is not a 3D log file is imported (--format, --geometry, ...; the
    // frame rate of a text file as --source-fps, --fps being the video's).
    import::TImportOptions Import;
};

// Reads the arguments (without the program name). False with error naming the
// option for a usage error; true with help set for --help.
bool ParseRenderOptions(const QStringList& args, TRenderOptions& options, QString& error,
                        bool& help);

QString RenderUsage();

}  // namespace orlex::render
