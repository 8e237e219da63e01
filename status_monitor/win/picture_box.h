// The status page's picture controls: Pic0(0..3) show still pictures with a layer of drawn boxes
// (the ink bar), WebBrowser1 plays the animated status picture. One window class does both.
#pragma once

#include <windows.h>

#include <string>

namespace monitor::win {

// GDI+ for the process, started by the first live session and shut down with the last. Keep one
// alive from before the first picture box is created until every picture box is destroyed.
// UI thread only.
class GdiplusSession {
 public:
  GdiplusSession();
  ~GdiplusSession();
  GdiplusSession(const GdiplusSession&) = delete;
  GdiplusSession& operator=(const GdiplusSession&) = delete;
  bool Started() const { return ok_; }

 private:
  bool ok_ = false;
};

class PictureBox {
 public:
  static constexpr const wchar_t* kClassName = L"MonitorPictureBox";

  // Registers the window class once; true when it is (or already was) registered.
  static bool Register(HINSTANCE instance);
  static HWND Create(HWND parent, int id, const RECT& pixels);

  // Shows a GIF file at its natural size at the top left, playing its frames when it has several.
  // Empty path: no picture. The same path again changes nothing, so an animation keeps running.
  // A missing or unreadable file leaves the box empty without a message.
  static void SetPicture(HWND box, const std::wstring& path);
  // The drawing layer: filled boxes in client pixels, over the picture.
  static void DrawBox(HWND box, const RECT& pixels, COLORREF color);
  static void ClearDrawing(HWND box);

  // For tests: what the box holds now.
  static int FrameCount(HWND box);
  static int CurrentFrame(HWND box);
  static int LoadCount(HWND box);  // times a picture file was read
};

}  // namespace monitor::win
