#include "display/platform/gl_binding.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "display/platform/drawing_surface.h"

namespace platform {

namespace {

// How far an attempt to open a display got; the report names the furthest stage any candidate reached.
enum class DisplayStage { kNone, kFound, kInitialised, kReady };

// An open display and the panels' config on it.
struct OpenedDisplay {
    EGLDisplay display = EGL_NO_DISPLAY;
    EGLConfig config = nullptr;
};

// Mesa gives a display of its own for each platform and attribute list, and no more than these.
constexpr int kMaxDisplays = 4;

struct EglDisplay {
    // [0] is the process's display, chosen as below; the others are opened only when asked for. A slot
    // is written once, on the thread that opens it, before any surface is made on it.
    std::array<OpenedDisplay, kMaxDisplays> opened;
    int openedCount = 0;
    bool triedMore = false;
    bool reportedNoDisplay = false;
    bool reportedNoContext = false;
    bool reportedNoSurface = false;
    // A driver that cannot load makes libEGL print its own warnings on every attempt, and every render
    // asks for the display: after a failure the next attempt waits, so that they cannot flood stderr.
    std::chrono::milliseconds retryInterval{5000};
    bool failedBefore = false;
    std::chrono::steady_clock::time_point lastAttempt;
};

EglDisplay& Egl() {
    static EglDisplay egl;
    return egl;
}

const OpenedDisplay& DisplayOf(const DrawingSurface& surface) { return Egl().opened[surface.display]; }

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
        const EGLint attributes[] = {EGL_SURFACE_TYPE,
                                     EGL_PBUFFER_BIT,
                                     EGL_RENDERABLE_TYPE,
                                     EGL_OPENGL_BIT,
                                     EGL_RED_SIZE,
                                     8,
                                     EGL_GREEN_SIZE,
                                     8,
                                     EGL_BLUE_SIZE,
                                     8,
                                     EGL_ALPHA_SIZE,
                                     8,
                                     EGL_DEPTH_SIZE,
                                     depth,
                                     EGL_NONE};
        EGLConfig config = nullptr;
        EGLint count = 0;
        if (eglChooseConfig(display, attributes, &config, 1, &count) == EGL_TRUE && count > 0) return config;
    }
    return nullptr;
}

// Opens the display into the next free slot when it offers the panels' config.
DisplayStage TryDisplay(EGLDisplay display) {
    EglDisplay& egl = Egl();
    if (display == EGL_NO_DISPLAY || egl.openedCount == kMaxDisplays) return DisplayStage::kNone;
    if (eglInitialize(display, nullptr, nullptr) != EGL_TRUE) return DisplayStage::kFound;
    EGLConfig config = ChooseConfig(display);
    if (config == nullptr || eglBindAPI(EGL_OPENGL_API) != EGL_TRUE) {
        eglTerminate(display);
        return DisplayStage::kInitialised;
    }
    egl.opened[static_cast<std::size_t>(egl.openedCount++)] = OpenedDisplay{display, config};
    return DisplayStage::kReady;
}

