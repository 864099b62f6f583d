// PeTrack and PedPy trajectory text: rows "id frame x y [z ...]" with "#" comments.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "source.h"
#include "trajectories.h"

namespace orlex::import {

enum class TLengthUnit { Unknown, Metre, Centimetre };

struct TTextOptions {
    double Fps = 0;                           // 0: from the file's "framerate" comment
    TLengthUnit Unit = TLengthUnit::Unknown;  // Unknown: from the file's comments
};

// The frame rate a comment line gives (its first number after "framerate"), or 0.
double FrameRateOfComment(std::string_view line);
// The length unit a comment line names ("x/cm", "in cm", "x/m", "in m").
TLengthUnit UnitOfComment(std::string_view line);

// Reads text already in memory; name is used in messages. Throws TImportError.
TTrajectorySet ParsePeTrackText(std::string_view text, const std::string& name,
                                const TTextOptions& options);
// Reads a file (mapped into memory). Throws TImportError.
TTrajectorySet ReadPeTrackFile(const std::string& path, const TTextOptions& options);

class TMappedFile;

// A file read person by person where its rows are sorted by person then frame (each
// person's rows together, as PeTrack writes them), so that only one person's
// samples are held at a time; other files are read whole and sorted in memory.
class TPeTrackFile final : public IPersonSource {
public:
    // Checks every row (and whether they are sorted) and makes the summary, with the
    // floors from z where asked. Throws TImportError.
    TPeTrackFile(const std::string& path, const TTextOptions& options, bool floorsFromZ = false);
    ~TPeTrackFile() override;
    TPeTrackFile(const TPeTrackFile&) = delete;
    TPeTrackFile& operator=(const TPeTrackFile&) = delete;

    // Whether the file is read person by person.
    bool Streamed() const { return Whole_ == nullptr; }

    const std::string& Name() const override { return Name_; }
    double Fps() const override;
    const std::vector<std::string>& WalkableWkt() const override;
    const std::vector<std::string>& Warnings() const override;
    void Rewind() override;
    bool Next(TPersonTrack& person) override;
    const TTrajectorySummary* Summarized(bool floorsFromZ) const override;

private:
    struct TCursor;
    std::string Name_;
    std::unique_ptr<TMappedFile> File_;
    double Fps_ = 0;
    double Scale_ = 1;
    std::vector<std::string> Warnings_;
    std::vector<std::string> NoWkt_;
    bool FloorsFromZ_ = false;
    std::unique_ptr<TTrajectorySummary> Summary_;
    std::unique_ptr<TCursor> Cursor_;
    std::unique_ptr<TTrajectorySet> Whole_;
    std::unique_ptr<TSetSource> WholeSource_;
};

}  // namespace orlex::import
