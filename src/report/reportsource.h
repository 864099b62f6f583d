// What a report tells about the analysed project besides the analysis itself.
#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include "logfile.h"
#include "measure.h"

namespace orlex {

struct TAnalysisSource {
    QString ProjectFile;                 // the analysed file
    QDateTime FileDate;                  // its modification time
    QStringList Captions;                // deck captions
    const TLogFile1* Project = nullptr;  // its decks, for the plans of the report
    QDateTime AnalysisDate;              // when the analysis ran; invalid: now
    QString Version;                     // of the program; empty: this build's
    // The measurement lines and areas analysed, drawn on the plans; null for none.
    const TMeasureSet* Measures = nullptr;
};

}  // namespace orlex
