#include "framebuffer.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <type_traits>

namespace orlex {

struct TFramebuffer::TFunctions {
    PFNGLGENFRAMEBUFFERSPROC GenFramebuffers = nullptr;
    PFNGLDELETEFRAMEBUFFERSPROC DeleteFramebuffers = nullptr;
    PFNGLBINDFRAMEBUFFERPROC BindFramebuffer = nullptr;
    PFNGLGENRENDERBUFFERSPROC GenRenderbuffers = nullptr;
    PFNGLDELETERENDERBUFFERSPROC DeleteRenderbuffers = nullptr;
    PFNGLBINDRENDERBUFFERPROC BindRenderbuffer = nullptr;
    PFNGLRENDERBUFFERSTORAGEPROC RenderbufferStorage = nullptr;
    PFNGLFRAMEBUFFERRENDERBUFFERPROC FramebufferRenderbuffer = nullptr;
    PFNGLCHECKFRAMEBUFFERSTATUSPROC CheckFramebufferStatus = nullptr;
};

TFramebuffer::TFramebuffer(TLoader loader) : Loader_(std::move(loader)) {}

TFramebuffer::~TFramebuffer() {
    Release();
    delete F_;
}

bool TFramebuffer::Load() {
    if (F_) return true;
    auto f = std::make_unique<TFunctions>();
    auto get = [this](auto& fn, const char* name) {
        fn = reinterpret_cast<std::remove_reference_t<decltype(fn)>>(Loader_ ? Loader_(name)
                                                                             : nullptr);
        return fn != nullptr;
    };
    const bool ok = get(f->GenFramebuffers, "glGenFramebuffers") &&
                    get(f->DeleteFramebuffers, "glDeleteFramebuffers") &&
                    get(f->BindFramebuffer, "glBindFramebuffer") &&
                    get(f->GenRenderbuffers, "glGenRenderbuffers") &&
                    get(f->DeleteRenderbuffers, "glDeleteRenderbuffers") &&
                    get(f->BindRenderbuffer, "glBindRenderbuffer") &&
                    get(f->RenderbufferStorage, "glRenderbufferStorage") &&
                    get(f->FramebufferRenderbuffer, "glFramebufferRenderbuffer") &&
                    get(f->CheckFramebufferStatus, "glCheckFramebufferStatus");
    if (!ok) {
        Problem_ = "the OpenGL driver has no framebuffer objects";
        return false;
    }
    F_ = f.release();
    return true;
}

bool TFramebuffer::Create(int w, int h) {
    Problem_.clear();
    if (!Load()) return false;
    Release();
    GLint maxSide = 0;
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &maxSide);
    if (w < 1 || h < 1 || w > maxSide || h > maxSide) {
        Problem_ = "a frame of " + std::to_string(w) + " x " + std::to_string(h) +
                   " pixels cannot be drawn (at most " + std::to_string(maxSide) + " a side)";
        return false;
    }
    F_->GenFramebuffers(1, &Framebuffer_);
    F_->BindFramebuffer(GL_FRAMEBUFFER, Framebuffer_);
    F_->GenRenderbuffers(1, &Color_);
    F_->BindRenderbuffer(GL_RENDERBUFFER, Color_);
    F_->RenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, w, h);
    F_->FramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, Color_);
    F_->GenRenderbuffers(1, &Depth_);
    F_->BindRenderbuffer(GL_RENDERBUFFER, Depth_);
    F_->RenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, w, h);
    F_->FramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, Depth_);
    F_->BindRenderbuffer(GL_RENDERBUFFER, 0);
    if (F_->CheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE ||
        glGetError() != GL_NO_ERROR) {
        Release();
        Problem_ = "the framebuffer of " + std::to_string(w) + " x " + std::to_string(h) +
                   " pixels could not be made (out of memory?)";
        return false;
    }
    Width_ = w;
    Height_ = h;
    return true;
}

void TFramebuffer::Bind() {
    if (F_ && Framebuffer_) F_->BindFramebuffer(GL_FRAMEBUFFER, Framebuffer_);
}

void TFramebuffer::Release() {
    if (!F_) return;
    F_->BindFramebuffer(GL_FRAMEBUFFER, 0);
    if (Color_) F_->DeleteRenderbuffers(1, &Color_);
    if (Depth_) F_->DeleteRenderbuffers(1, &Depth_);
    if (Framebuffer_) F_->DeleteFramebuffers(1, &Framebuffer_);
    Color_ = Depth_ = Framebuffer_ = 0;
    Width_ = Height_ = 0;
}

bool TFramebuffer::ReadRgbBottomUp(std::vector<std::uint8_t>& rgb) const {
    if (!Framebuffer_) return false;
    rgb.resize(static_cast<std::size_t>(Width_) * 3 * static_cast<std::size_t>(Height_));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, Width_, Height_, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    return true;
}

TRgbaPixels TFramebuffer::Read() const {
    TRgbaPixels pixels;
    if (!Framebuffer_) return pixels;
    pixels.Width = Width_;
    pixels.Height = Height_;
    const std::size_t row = static_cast<std::size_t>(Width_) * 4;
    pixels.Data.resize(row * static_cast<std::size_t>(Height_));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, Width_, Height_, GL_RGBA, GL_UNSIGNED_BYTE, pixels.Data.data());
    // OpenGL's rows run from the bottom.
    std::vector<std::uint8_t> line(row);
    for (int y = 0; y < Height_ / 2; ++y) {
        std::uint8_t* a = pixels.Data.data() + static_cast<std::size_t>(y) * row;
        std::uint8_t* b = pixels.Data.data() + static_cast<std::size_t>(Height_ - 1 - y) * row;
        std::memcpy(line.data(), a, row);
        std::memcpy(a, b, row);
        std::memcpy(b, line.data(), row);
    }
    return pixels;
}

}  // namespace orlex
