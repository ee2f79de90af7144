#include "video_surface.h"

#include <mpv/render.h>
#include <mpv/render_gl.h>

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QMetaObject>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QOpenGLWidget>
#include <QPainter>
#include <QPointer>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "start_trace.h"

namespace movix {

namespace {

// mpv asks for a new frame from its own thread; the widget repaints on the GUI thread.
void RequestRepaint(void* widget) {
  QPointer<QWidget> target(static_cast<QWidget*>(widget));
  QMetaObject::invokeMethod(
      static_cast<QWidget*>(widget),
      [target] {
        if (target) target->update();
      },
      Qt::QueuedConnection);
}

// The first picture of the movie mpv draws, for the start-up trace.
void TraceFirstPicture() {
  static bool drawn = false;
  if (!drawn) captivo::TraceStep("first picture drawn");
  drawn = true;
}

void* GlFunction(void*, const char* name) {
  QOpenGLContext* context = QOpenGLContext::currentContext();
  return context ? reinterpret_cast<void*>(context->getProcAddress(name)) : nullptr;
}

class GlSurface : public QOpenGLWidget, public VideoSurface {
 public:
  GlSurface(mpv_handle* mpv, QWidget* parent) : QOpenGLWidget(parent), mpv_(mpv) {}
  ~GlSurface() override { Release(); }
  QWidget* Widget() override { return this; }
  bool Ready() override { return render_ != nullptr; }
  bool SwitchingWindows() const override {
    return released_.isValid() && released_.elapsed() < kSwitchMilliseconds;
  }

 protected:
  void initializeGL() override {
    // No advanced control: mpv's decoder then never waits for this (the GUI) thread.
    mpv_opengl_init_params gl{GlFunction, nullptr};
    mpv_render_param params[] = {
        {MPV_RENDER_PARAM_API_TYPE, const_cast<char*>(MPV_RENDER_API_TYPE_OPENGL)},
        {MPV_RENDER_PARAM_OPENGL_INIT_PARAMS, &gl},
        {MPV_RENDER_PARAM_INVALID, nullptr}};
    if (mpv_render_context_create(&render_, mpv_, params) < 0) return;
    mpv_render_context_set_update_callback(render_, RequestRepaint, this);
    // Moved to another window (full screen and back), the widget gets a new context; the
    // render context must go with the old one, and mpv turns the video off meanwhile.
    connect(context(), &QOpenGLContext::aboutToBeDestroyed, this, &GlSurface::Release,
            Qt::DirectConnection);
    if (lostContext_) Resume();
    lostContext_ = false;
  }

  void Release() {
    if (!render_) return;
    // Without its render context mpv would end the file: the video track goes first. A
    // movie without sound then has no track at all and ends anyway: where it was, and
    // whether it was paused, are kept to go on from.
    mpv_get_property(mpv_, "time-pos", MPV_FORMAT_DOUBLE, &resumeAt_);
    mpv_get_property(mpv_, "pause", MPV_FORMAT_FLAG, &wasPaused_);
    mpv_set_property_string(mpv_, "vid", "no");
    released_.start();
    makeCurrent();
    mpv_render_context_free(render_);
    render_ = nullptr;
    doneCurrent();
    lostContext_ = true;
  }

  void Resume() {
    mpv_set_property_string(mpv_, "vid", "auto");
    const std::string at = std::to_string(resumeAt_);
    const char* seek[] = {"seek", at.c_str(), "absolute+exact", nullptr};
    mpv_command_async(mpv_, 0, seek);
    mpv_set_property(mpv_, "pause", MPV_FORMAT_FLAG, &wasPaused_);
  }

  void paintGL() override {
    if (!render_) return;
    const qreal ratio = devicePixelRatioF();
    mpv_opengl_fbo fbo{static_cast<int>(defaultFramebufferObject()),
                       static_cast<int>(width() * ratio), static_cast<int>(height() * ratio), 0};
    int flip = 1, block = 0;  // blocking for the frame's time would stall the whole window
    mpv_render_param params[] = {{MPV_RENDER_PARAM_OPENGL_FBO, &fbo},
                                 {MPV_RENDER_PARAM_FLIP_Y, &flip},
                                 {MPV_RENDER_PARAM_BLOCK_FOR_TARGET_TIME, &block},
                                 {MPV_RENDER_PARAM_INVALID, nullptr}};
    mpv_render_context_render(render_, params);
  }

