#include "playback.h"

#include <algorithm>
#include <thread>
#include <vector>

#include "loader.h"
#include "timenavigation.h"

namespace orlex {

namespace {
// Persons ahead whose track bytes a step asks for; their stepping fields are
// asked for twice as far ahead.
constexpr std::size_t kPrefetchAhead = 32;

// Steps every person by step(person), asking ahead for what the persons after it
// will need; returns how many persons step returned false for.
template <class TStepOne>
int StepAll(std::vector<TPersonData>& all, TStepOne step) {
    TPersonData* const persons = all.data();
    const std::size_t n = all.size();
    int saved = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (i + 2 * kPrefetchAhead < n) persons[i + 2 * kPrefetchAhead].PrefetchState();
        if (i + kPrefetchAhead < n) persons[i + kPrefetchAhead].PrefetchTrack();
        if (!step(persons[i])) ++saved;
    }
    return saved;
}
// Makes the checkpoints of every track, on as many threads as a load uses.
void IndexTracks(TLogFile1& project) {
    std::vector<TPersonData>& persons = project.Persons;
    constexpr std::size_t kPersonsPerThread = 2048;
    const std::size_t threads = std::min<std::size_t>(
        static_cast<std::size_t>(load::LoaderThreads(project.LoadOptions.Threads)),
        std::max<std::size_t>(1, persons.size() / kPersonsPerThread));
    const auto index = [&](std::size_t t) {
        const std::size_t end = persons.size() * (t + 1) / threads;
        for (std::size_t i = persons.size() * t / threads; i < end; ++i) persons[i].IndexTrack();
    };
    std::vector<std::jthread> helpers;
    for (std::size_t t = 1; t < threads; ++t) helpers.emplace_back(index, t);
    index(0);
}

}  // namespace

void TPlayback::SetProject(TLogFile1* project, bool indexNow) {
    Project_ = project;
    ++Generation_;
    // Checkpoints now, so that every seek costs the same.
    if (Project_ && indexNow) IndexTracks(*Project_);
    StepCounter = 0;
    TimeSeconds = 0;
    SavedCount = 0;
    MarkEntries();
}

void TPlayback::MarkEntries() {
    if (!Project_) return;
    const std::vector<int>& entries = Project_->EntrySteps;
    std::vector<TPersonData>& persons = Project_->Persons;
    const std::size_t n = std::min(entries.size(), persons.size());
    for (std::size_t i = 0; i < n; ++i) persons[i].Waiting = StepCounter < entries[i];
}

int TPlayback::StepsPerSecond() const {
    if (!Project_ || Project_->VMax <= 0) return 1;
    return Project_->VMax;
}

void TPlayback::StepForward() {
    if (!Project_) return;
    if (Host_) Host_->BeforeStep(StepCounter);
    ++StepCounter;
    const int step = StepCounter - 1;
    IMessages* const messages = Messages_;
    const int saved = StepAll(Project_->Persons, [step, messages](TPersonData& person) {
        return person.IsStepMoved(step, messages);
    });
    SavedCount = saved;
    MarkEntries();
    AfterStep();
}

void TPlayback::StepBackward() {
    if (!Project_ || StepCounter <= 0) return;
    if (Host_) Host_->BeforeStep(StepCounter);
    --StepCounter;
    const int step = StepCounter;
    IMessages* const messages = Messages_;
    const int saved = StepAll(Project_->Persons, [step, messages](TPersonData& person) {
        return person.IsStepMovedBack(step, messages);
    });
    SavedCount = saved;
    MarkEntries();
    AfterStep();
}

void TPlayback::UpdateTime() {
    TimeSeconds = ShownSecondsAt(StepCounter, Project_->VMax, Project_->TOff);
}

void TPlayback::AfterStep() {
    UpdateTime();
    if (!Host_) return;
    Host_->ShowSaved(SavedText(SavedCount));
    Host_->ShowTime(TimeText(TimeSeconds));
    Host_->ProcessEvents();
    Host_->Paint();
}

