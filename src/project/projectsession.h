// The lifetime of one loaded project: the project itself, the playback on it, and
// the one order in which everything that borrows it lets go. Toolkit-free; the
// main window holds one session and reads its project through it.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "logfile.h"
#include "playback.h"

namespace orlex {

class TProjectSession {
public:
    using THook = std::function<void()>;

    TProjectSession() = default;
    // Releases the project as Release does.
    ~TProjectSession();
    TProjectSession(const TProjectSession&) = delete;
    TProjectSession& operator=(const TProjectSession&) = delete;

    // The stepper on the project. It is put on the project by StartPlayback and
    // taken off it first thing by Release.
    TPlayback Playback;

    // The borrowers, in the order Release calls them. Hooks must not throw; a null
    // hook is skipped.
    // 1. Stops whatever drives the playback (the animation timer).
    void SetStopAnimation(THook hook) { StopAnimation_ = std::move(hook); }
    // 2. Makes the view drop the arrays it borrowed from the project.
    void SetReleaseView(THook hook) { ReleaseView_ = std::move(hook); }
    // 3. A worker that reads the project: the hook cancels it and waits until it has
    // ended. Registrations stay in place over releases, so that one worker owner
    // registers once. Returns the ticket that RemoveReader takes.
    int AddReader(THook cancelAndJoin);
    void RemoveReader(int ticket);
    int ReaderCount() const { return static_cast<int>(Readers_.size()); }

    // Releases the current project, then creates an empty one with the level word
    // ("Deck"). The playback stays off it until StartPlayback.
    TLogFile1& Create(std::string levelName);
    // Puts the playback on the project, counters at 0. Nothing without a project.
    void StartPlayback();
    // Lets go of the project in the one order: the animation stops and the playback
    // leaves it, the view drops its arrays, the readers are cancelled and joined,
    // and the project is destroyed. Without a project, or while a release is under
    // way, nothing happens. Returns true when a project was released.
    bool Release();

    TLogFile1* Project() const { return Project_.get(); }
    // A project has been created; stays true once set, also after a release.
    bool Loaded() const { return Loaded_; }

    // Changes whenever a project is created or released, so that a loop of steps
    // that lets events run can tell that the project it started on is gone.
    unsigned Generation() const { return Generation_; }
    // True while the project of that generation is still in place.
    bool IsCurrent(unsigned generation) const {
        return Project_ != nullptr && generation == Generation_;
    }

    // Read-only views, for an owner that shows these under names of its own.
    const std::unique_ptr<TLogFile1>& ProjectRef() const { return Project_; }
    const bool& LoadedRef() const { return Loaded_; }

private:
    static void Call(const THook& hook) {
        if (hook) hook();
    }

    std::unique_ptr<TLogFile1> Project_;
    bool Loaded_ = false;
    bool Releasing_ = false;
    unsigned Generation_ = 0;
    THook StopAnimation_;
    THook ReleaseView_;
    std::vector<std::pair<int, THook>> Readers_;
    int NextTicket_ = 1;
};

}  // namespace orlex
