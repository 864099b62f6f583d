#include "projectsession.h"

namespace orlex {

TProjectSession::~TProjectSession() {
    Release();
}

int TProjectSession::AddReader(THook cancelAndJoin) {
    const int ticket = NextTicket_++;
    Readers_.emplace_back(ticket, std::move(cancelAndJoin));
    return ticket;
}

void TProjectSession::RemoveReader(int ticket) {
    std::erase_if(Readers_, [ticket](const auto& entry) { return entry.first == ticket; });
}

TLogFile1& TProjectSession::Create(std::string levelName) {
    Release();
    Project_ = std::make_unique<TLogFile1>(std::move(levelName));
    Loaded_ = true;
    ++Generation_;
    return *Project_;
}

void TProjectSession::StartPlayback() {
    if (Project_ != nullptr) Playback.SetProject(Project_.get());
}

bool TProjectSession::Release() {
    if (Project_ == nullptr || Releasing_) return false;
    Releasing_ = true;
    // From here on, loops that started on this project stop.
    ++Generation_;

    Call(StopAnimation_);
    Playback.SetProject(nullptr);
    Call(ReleaseView_);
    // A hook may remove its own registration: walk a copy.
    const auto readers = Readers_;
    for (const auto& entry : readers) Call(entry.second);
    Project_.reset();

    Releasing_ = false;
    return true;
}

}  // namespace orlex