 private:
  mpv_handle* mpv_;
  mpv_render_context* render_ = nullptr;
  bool lostContext_ = false;
  double resumeAt_ = 0;
  int wasPaused_ = 0;
  // The end mpv may report for the switch comes after the new context at times.
  static constexpr int kSwitchMilliseconds = 2000;
  QElapsedTimer released_;
};

// mpv leaves the fourth byte of a "bgr0" pixel as it pleases (mostly 0), where the
// image's format holds 0xFF: an X server ignores that byte, a Wayland compositor takes it
// as the pixel's opacity and would show the picture see-through. Only there is the frame
// made opaque: a pass over every pixel of every frame is not spent where nobody reads it.
bool FourthByteIsOpacity() {
  return QGuiApplication::platformName().startsWith("wayland");
}

void MakeOpaque(QImage& image) {
  const int width = image.width(), height = image.height();
  for (int y = 0; y < height; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(image.scanLine(y));
    for (int x = 0; x < width; ++x) row[x] |= 0xFF000000u;
  }
}

// mpv's software renderer into an image: slower, but needs no OpenGL.
class SoftwareSurface : public QWidget, public VideoSurface {
 public:
  SoftwareSurface(mpv_handle* mpv, QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    mpv_render_param params[] = {
        {MPV_RENDER_PARAM_API_TYPE, const_cast<char*>(MPV_RENDER_API_TYPE_SW)},
        {MPV_RENDER_PARAM_INVALID, nullptr}};
    if (mpv_render_context_create(&render_, mpv, params) >= 0)
      mpv_render_context_set_update_callback(render_, RequestRepaint, this);
  }
  ~SoftwareSurface() override {
    if (render_) mpv_render_context_free(render_);
  }
  QWidget* Widget() override { return this; }
  bool Ready() override { return render_ != nullptr; }

 protected:
  void paintEvent(QPaintEvent*) override {
    if (frame_.size() != size()) frame_ = QImage(size(), QImage::Format_RGB32);
    if (render_ && !frame_.isNull()) {
      int size[2] = {frame_.width(), frame_.height()};
      size_t stride = static_cast<size_t>(frame_.bytesPerLine());
      // Blocking waits for mpv's video thread to present the frame, without a time limit:
      // when that thread ends in between (the video output closed or reopened), it never does.
      int block = 0;
      mpv_render_param params[] = {{MPV_RENDER_PARAM_SW_SIZE, size},
                                   {MPV_RENDER_PARAM_SW_FORMAT, const_cast<char*>("bgr0")},
                                   {MPV_RENDER_PARAM_SW_STRIDE, &stride},
                                   {MPV_RENDER_PARAM_SW_POINTER, frame_.bits()},
                                   {MPV_RENDER_PARAM_BLOCK_FOR_TARGET_TIME, &block},
                                   {MPV_RENDER_PARAM_INVALID, nullptr}};
      mpv_render_context_render(render_, params);
      if (opaqueNeeded_) MakeOpaque(frame_);
      if (frame_.pixel(frame_.width() / 2, frame_.height() / 2) != qRgb(0, 0, 0))
        TraceFirstPicture();
    }
    QPainter(this).drawImage(0, 0, frame_);
  }

 private:
  mpv_render_context* render_ = nullptr;
  QImage frame_;
  const bool opaqueNeeded_ = FourthByteIsOpacity();
};

// OpenGL drawn by the graphics hardware. A software rasteriser (llvmpipe and the like)
// costs far more processor time than mpv's own software renderer.
bool HardwareOpenGlWorks() {
  QOpenGLContext context;
  QOffscreenSurface surface;
  surface.create();
  if (!context.create() || !context.makeCurrent(&surface)) return false;
  const auto* renderer =
      reinterpret_cast<const char*>(context.functions()->glGetString(GL_RENDERER));
  const QByteArray name = QByteArray(renderer ? renderer : "").toLower();
  return !name.isEmpty() && !name.contains("llvmpipe") && !name.contains("softpipe") &&
         !name.contains("software");
}

}  // namespace

bool NoVideoOutputWanted() {
  const char* wanted = std::getenv("CAPTIVO_VIDEO_OUTPUT");
  return wanted && std::strcmp(wanted, "none") == 0;
}

VideoOutput ChosenVideoOutput() {
  if (NoVideoOutputWanted()) return VideoOutput::None;
  const char* wanted = std::getenv("CAPTIVO_VIDEO_OUTPUT");
  if (wanted && std::strcmp(wanted, "software") == 0) return VideoOutput::Software;
  if (wanted && std::strcmp(wanted, "opengl") == 0) return VideoOutput::OpenGl;
  return HardwareOpenGlWorks() ? VideoOutput::OpenGl : VideoOutput::Software;
}

VideoSurface* CreateVideoSurface(VideoOutput output, mpv_handle* mpv, QWidget* parent) {
  switch (output) {
    case VideoOutput::OpenGl:
      return new GlSurface(mpv, parent);
    case VideoOutput::Software:
      return new SoftwareSurface(mpv, parent);
    case VideoOutput::None:
      break;
  }
  return nullptr;
}

}  // namespace movix
