// A desktop OpenGL context (compatibility profile) without any window system:
// Mesa's surfaceless EGL platform. It has no default framebuffer; draw into a
// TFramebuffer.
#pragma once

#include <string>

namespace orlex {

class TEglContext {
public:
    TEglContext() = default;
    ~TEglContext();
    TEglContext(const TEglContext&) = delete;
    TEglContext& operator=(const TEglContext&) = delete;

    // Creates the context; false with Problem() saying why.
    bool Create();
    bool MakeCurrent();
    void DoneCurrent();
    bool IsValid() const { return Context_ != nullptr; }
    const std::string& Problem() const { return Problem_; }
    // Address of an OpenGL function (null when there is none).
    static void* ProcAddress(const char* name);

private:
    void Destroy();
    void* Display_ = nullptr;
    void* Context_ = nullptr;
    std::string Problem_;
};

}  // namespace orlex
