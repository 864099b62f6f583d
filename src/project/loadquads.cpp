// The quad lists and default lights of the decks, made after the whole file is
// read. With several threads the decks are reduced at the same time; what each
// reduction tells its progress is kept and shown on the loader's thread, deck by
// deck, in the order of one thread.
#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

#include "loader.h"

namespace orlex::load {

namespace {

// Keeps the calls to a progress, to make them later on another.
class TProgressLog final : public IProgress {
public:
    void SetInfo(const std::string& text) override { Calls_.push_back({TKind::Info, 0, text}); }
    void SetPosition(int position) override { Calls_.push_back({TKind::Position, position, {}}); }
    void Show() override { Calls_.push_back({TKind::Show, 0, {}}); }
    void ProcessEvents() override { Calls_.push_back({TKind::Events, 0, {}}); }

    void ReplayTo(IProgress& progress) const {
        for (const TCall& call : Calls_) {
            switch (call.Kind) {
                case TKind::Info:
                    progress.SetInfo(call.Text);
                    break;
                case TKind::Position:
                    progress.SetPosition(call.Position);
                    break;
                case TKind::Show:
                    progress.Show();
                    break;
                case TKind::Events:
                    progress.ProcessEvents();
                    break;
            }
        }
    }

private:
    enum class TKind : uint8_t { Info, Position, Show, Events };
    struct TCall {
        TKind Kind;
        int Position;
        std::string Text;
    };
    std::vector<TCall> Calls_;
};

}  // namespace

void TLoader::BuildDecks() {
    const int decks = P.DeckCount();
    const int threads = std::min(LoaderThreads(P.LoadOptions.Threads), decks);
    auto label = [this](int i) {
        return "Creating quad-list for " + P.LevelName + ": " + std::to_string(i);
    };
    if (threads <= 1) {
        for (int i = 0; i < decks; ++i) {
            SetInfo(label(i));
            P.Decks[static_cast<std::size_t>(i)].BuildQuadList(P.XMax, P.YMax, Progress);
            P.Decks[static_cast<std::size_t>(i)].PlaceDefaultLights(P.XMax, P.YMax);
        }
        return;
    }
    std::vector<TProgressLog> logs(static_cast<std::size_t>(decks));
    std::vector<std::exception_ptr> errors(static_cast<std::size_t>(decks));
    std::vector<char> built(static_cast<std::size_t>(decks), 0);
    std::mutex mutex;
    std::condition_variable done;
    int next = 0;  // the first deck that no thread has taken
    // Builds deck d, then tells everyone; the lock is held on entry and on return.
    auto build = [&](std::unique_lock<std::mutex>& lock, int d) {
        lock.unlock();
        const auto at = static_cast<std::size_t>(d);
        try {
            P.Decks[at].BuildQuadList(P.XMax, P.YMax, logs[at]);
            P.Decks[at].PlaceDefaultLights(P.XMax, P.YMax);
        } catch (...) {
            errors[at] = std::current_exception();
        }
        lock.lock();
        built[at] = 1;
        done.notify_all();
    };
    auto help = [&] {
        std::unique_lock lock(mutex);
        while (next < decks) build(lock, next++);
    };
    {
        std::vector<std::jthread> helpers;
        for (int t = 1; t < threads; ++t) helpers.emplace_back(help);
        for (int i = 0; i < decks; ++i) {
            SetInfo(label(i));
            std::unique_lock lock(mutex);
            // This thread builds decks too while deck i is not ready.
            while (!built[static_cast<std::size_t>(i)]) {
                if (next < decks)
                    build(lock, next++);
                else
                    done.wait(lock);
            }
            lock.unlock();
            if (errors[static_cast<std::size_t>(i)]) break;
            logs[static_cast<std::size_t>(i)].ReplayTo(Progress);
        }
    }
    for (const std::exception_ptr& error : errors)
        if (error) std::rethrow_exception(error);
}

}  // namespace orlex::load
