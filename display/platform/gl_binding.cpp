#include "display/platform/gl_binding.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

#include "display/platform/drawing_surface.h"

namespace platform {

namespace {

// How far an attempt to open a display got; the report names the furthest stage any candidate reached.
enum class DisplayStage { kNone, kFound, kInitialised, kReady };

void ReportOnce(bool& reported, const char* why) {
    if (reported) return;
    reported = true;
    std::fprintf(stderr, "ramulon: %s; the panels stay black\n", why);
}

bool HasExtension(const char* list, const char* name) {
    if (list == nullptr) return false;
    const std::size_t length = std::strlen(name);
    for (const char* p = std::strstr(list, name); p != nullptr; p = std::strstr(p + length, name)) {
        const bool starts = p == list || p[-1] == ' ';
        const bool ends = p[length] == '\0' || p[length] == ' ';
        if (starts && ends) return true;
    }
    return false;
}

// A config for desktop GL in pbuffers with 8-bit RGBA and the deepest depth buffer offered.
EGLConfig ChooseConfig(EGLDisplay display) {
    for (EGLint depth : {32, 24}) {
        // clang-format off
        const EGLint attributes[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
                                     EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8, EGL_ALPHA_SIZE, 8,
                                     EGL_DEPTH_SIZE, depth, EGL_NONE};
        // clang-format on
        EGLConfig config = nullptr;
        EGLint count = 0;
        if (eglChooseConfig(display, attributes, &config, 1, &count) == EGL_TRUE && count > 0) return config;
    }
    return nullptr;
}

struct OpenedDisplay {
    EGLDisplay display = EGL_NO_DISPLAY;
    EGLConfig config = nullptr;
    DisplayStage stage = DisplayStage::kNone;
};

// The display with the panels' config, or how far it got.
OpenedDisplay TryDisplay(EGLDisplay display) {
    if (display == EGL_NO_DISPLAY) return {};
    if (eglInitialize(display, nullptr, nullptr) != EGL_TRUE) return {EGL_NO_DISPLAY, nullptr, DisplayStage::kFound};
    EGLConfig config = ChooseConfig(display);
    if (config == nullptr || eglBindAPI(EGL_OPENGL_API) != EGL_TRUE) {
        eglTerminate(display);
        return {EGL_NO_DISPLAY, nullptr, DisplayStage::kInitialised};
    }
    return {display, config, DisplayStage::kReady};
}

// The EGL devices, when the client offers to enumerate them.
std::vector<EGLDeviceEXT> EglDevices(const char* clientExtensions) {
    std::vector<EGLDeviceEXT> devices;
    if (!HasExtension(clientExtensions, "EGL_EXT_device_enumeration")) return devices;
    auto queryDevices = reinterpret_cast<PFNEGLQUERYDEVICESEXTPROC>(eglGetProcAddress("eglQueryDevicesEXT"));
    EGLint count = 0;
    if (queryDevices == nullptr || queryDevices(0, nullptr, &count) != EGL_TRUE || count <= 0) return devices;
    devices.resize(static_cast<std::size_t>(count));
    if (queryDevices(count, devices.data(), &count) != EGL_TRUE) count = 0;
    devices.resize(static_cast<std::size_t>(count));
    return devices;
}

const char* WhyNoDisplay(DisplayStage furthest) {
    if (furthest == DisplayStage::kNone)
        return "no EGL display is offered (is Mesa's EGL driver, libegl-mesa0, installed?)";
    if (furthest == DisplayStage::kFound) return "no EGL display could be initialised (the OpenGL driver did not load)";
    return "no EGL display offers an OpenGL pbuffer config";
}

// Each EGL device in turn, then Mesa's surfaceless platform, then the default display.
OpenedDisplay FirstWorkingDisplay() {
    DisplayStage furthest = DisplayStage::kNone;
    OpenedDisplay opened;
    auto reached = [&](EGLDisplay display) {
        opened = TryDisplay(display);
        furthest = std::max(furthest, opened.stage);
        return opened.stage == DisplayStage::kReady;
    };
    const char* clientExtensions = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
    const auto getPlatformDisplay =
        reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (getPlatformDisplay != nullptr) {
        for (EGLDeviceEXT device : EglDevices(clientExtensions)) {
            if (reached(getPlatformDisplay(EGL_PLATFORM_DEVICE_EXT, device, nullptr))) return opened;
        }
        if (HasExtension(clientExtensions, "EGL_MESA_platform_surfaceless") &&
            reached(getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr)))
            return opened;
    }
    if (reached(eglGetDisplay(EGL_DEFAULT_DISPLAY))) return opened;
    opened.stage = furthest;
    return opened;
}

// EGL wants a surface of at least one pixel; a panel of zero size presents nothing anyway.
EGLint PbufferExtent(int clientExtent) { return clientExtent > 0 ? clientExtent : 1; }

}  // namespace