void TPlayback::ResetToStart() {
    if (!Project_) return;
    for (TPersonData& person : Project_->Persons)
        person.ResetToStart(Project_->XMax, Project_->YMax);
    StepCounter = 0;
    SavedCount = 0;
    MarkEntries();
    if (!Host_) return;
    Host_->ShowTime("Time: 0:00 min");
    Host_->ShowSaved("Saved: 0");
    Host_->Paint();
}

void TPlayback::SeekTo(int k) {
    if (!Project_) return;
    if (k < 0) k = 0;
    int saved = 0;
    for (TPersonData& person : Project_->Persons)
        if (!person.SeekTo(k, Project_->XMax, Project_->YMax)) ++saved;
    StepCounter = k;
    SavedCount = saved;
    MarkEntries();
    UpdateTime();
    if (!Host_) return;
    Host_->ShowSaved(SavedText(SavedCount));
    Host_->ShowTime(TimeText(TimeSeconds));
    Host_->Paint();
}

int TPlayback::LastStep() const {
    if (!Project_) return 0;
    int last = 0;
    for (const TPersonData& person : Project_->Persons)
        if (person.StepCount >= last)
            last = person.StepCount < kMaxStepCount ? person.StepCount + 1 : person.StepCount;
    return last;
}

void TPlayback::ForwardSecond() {
    if (!Project_ || SavedCount >= Project_->PersonCount()) return;
    const unsigned generation = Generation_;
    const int steps = StepsPerSecond();
    for (int i = 0; i < steps && Current(generation); ++i) StepForward();
}

void TPlayback::BackwardSecond() {
    if (!Project_ || StepCounter <= 0) return;
    const unsigned generation = Generation_;
    const int steps = StepsPerSecond();
    for (int i = 0; i < steps && Current(generation) && StepCounter > 0; ++i) StepBackward();
}

void TPlayback::StartAnimation(int maxSpeed) {
    Animating_ = true;
    if (!Host_) return;
    Host_->StartTimer(TimerInterval(maxSpeed));
    Host_->AnimationChanged(true);
}

void TPlayback::StopAnimation() {
    Animating_ = false;
    if (Host_) Host_->StopTimer();
    if (Project_) {
        // Run on to the next whole simulated second.
        const unsigned generation = Generation_;
        for (int left = StepsPerSecond(); left > 0 && Current(generation) && !AtWholeSecond();
             --left)
            AnimationStep();
    }
    if (Host_) Host_->AnimationChanged(false);
}

void TPlayback::RunCommand(int maxSpeed) {
    if (!Project_) return;
    if (Animating_)
        StopAnimation();
    else
        StartAnimation(maxSpeed);
}

void TPlayback::BackwardCommand() {
    if (!Project_) return;
    StopAnimation();
    BackwardSecond();
}

void TPlayback::AnimationStep() {
    if (!Project_) return;
    TimerTick();
    if (Host_) Host_->ProcessEvents();
}

bool TPlayback::TimerTick() {
    if (!Project_) return false;
    StepForward();
    if (Project_ && SavedCount == Project_->PersonCount()) {
        ResetToStart();
        return true;
    }
    return false;
}

bool TPlayback::AtWholeSecond() const {
    return StepCounter % StepsPerSecond() == 0;
}

int TPlayback::TimerInterval(int maxSpeed) const {
    return AnimationInterval(maxSpeed, Project_ ? Project_->VMax : 1);
}

std::string TPlayback::TimeText(int seconds) {
    // A negative time (a negative offset) is written as minus minutes and seconds.
    const int64_t t = seconds < 0 ? -int64_t{seconds} : seconds;
    const int64_t m = t / 60;
    const int64_t s = t % 60;
    return std::string("Time: ") + (seconds < 0 ? "-" : "") + std::to_string(m) +
           (s >= 10 ? ":" : ":0") + std::to_string(s) + " min";
}

std::string TPlayback::SavedText(int saved) {
    if (saved < 1000) return "Saved: " + std::to_string(saved);
    const int rest = saved % 1000;
    std::string three = std::to_string(rest);
    three.insert(0, 3 - three.size(), '0');
    return "Saved: " + std::to_string(saved / 1000) + "." + three;
}

}  // namespace orlex
