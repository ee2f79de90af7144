#pragma once

#include <QWidget>

struct mpv_handle;

namespace movix {

// Where mpv draws the picture: a widget that owns mpv's render context.
class VideoSurface {
 public:
  virtual ~VideoSurface() = default;
  virtual QWidget* Widget() = 0;
  // The render context exists; mpv can load a file with video.
  virtual bool Ready() = 0;
  // The picture is moving between windows: mpv may have ended a movie without sound
  // meanwhile, which the surface undoes.
  virtual bool SwitchingWindows() const { return false; }
};

// From CAPTIVO_VIDEO_OUTPUT: "opengl", "software", or "none" (no picture at all). By
// default OpenGL where the graphics hardware draws it, else mpv's software renderer.
enum class VideoOutput { OpenGl, Software, None };
VideoOutput ChosenVideoOutput();
// CAPTIVO_VIDEO_OUTPUT is "none": known without the toolkit.
bool NoVideoOutputWanted();

// A surface of the chosen kind inside `parent`, or nullptr for VideoOutput::None.
VideoSurface* CreateVideoSurface(VideoOutput output, mpv_handle* mpv, QWidget* parent);

}  // namespace movix
