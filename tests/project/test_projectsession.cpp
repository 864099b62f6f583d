// The project session: the order in which a project is let go, the generation
// that loops of steps check, and releases that find nothing to do.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "projects.h"
#include "projectsession.h"

using namespace orlex::test;

namespace orlex {
namespace {

// What one release step saw of the session when it ran.
struct TSeen {
    std::string Step;
    bool PlaybackOnProject;
    bool ProjectAlive;
    bool StillCurrent = false;  // the generation from before the release
    bool operator==(const TSeen&) const = default;
};

std::ostream& operator<<(std::ostream& out, const TSeen& seen) {
    return out << seen.Step << " playback:" << seen.PlaybackOnProject
               << " alive:" << seen.ProjectAlive << " current:" << seen.StillCurrent;
}

// A session whose every release step records what it saw.
class TWatchedSession {
public:
    // Declared before the session, so that it outlives the release that the
    // session's destructor makes.
    std::vector<TSeen> Seen;
    TProjectSession Session;

    explicit TWatchedSession(int readers = 2) {
        Session.SetStopAnimation([this] { Note("animation"); });
        Session.SetReleaseView([this] { Note("view"); });
        for (int r = 1; r <= readers; ++r) {
            Session.AddReader([this, r] { Note("reader " + std::to_string(r)); });
        }
    }
    void Note(const std::string& step) {
        Seen.push_back({step, Session.Playback.Project() != nullptr, Session.Project() != nullptr,
                        Session.IsCurrent(Before)});
    }
    unsigned Before = 0;  // the generation when the release began
};

TEST(ProjectSession, ReleaseOrder) {
    TWatchedSession w;
    w.Session.Create("Deck");
    w.Session.StartPlayback();
    w.Before = w.Session.Generation();
    ASSERT_TRUE(w.Session.Release());
    // The timer stops while the playback still stands on the project; the view lets
    // go after the playback; the readers end while the project still lives. A loop
    // of steps that one of them lets run already sees that its project is gone.
    const std::vector<TSeen> expected = {
        {"animation", true, true},
        {"view", false, true},
        {"reader 1", false, true},
        {"reader 2", false, true},
    };
    EXPECT_EQ(w.Seen, expected);
    EXPECT_EQ(w.Session.Project(), nullptr);
    EXPECT_EQ(w.Session.Playback.Project(), nullptr);
}

TEST(ProjectSession, ReleasesThatFindNothingToDo) {
    struct Case {
        const char* name;
        bool create;
        int releases;
        int hookRuns;
    } cases[] = {
        {"nothing loaded", false, 1, 0},
        {"released twice", true, 2, 4},
        {"released three times", true, 3, 4},
    };
    for (const Case& c : cases) {
        TWatchedSession w;
        if (c.create) w.Session.Create("Deck");
        int released = 0;
        for (int i = 0; i < c.releases; ++i) released += w.Session.Release() ? 1 : 0;
        EXPECT_EQ(released, c.create ? 1 : 0) << c.name;
        EXPECT_EQ(static_cast<int>(w.Seen.size()), c.hookRuns) << c.name;
    }
}

TEST(ProjectSession, ReleaseFromInsideAReleaseStepDoesNothing) {
    TProjectSession session;
    int views = 0;
    bool nested = true;
    session.SetStopAnimation([&] { nested = session.Release(); });
    session.SetReleaseView([&] { ++views; });
    session.Create("Deck");
    EXPECT_TRUE(session.Release());
    EXPECT_FALSE(nested);
    EXPECT_EQ(views, 1);
    EXPECT_EQ(session.Project(), nullptr);
}

TEST(ProjectSession, DestructionReleases) {
    std::vector<std::string> steps;
    TLogFile1* seenProject = nullptr;
    {
        TProjectSession session;
        session.SetStopAnimation([&] { steps.push_back("animation"); });
        session.SetReleaseView([&] { steps.push_back("view"); });
        session.AddReader([&] {
            steps.push_back("reader");
            seenProject = session.Project();
        });
        session.Create("Deck");
        session.StartPlayback();
    }
    EXPECT_EQ(steps, (std::vector<std::string>{"animation", "view", "reader"}));
    EXPECT_NE(seenProject, nullptr) << "the reader ends before the project goes";
}

TEST(ProjectSession, GenerationChangesWithEveryProject) {
    TProjectSession session;
    const unsigned start = session.Generation();
    EXPECT_FALSE(session.IsCurrent(start)) << "no project: nothing is current";

    session.Create("Deck");
    const unsigned first = session.Generation();
    EXPECT_NE(first, start);
    EXPECT_TRUE(session.IsCurrent(first));

    // A second project releases the first: both steps move the generation on.
    session.Create("Deck");
    const unsigned second = session.Generation();
    EXPECT_EQ(second, first + 2);
    EXPECT_FALSE(session.IsCurrent(first));
    EXPECT_TRUE(session.IsCurrent(second));

    session.Release();
    EXPECT_FALSE(session.IsCurrent(second));
    const unsigned released = session.Generation();
    session.Release();
    EXPECT_EQ(session.Generation(), released) << "a release of nothing changes nothing";
}

TEST(ProjectSession, LoadedStaysSetAfterARelease) {
    TProjectSession session;
    const bool& loaded = session.LoadedRef();
    const std::unique_ptr<TLogFile1>& project = session.ProjectRef();
    EXPECT_FALSE(loaded);
    EXPECT_EQ(project, nullptr);
    TLogFile1& created = session.Create("Level");
    EXPECT_TRUE(loaded);
    EXPECT_EQ(project.get(), &created);
    EXPECT_EQ(created.LevelName, "Level");
    session.Release();
    EXPECT_TRUE(session.Loaded());
    EXPECT_EQ(project, nullptr);
}

TEST(ProjectSession, PlaybackRunsOnTheProjectUntilTheRelease) {
    TProjectSession session;
    session.StartPlayback();
    EXPECT_EQ(session.Playback.Project(), nullptr) << "no project to play";

    TLogFile1& project = session.Create("Deck");
    TRecorder recorder;
    const std::string text = ProjectText({"A"}, 2, {"P9x0S"});
    ASSERT_TRUE(project.LoadFromMemory(text.data(), text.size(), recorder, recorder));
    EXPECT_EQ(session.Playback.Project(), nullptr) << "not before StartPlayback";
    session.Playback.StepCounter = 7;
    session.StartPlayback();
    EXPECT_EQ(session.Playback.Project(), &project);
    EXPECT_EQ(session.Playback.StepCounter, 0);
    for (int i = 0; i < 3; ++i) session.Playback.StepForward();
    EXPECT_EQ(session.Playback.StepCounter, 3);

    session.Release();
    EXPECT_EQ(session.Playback.Project(), nullptr);
    EXPECT_EQ(session.Playback.StepCounter, 0);
    session.Playback.StepForward();  // steps nothing: the project is gone
}

TEST(ProjectSession, ReadersStayRegisteredOverReleases) {
    TProjectSession session;
    std::vector<int> calls;
    const int a = session.AddReader([&] { calls.push_back(1); });
    int b = 0;
    // A reader that leaves once it has ended.
    b = session.AddReader([&] {
        calls.push_back(2);
        session.RemoveReader(b);
    });
    EXPECT_NE(a, b);
    EXPECT_EQ(session.ReaderCount(), 2);

    session.Create("Deck");
    session.Create("Deck");  // releases the first
    session.Release();
    EXPECT_EQ(calls, (std::vector<int>{1, 2, 1}));
    EXPECT_EQ(session.ReaderCount(), 1);

    session.RemoveReader(a);
    session.RemoveReader(a);  // a ticket that is gone is ignored
    session.Create("Deck");
    session.Release();
    EXPECT_EQ(calls.size(), 3U);
    EXPECT_EQ(session.ReaderCount(), 0);
}

}  // namespace
}  // namespace orlex
