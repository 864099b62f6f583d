// The movement data read by several threads: the file is read in windows, each
// window is cut into chunks at the likely ends of tracks, and the threads take the
// chunks one at a time and read their tracks. A cut is only a guess (an "S" can
// also be the direction of a step); the loader's thread hands the tracks over in
// file order and keeps a chunk only when the chunk before it stopped exactly where
// it starts.
#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

#include "loader.h"

#if defined(__linux__)
#include <sched.h>
#endif

namespace orlex::load {

namespace {

// Bytes that a window must still hold after a track for the reading of the track to
// be the same as in the whole file (the longest look ahead is that of a section tag).
constexpr std::ptrdiff_t kLookAhead = 32;
// Wrong guesses of a chunk start after which the rest is read by the loader's thread.
constexpr int kMaxMisses = 2;
constexpr int kMaxThreads = 16;
// Tracks that one chunk reads at most: bounds the memory of a window of tiny tracks.
constexpr int kMaxChunkTracks = 4096;
// Chunks of a window for every thread, which take them one at a time: a thread
// that is slowed down (by the read ahead, or by other programs) holds up little.
constexpr int kChunksPerThread = 4;

struct TChunkTrack {
    TTrackRead Read;
    const char* End = nullptr;  // where the reading of the track stopped
    TPersonData Person;         // the track, until the index of its person is known
};

struct TChunk {
    const char* Begin = nullptr;
    const char* End = nullptr;  // the start of the next chunk
    std::vector<TChunkTrack> Tracks;
    bool Full = false;  // stopped at its most tracks, not at its end
    std::exception_ptr Error;
};

// Reads the tracks of chunk, from its start until one stops at or after its end or
// close to the end of the window [chunk.Begin, windowEnd). toEnd: the window holds
// the rest of the file.
void ReadChunk(TChunk& chunk, const char* windowEnd, bool toEnd, int maxTracks,
               TTrackArena& arena) {
    try {
        TTextReader in;
        in.OpenMemory(chunk.Begin, static_cast<std::size_t>(windowEnd - chunk.Begin));
        std::vector<uint8_t> bytes;
        const char* at = chunk.Begin;
        maxTracks = std::min(maxTracks, kMaxChunkTracks);
        while (at < chunk.End) {
            if (static_cast<int>(chunk.Tracks.size()) >= maxTracks) {
                chunk.Full = true;
                break;
            }
            TTrackRead read;
            ReadTrack(in, bytes, kMaxStepCount, read);
            const char* end = in.Cursor();
            // Near the window's end, the rest of the file could change what was read.
            if (!toEnd && (read.End == TTrackRead::TEnd::FileEnd || windowEnd - end < kLookAhead))
                break;
            TChunkTrack& track = chunk.Tracks.emplace_back();
            track.Read = read;
            track.End = end;
            if (read.Steps > 0)
                track.Person.AppendEncoded(bytes, static_cast<int>(read.Steps), read.LevelDelta,
                                           &arena);
            if (read.End != TTrackRead::TEnd::Stop) break;
            at = end;
        }
    } catch (...) {
        chunk.Error = std::current_exception();
    }
}

// The position after the first "S" in [from, to) that follows a plain step and
// precedes white space: most likely the end of a track.
const char* FindTrackEnd(const char* from, const char* to) {
    const char* first = from;
    while (from < to) {
        const void* hit = std::memchr(from, 'S', static_cast<std::size_t>(to - from));
        if (!hit) return nullptr;
        const char* s = static_cast<const char*>(hit);
        if (s > first && s[-1] >= '0' && s[-1] <= '8' && s + 1 < to &&
            TTextReader::IsSpace(static_cast<unsigned char>(s[1])))
            return s + 1;
        from = s + 1;
    }
    return nullptr;
}

// Cuts the window [begin, end) into up to parts chunks of about the same size;
// returns how many.
int SplitWindow(const char* begin, const char* end, int parts, std::vector<TChunk>& chunks) {
    int used = 1;
    chunks[0].Begin = begin;
    if (end - begin <= 2 * kLookAhead) parts = 1;
    for (int k = 1; k < parts; ++k) {
        const char* from = begin + (end - begin) * k / parts;
        from = std::max(from, chunks[static_cast<std::size_t>(used - 1)].Begin + 1);
        const char* start = FindTrackEnd(from, end - kLookAhead);
        if (!start) break;
        chunks[static_cast<std::size_t>(used - 1)].End = start;
        chunks[static_cast<std::size_t>(used)].Begin = start;
        ++used;
    }
    chunks[static_cast<std::size_t>(used - 1)].End = end;
    for (int k = 0; k < used; ++k) {
        chunks[static_cast<std::size_t>(k)].Tracks.clear();
        chunks[static_cast<std::size_t>(k)].Full = false;
        chunks[static_cast<std::size_t>(k)].Error = nullptr;
    }
    return used;
}

// Helper threads for the whole movement data: each window, every helper runs the
// window's job once with its number (1 to helpers) while the loader's thread runs
// it with 0; Run returns when all have finished.
class TCrew {
public:
    explicit TCrew(int helpers) : Helpers_(helpers) {
        for (int k = 1; k <= helpers; ++k) Threads_.emplace_back([this, k] { Work(k); });
    }
    ~TCrew() {
        {
            std::lock_guard lock(Mutex_);
            Stop_ = true;
        }
        Wake_.notify_all();
        // The threads are joined as Threads_ goes, before the rest.
    }
    TCrew(const TCrew&) = delete;
    TCrew& operator=(const TCrew&) = delete;