bool GlDisplay::Open() {
    if (display != nullptr) return true;
    const auto now = std::chrono::steady_clock::now();
    if (failedBefore && now - lastAttempt < retryInterval) return false;
    failedBefore = true;
    lastAttempt = now;
    const OpenedDisplay opened = FirstWorkingDisplay();
    if (opened.stage != DisplayStage::kReady) {
        ReportOnce(reportedNoDisplay, WhyNoDisplay(opened.stage));
        return false;
    }
    display = opened.display;
    config = opened.config;
    return true;
}

void GlDisplay::ReportNoContext() { ReportOnce(reportedNoContext, "no OpenGL context could be made"); }

bool GlDisplay::ApplySurfaceFormat(DrawingSurface& surface, int width, int height) {
    if (display == nullptr) return false;
    if (surface.pbuffer != nullptr) return true;
    const EGLint w = PbufferExtent(width);
    const EGLint h = PbufferExtent(height);
    const EGLint attributes[] = {EGL_WIDTH, w, EGL_HEIGHT, h, EGL_NONE};
    EGLSurface pbuffer = eglCreatePbufferSurface(display, config, attributes);
    if (pbuffer == EGL_NO_SURFACE) {
        ReportOnce(reportedNoSurface, "no EGL pbuffer surface could be made");
        return false;
    }
    surface.display = this;
    surface.pbuffer = pbuffer;
    surface.pbufferWidth = w;
    surface.pbufferHeight = h;
    return true;
}

bool SurfaceHasSize(const DrawingSurface& surface, int width, int height) {
    return surface.pbufferWidth == PbufferExtent(width) && surface.pbufferHeight == PbufferExtent(height);
}

GlContext CreateGlContext(DrawingSurface* surface) {
    if (surface == nullptr || surface->pbuffer == nullptr) return nullptr;
    GlDisplay& display = *surface->display;
    EGLContext context = eglCreateContext(display.Handle(), display.Config(), EGL_NO_CONTEXT, nullptr);
    if (context == EGL_NO_CONTEXT) {
        display.ReportNoContext();
        return nullptr;
    }
    return context;
}

bool MakeGlCurrent(DrawingSurface* surface, GlContext context) {
    if (context == nullptr) {
        // Whatever display this thread's context belongs to; with none current there is nothing to do.
        const EGLDisplay current = eglGetCurrentDisplay();
        return current == EGL_NO_DISPLAY ||
               eglMakeCurrent(current, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT) == EGL_TRUE;
    }
    if (surface == nullptr || surface->pbuffer == nullptr) return false;
    return eglMakeCurrent(surface->display->Handle(), surface->pbuffer, surface->pbuffer, context) == EGL_TRUE;
}

bool IsGlCurrent(const DrawingSurface* surface, GlContext context) {
    return surface != nullptr && context != nullptr && eglGetCurrentContext() == context &&
           eglGetCurrentSurface(EGL_DRAW) == surface->pbuffer;
}

void DeleteGlContext(const DrawingSurface& surface, GlContext context) {
    if (context != nullptr && surface.display != nullptr) eglDestroyContext(surface.display->Handle(), context);
}

void ReleaseSurface(DrawingSurface& surface) {
    if (surface.display != nullptr) {
        const EGLDisplay display = surface.display->Handle();
        if (surface.context != nullptr) {
            if (eglGetCurrentContext() == surface.context) MakeGlCurrent(nullptr, nullptr);
            eglDestroyContext(display, surface.context);
        }
        if (surface.pbuffer != nullptr) eglDestroySurface(display, surface.pbuffer);
    }
    surface.context = nullptr;
    surface.pbuffer = nullptr;
    surface.pbufferWidth = 0;
    surface.pbufferHeight = 0;
}

GlContext KeptGlContext(DrawingSurface* surface) {
    if (surface == nullptr) return nullptr;
    if (surface->context == nullptr) surface->context = CreateGlContext(surface);
    return surface->context;
}

}  // namespace platform