PFNEGLGETPLATFORMDISPLAYEXTPROC PlatformDisplayFunction() {
    return reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
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

bool AlreadyOpen(EGLDisplay display) {
    const EglDisplay& egl = Egl();
    for (int i = 0; i < egl.openedCount; ++i)
        if (egl.opened[static_cast<std::size_t>(i)].display == display) return true;
    return false;
}

// More displays of the devices and of the surfaceless platform, up to limit in all: each without
// attributes and with an empty attribute list, which Mesa keeps apart.
void OpenMoreDisplays(int limit) {
    const char* clientExtensions = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
    const auto getPlatformDisplay = PlatformDisplayFunction();
    if (getPlatformDisplay == nullptr) return;
    static const EGLint kNoAttributes[] = {EGL_NONE};
    const auto tryBoth = [&](EGLenum platform, void* native) {
        for (const EGLint* attributes : {static_cast<const EGLint*>(nullptr), kNoAttributes}) {
            if (Egl().openedCount >= limit) return;
            const EGLDisplay display = getPlatformDisplay(platform, native, attributes);
            if (display != EGL_NO_DISPLAY && !AlreadyOpen(display)) TryDisplay(display);
        }
    };
    for (EGLDeviceEXT device : EglDevices(clientExtensions)) tryBoth(EGL_PLATFORM_DEVICE_EXT, device);
    if (HasExtension(clientExtensions, "EGL_MESA_platform_surfaceless"))
        tryBoth(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY);
}

const char* WhyNoDisplay(DisplayStage furthest) {
    switch (furthest) {
        case DisplayStage::kNone:
            return "no EGL display is offered (is Mesa's EGL driver, libegl-mesa0, installed?)";
        case DisplayStage::kFound:
            return "no EGL display could be initialised (the OpenGL driver did not load)";
        case DisplayStage::kInitialised:
        case DisplayStage::kReady:
            break;
    }
    return "no EGL display offers an OpenGL pbuffer config";
}

// Each EGL device in turn, then Mesa's surfaceless platform, then the default display.
bool OpenDisplay() {
    EglDisplay& egl = Egl();
    if (egl.openedCount > 0) return true;
    const auto now = std::chrono::steady_clock::now();
    if (egl.failedBefore && now - egl.lastAttempt < egl.retryInterval) return false;
    egl.failedBefore = true;
    egl.lastAttempt = now;
    DisplayStage furthest = DisplayStage::kNone;
    auto reached = [&furthest](DisplayStage stage) {
        furthest = std::max(furthest, stage);
        return stage == DisplayStage::kReady;
    };
    const char* clientExtensions = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
    const auto getPlatformDisplay = PlatformDisplayFunction();
    if (getPlatformDisplay != nullptr) {
        for (EGLDeviceEXT device : EglDevices(clientExtensions)) {
            if (reached(TryDisplay(getPlatformDisplay(EGL_PLATFORM_DEVICE_EXT, device, nullptr)))) return true;
        }
    }
    if (getPlatformDisplay != nullptr && HasExtension(clientExtensions, "EGL_MESA_platform_surfaceless") &&
        reached(TryDisplay(getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr))))
        return true;
    if (reached(TryDisplay(eglGetDisplay(EGL_DEFAULT_DISPLAY)))) return true;
    ReportOnce(egl.reportedNoDisplay, WhyNoDisplay(furthest));
    return false;
}

}  // namespace

void SetDisplayRetryInterval(std::chrono::milliseconds interval) { Egl().retryInterval = interval; }

bool SurfaceFormatAvailable() { return OpenDisplay(); }

void OpenDisplaysForJobs(int jobs) {
    EglDisplay& egl = Egl();
    if (jobs <= 1 || egl.triedMore || !OpenDisplay()) return;
    egl.triedMore = true;
    // The right panel's display draws with the renderer's own threads, as the first one does; a panel
    // drawn on its own is then as fast as ever. The workers' displays draw each scene on the thread
    // that renders it, unless the user has chosen otherwise.
    OpenMoreDisplays(2);
    const bool userChose = std::getenv("LP_NUM_THREADS") != nullptr;
    if (!userChose) setenv("LP_NUM_THREADS", "0", 1);
    OpenMoreDisplays(kMaxDisplays);
    if (!userChose) unsetenv("LP_NUM_THREADS");
}

void ChooseDisplay(DrawingSurface& surface, int wanted) {
    if (surface.pbuffer != nullptr || !OpenDisplay()) return;
    EglDisplay& egl = Egl();
    if (wanted > 0 && !egl.triedMore) {
        egl.triedMore = true;
        OpenMoreDisplays(kMaxDisplays);
    }
    surface.display = wanted > 0 ? wanted % egl.openedCount : 0;
}

namespace {

// EGL wants a surface of at least one pixel; a panel of zero size presents nothing anyway.
EGLint PbufferExtent(int clientExtent) { return clientExtent > 0 ? clientExtent : 1; }

}  // namespace

bool SurfaceHasSize(const DrawingSurface& surface, int width, int height) {
    return surface.pbufferWidth == PbufferExtent(width) && surface.pbufferHeight == PbufferExtent(height);
}

bool ApplySurfaceFormat(DrawingSurface& surface, int width, int height) {
    if (Egl().openedCount == 0) return false;
    if (surface.pbuffer != nullptr) return true;
    const OpenedDisplay& egl = DisplayOf(surface);
    const EGLint w = PbufferExtent(width);
    const EGLint h = PbufferExtent(height);
    const EGLint attributes[] = {EGL_WIDTH, w, EGL_HEIGHT, h, EGL_NONE};
    EGLSurface pbuffer = eglCreatePbufferSurface(egl.display, egl.config, attributes);
    if (pbuffer == EGL_NO_SURFACE) {
        ReportOnce(Egl().reportedNoSurface, "no EGL pbuffer surface could be made");
        return false;
    }
    surface.pbuffer = pbuffer;
    surface.pbufferWidth = w;
    surface.pbufferHeight = h;
    return true;
}