    void Run(const std::function<void(int)>& job) {
        {
            std::lock_guard lock(Mutex_);
            Job_ = &job;
            Left_ = Helpers_;
            Error_ = nullptr;
            ++Round_;
        }
        Wake_.notify_all();
        std::exception_ptr error;
        try {
            job(0);
        } catch (...) {
            error = std::current_exception();
        }
        std::unique_lock lock(Mutex_);
        Done_.wait(lock, [this] { return Left_ == 0; });
        Job_ = nullptr;
        if (!error) error = Error_;
        if (error) std::rethrow_exception(error);
    }

private:
    void Work(int k) {
        uint64_t seen = 0;
        for (;;) {
            const std::function<void(int)>* job = nullptr;
            {
                std::unique_lock lock(Mutex_);
                Wake_.wait(lock, [&] { return Stop_ || Round_ != seen; });
                if (Stop_) return;
                seen = Round_;
                job = Job_;
            }
            std::exception_ptr error;
            try {
                (*job)(k);
            } catch (...) {
                error = std::current_exception();
            }
            std::lock_guard lock(Mutex_);
            if (error && !Error_) Error_ = error;
            if (--Left_ == 0) Done_.notify_one();
        }
    }

    const int Helpers_;
    std::mutex Mutex_;
    std::condition_variable Wake_;
    std::condition_variable Done_;
    const std::function<void(int)>* Job_ = nullptr;
    uint64_t Round_ = 0;
    int Left_ = 0;
    bool Stop_ = false;
    std::exception_ptr Error_;
    std::vector<std::jthread> Threads_;  // last: joined first
};

// Gives person the track read onto parsed; the person keeps its start values.
void TakeTrack(TPersonData& person, TPersonData& parsed) {
    parsed.Tag = person.Tag;
    parsed.StartX = person.StartX;
    parsed.StartY = person.StartY;
    parsed.StartLevel = person.StartLevel;
    parsed.StartHeading = person.StartHeading;
    parsed.X = person.X;
    parsed.Y = person.Y;
    parsed.Level = person.Level;
    parsed.Heading = person.Heading;
    person = std::move(parsed);
}

}  // namespace

int LoaderThreads(int requested) {
    if (requested > 0) return std::min(requested, kMaxThreads);
#if defined(__linux__)
    // The cores this process may run on (taskset), not all the machine has.
    cpu_set_t set;
    if (sched_getaffinity(0, sizeof set, &set) == 0) {
        const int n = CPU_COUNT(&set);
        if (n > 0) return std::min(n, kMaxThreads);
    }
#endif
    const unsigned n = std::thread::hardware_concurrency();
    return n > 0 ? std::min(static_cast<int>(n), kMaxThreads) : 1;
}

bool TLoader::ReadMovementInParallel(int threads) {
    const int count = P.PersonCount();
    const std::size_t windowBytes =
        std::max<std::size_t>(P.LoadOptions.WindowBytes, std::size_t{4} * kLookAhead);
    if (P.HelperArenas.size() < static_cast<std::size_t>(threads - 1))
        P.HelperArenas.resize(static_cast<std::size_t>(threads - 1));
    std::vector<TChunk> chunks(static_cast<std::size_t>(threads * kChunksPerThread));
    TCrew crew(threads - 1);
    int misses = 0;
    int i = 0;
    bool result = true;
    while (i < count) {
        bool toEnd = false;
        const std::size_t size = In.Window(windowBytes, toEnd);
        const char* begin = In.Cursor();
        const char* end = begin + size;
        const int used = SplitWindow(
            begin, end, misses < kMaxMisses ? static_cast<int>(chunks.size()) : 1, chunks);
        // Task 0 reads the next window ahead, task t > 0 reads chunk t - 1.
        std::atomic<int> next{0};
        crew.Run([&](int k) {
            TTrackArena& arena =
                k == 0 ? P.TrackArena : P.HelperArenas[static_cast<std::size_t>(k - 1)];
            for (int t = next++; t <= used; t = next++) {
                if (t == 0) {
                    if (!toEnd) In.ReadAhead(windowBytes);
                } else {
                    ReadChunk(chunks[static_cast<std::size_t>(t - 1)], end, toEnd, count - i,
                              arena);
                }
            }
        });
        for (int k = 0; k < used; ++k)
            if (chunks[static_cast<std::size_t>(k)].Error)
                std::rethrow_exception(chunks[static_cast<std::size_t>(k)].Error);
        // The tracks in file order, as long as each chunk starts where the last stopped.
        const char* at = begin;
        for (int k = 0; k < used && i < count; ++k) {
            TChunk& chunk = chunks[static_cast<std::size_t>(k)];
            if (chunk.Begin != at) {
                // A wrong guess, unless the chunk before had read all it may.
                if (!chunks[static_cast<std::size_t>(k - 1)].Full) ++misses;
                break;
            }
            for (TChunkTrack& track : chunk.Tracks) {
                if (i >= count) break;
                TakeTrack(P.Persons[static_cast<std::size_t>(i)], track.Person);
                at = track.End;
                In.SetCursor(at);
                if (FinishTrack(i, track.Read, result)) return result;
                ++i;
            }
        }
        In.SetCursor(at);
        if (at == begin && i < count) {
            // No track is certain within the window: this one is read from the file.
            TPersonData& person = P.Persons[static_cast<std::size_t>(i)];
            TTrackRead read;
            ReadTrack(In, Scratch, kMaxStepCount, read);
            if (read.Steps > 0)
                person.AppendEncoded(Scratch, static_cast<int>(read.Steps), read.LevelDelta,
                                     &P.TrackArena);
            if (FinishTrack(i, read, result)) return result;
            ++i;
        }
    }
    return true;
}

}  // namespace orlex::load
