#include "eglcontext.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>

#include <cstdio>

namespace orlex {

namespace {

std::string EglError(const char* what) {
    char text[96];
    std::snprintf(text, sizeof text, "%s failed (EGL error 0x%04x)", what,
                  static_cast<unsigned>(eglGetError()));
    return text;
}

}  // namespace

TEglContext::~TEglContext() {
    Destroy();
}

void TEglContext::Destroy() {
    auto display = static_cast<EGLDisplay>(Display_);
    if (display) {
        eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        if (Context_) eglDestroyContext(display, static_cast<EGLContext>(Context_));
        eglTerminate(display);
    }
    Display_ = nullptr;
    Context_ = nullptr;
}

bool TEglContext::Create() {
    Destroy();
    Problem_.clear();
    const char* extensions = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
    auto getDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (!extensions ||
        std::string(extensions).find("EGL_MESA_platform_surfaceless") == std::string::npos ||
        !getDisplay) {
        Problem_ = "EGL has no surfaceless platform (Mesa's libegl-mesa0 is needed)";
        return false;
    }
    EGLDisplay display = getDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    EGLint major = 0, minor = 0;
    if (display == EGL_NO_DISPLAY || !eglInitialize(display, &major, &minor)) {
        Problem_ = EglError("eglInitialize");
        return false;
    }
    Display_ = display;
    if (!eglBindAPI(EGL_OPENGL_API)) {
        Problem_ = EglError("eglBindAPI(OpenGL)");
        Destroy();
        return false;
    }
    // Version 2.1 without a profile bit: the compatibility profile.
    const EGLint attributes[] = {EGL_CONTEXT_MAJOR_VERSION, 2, EGL_CONTEXT_MINOR_VERSION, 1,
                                 EGL_NONE};
    EGLContext context = eglCreateContext(display, EGL_NO_CONFIG_KHR, EGL_NO_CONTEXT, attributes);
    if (context == EGL_NO_CONTEXT) {
        Problem_ = EglError("eglCreateContext");
        Destroy();
        return false;
    }
    Context_ = context;
    if (!MakeCurrent()) {
        Problem_ = EglError("eglMakeCurrent");
        Destroy();
        return false;
    }
    return true;
}

bool TEglContext::MakeCurrent() {
    if (!Context_) return false;
    return eglMakeCurrent(static_cast<EGLDisplay>(Display_), EGL_NO_SURFACE, EGL_NO_SURFACE,
                          static_cast<EGLContext>(Context_)) == EGL_TRUE;
}

void TEglContext::DoneCurrent() {
    if (Display_)
        eglMakeCurrent(static_cast<EGLDisplay>(Display_), EGL_NO_SURFACE, EGL_NO_SURFACE,
                       EGL_NO_CONTEXT);
}

void* TEglContext::ProcAddress(const char* name) {
    return reinterpret_cast<void*>(eglGetProcAddress(name));
}

}  // namespace orlex