GlContext CreateGlContext(DrawingSurface* surface) {
    if (surface == nullptr || surface->pbuffer == nullptr || Egl().openedCount == 0) return nullptr;
    const OpenedDisplay& egl = DisplayOf(*surface);
    EGLContext context = eglCreateContext(egl.display, egl.config, EGL_NO_CONTEXT, nullptr);
    if (context == EGL_NO_CONTEXT) {
        ReportOnce(Egl().reportedNoContext, "no OpenGL context could be made");
        return nullptr;
    }
    return context;
}

bool MakeGlCurrent(DrawingSurface* surface, GlContext context) {
    if (Egl().openedCount == 0) return false;
    if (context == nullptr) {
        // Whatever display this thread's context belongs to; with none current there is nothing to do.
        const EGLDisplay current = eglGetCurrentDisplay();
        return current == EGL_NO_DISPLAY ||
               eglMakeCurrent(current, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT) == EGL_TRUE;
    }
    if (surface == nullptr || surface->pbuffer == nullptr) return false;
    return eglMakeCurrent(DisplayOf(*surface).display, surface->pbuffer, surface->pbuffer, context) == EGL_TRUE;
}

bool IsGlCurrent(const DrawingSurface* surface, GlContext context) {
    return surface != nullptr && context != nullptr && eglGetCurrentContext() == context &&
           eglGetCurrentSurface(EGL_DRAW) == surface->pbuffer;
}

void DeleteGlContext(const DrawingSurface& surface, GlContext context) {
    if (context != nullptr && Egl().openedCount > 0) eglDestroyContext(DisplayOf(surface).display, context);
}

void ReleaseSurface(DrawingSurface& surface) {
    if (Egl().openedCount > 0) {
        const EGLDisplay display = DisplayOf(surface).display;
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

void EnterFreshState() {
    // Everything a render can change is on the attribute stacks except the matrices, which a new
    // context starts as identities; gluPerspective and gluLookAt multiply onto what they find.
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glPushClientAttrib(GL_CLIENT_ALL_ATTRIB_BITS);
    for (GLenum mode : {GL_TEXTURE, GL_PROJECTION, GL_MODELVIEW}) {
        glMatrixMode(mode);
        glLoadIdentity();
    }
    // Mesa's attribute pop does not bring the current colour and normal back, so they are set to a
    // new context's values here.
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glNormal3f(0.0f, 0.0f, 1.0f);
    glTexCoord4f(0.0f, 0.0f, 0.0f, 1.0f);
}

void LeaveFreshState() {
    glPopClientAttrib();
    glPopAttrib();
}

bool ReadFrame(const DrawingSurface* surface, PresentedFrame& frame) {
    if (surface == nullptr || surface->pbuffer == nullptr) return false;
    // Without a current context on this surface there is no picture to read: the old frame stays.
    if (eglGetCurrentContext() == EGL_NO_CONTEXT || eglGetCurrentSurface(EGL_DRAW) != surface->pbuffer) return false;
    const int width = surface->pbufferWidth;
    const int height = surface->pbufferHeight;
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 3;
    frame.width = width;
    frame.height = height;
    // Same size as last time: the buffer is reused and nothing is allocated.
    frame.bgr.resize(rowBytes * static_cast<std::size_t>(height));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_BGR, GL_UNSIGNED_BYTE, frame.bgr.data());
    // GL returns the bottom row first; a frame keeps the top row first.
    for (int top = 0, bottom = height - 1; top < bottom; ++top, --bottom) {
        unsigned char* a = frame.bgr.data() + static_cast<std::size_t>(top) * rowBytes;
        unsigned char* b = frame.bgr.data() + static_cast<std::size_t>(bottom) * rowBytes;
        std::swap_ranges(a, a + rowBytes, b);
    }
    return true;
}

std::string GlRendererName() {
    DrawingSurface probe;
    if (!SurfaceFormatAvailable() || !ApplySurfaceFormat(probe, 1, 1)) return {};
    std::string name;
    if (GlContext context = CreateGlContext(&probe)) {
        if (MakeGlCurrent(&probe, context)) {
            if (const auto* text = reinterpret_cast<const char*>(glGetString(GL_RENDERER))) name = text;
            MakeGlCurrent(nullptr, nullptr);
        }
        DeleteGlContext(probe, context);
    }
    ReleaseSurface(probe);
    return name;
}

}  // namespace platform
