#include "status_monitor/win/picture_box.h"

#include <objidl.h>
#include <gdiplus.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "common/win/handles.h"

namespace monitor::win {
namespace {

using common::win::UniqueGdi;
using common::win::UniqueMemoryDc;

constexpr UINT_PTR kAnimationTimer = 1;
// Every frame is decoded into memory up front; a file needing more than this (64 MB) is refused.
constexpr unsigned long long kMaxDecodedPixels = 16ull << 20;

// GIF delays are in 1/100 s. Files written for browsers use 0 and 1 to mean "as fast as the
// viewer likes", which browsers show as 100 ms; other short delays are held for at least 50 ms,
// so an animation never keeps the window thread busy.
UINT FrameDelayMs(UINT hundredths) {
  if (hundredths <= 1) return 100;
  return std::max<UINT>(50, hundredths * 10);
}

struct Box {
  RECT rect;
  COLORREF color;
};

struct State {
  std::wstring path;  // as last asked for
  std::vector<std::unique_ptr<Gdiplus::Bitmap>> frames;
  // The frames laid over the face colour once, so an animation step is a plain copy: alpha
  // blending every frame through GDI+ costs more than the rest of the monitor together.
  std::vector<UniqueGdi<HBITMAP>> composed;
  std::vector<UINT> delaysMs;
  size_t current = 0;
  int loadCount = 0;
  std::vector<Box> boxes;
  // Painting reuses one off-screen bitmap and two memory DCs: making them anew for every frame
  // costs the display driver several round trips to the window server each time. The bitmap is
  // declared before its DC, so the DC goes first.
  UniqueGdi<HBITMAP> buffer;
  SIZE bufferSize{};
  UniqueMemoryDc bufferDc;
  UniqueMemoryDc sourceDc;
  bool paused = false;  // an animation stops while its box is hidden and goes on when it is painted
};

State* StateOf(HWND box) {
  if (!box || !::IsWindow(box)) return nullptr;
  wchar_t name[64] = {};
  if (!::GetClassNameW(box, name, 64) || std::wstring(name) != PictureBox::kClassName) return nullptr;
  return reinterpret_cast<State*>(::GetWindowLongPtrW(box, GWLP_USERDATA));
}

// Selects an object into a DC for one scope and puts the previous one back.
class Selection {
 public:
  Selection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(::SelectObject(dc, object)) {}
  ~Selection() { ::SelectObject(dc_, previous_); }
  Selection(const Selection&) = delete;
  Selection& operator=(const Selection&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

std::vector<UINT> FrameDelays(Gdiplus::Image& image, UINT frameCount) {
  std::vector<UINT> delays(frameCount, FrameDelayMs(0));
  const UINT size = image.GetPropertyItemSize(PropertyTagFrameDelay);
  if (size < sizeof(Gdiplus::PropertyItem)) return delays;
  std::vector<unsigned char> buffer(size);
  auto* item = reinterpret_cast<Gdiplus::PropertyItem*>(buffer.data());
  if (image.GetPropertyItem(PropertyTagFrameDelay, size, item) != Gdiplus::Ok || !item->value) return delays;
  const UINT count = std::min<UINT>(frameCount, item->length / sizeof(UINT32));
  const auto* values = static_cast<const UINT32*>(item->value);
  for (UINT i = 0; i < count; ++i) delays[i] = FrameDelayMs(values[i]);
  return delays;
}

void Compose(State& state) {
  state.composed.clear();
  const COLORREF face = ::GetSysColor(COLOR_3DFACE);
  const Gdiplus::Color background(GetRValue(face), GetGValue(face), GetBValue(face));
  for (const auto& frame : state.frames) {
    HBITMAP composed = nullptr;
    if (frame->GetHBITMAP(background, &composed) != Gdiplus::Ok) composed = nullptr;
    state.composed.emplace_back(composed);
  }
}

// Every frame is copied into a bitmap of its own, so the file is closed once this returns and
// painting never has to re-select frames. Any failure gives no frames at all.
void Load(State& state) {
  std::unique_ptr<Gdiplus::Bitmap> source(Gdiplus::Bitmap::FromFile(state.path.c_str(), FALSE));
  if (!source || source->GetLastStatus() != Gdiplus::Ok) return;
  const UINT width = source->GetWidth(), height = source->GetHeight();
  if (width == 0 || height == 0) return;
  GUID dimension{};
  UINT frameCount = 1;
  if (source->GetFrameDimensionsCount() > 0 && source->GetFrameDimensionsList(&dimension, 1) == Gdiplus::Ok) {
    frameCount = std::max<UINT>(1, source->GetFrameCount(&dimension));
  }
  if (static_cast<unsigned long long>(width) * height * frameCount > kMaxDecodedPixels) return;
  std::vector<std::unique_ptr<Gdiplus::Bitmap>> frames;
  for (UINT i = 0; i < frameCount; ++i) {
    if (frameCount > 1 && source->SelectActiveFrame(&dimension, i) != Gdiplus::Ok) return;
    auto frame = std::make_unique<Gdiplus::Bitmap>(static_cast<INT>(width), static_cast<INT>(height),
                                                   PixelFormat32bppPARGB);
    if (frame->GetLastStatus() != Gdiplus::Ok) return;
    Gdiplus::Graphics graphics(frame.get());
    graphics.SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
    if (graphics.DrawImage(source.get(), 0, 0, static_cast<INT>(width), static_cast<INT>(height)) != Gdiplus::Ok)
      return;
    frames.push_back(std::move(frame));
  }
  state.delaysMs = FrameDelays(*source, frameCount);
  state.frames = std::move(frames);
  Compose(state);
}

void Paint(HDC target, const RECT& client, State& state) {
  const int width = client.right - client.left, height = client.bottom - client.top;
  if (width <= 0 || height <= 0) return;
  if (!state.bufferDc || !state.sourceDc || state.bufferSize.cx != width || state.bufferSize.cy != height) {
    state.bufferDc.reset();
    state.buffer.reset(::CreateCompatibleBitmap(target, width, height));
    state.bufferDc.reset(::CreateCompatibleDC(target));
    state.sourceDc.reset(::CreateCompatibleDC(target));
    if (!state.buffer || !state.bufferDc || !state.sourceDc) {
      state.bufferDc.reset();
      return;
    }
    ::SelectObject(state.bufferDc.get(), state.buffer.get());  // stays selected while both live
    state.bufferSize = {width, height};
  }
  // Drawn off screen and copied in one go, so the face colour never flashes over the picture.
  HDC memory = state.bufferDc.get();
  ::FillRect(memory, &client, ::GetSysColorBrush(COLOR_3DFACE));
  if (!state.frames.empty() && state.composed[state.current]) {
    Gdiplus::Bitmap& frame = *state.frames[state.current];
    Selection picture(state.sourceDc.get(), state.composed[state.current].get());
    ::BitBlt(memory, 0, 0, static_cast<int>(frame.GetWidth()), static_cast<int>(frame.GetHeight()),
             state.sourceDc.get(), 0, 0, SRCCOPY);
  }
  for (const Box& box : state.boxes) {
    UniqueGdi<HBRUSH> brush(::CreateSolidBrush(box.color));
    if (brush) ::FillRect(memory, &box.rect, brush.get());
  }
  ::BitBlt(target, 0, 0, width, height, memory, 0, 0, SRCCOPY);
}

void StartFrame(HWND box, State& state) {
  if (state.frames.size() > 1) ::SetTimer(box, kAnimationTimer, state.delaysMs[state.current], nullptr);
}

LRESULT HandleMessage(HWND box, UINT message, WPARAM wparam, LPARAM lparam) {
  State* state = reinterpret_cast<State*>(::GetWindowLongPtrW(box, GWLP_USERDATA));
  switch (message) {
    case WM_NCCREATE:
      ::SetWindowLongPtrW(box, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new State));
      break;
    case WM_NCDESTROY:
      ::SetWindowLongPtrW(box, GWLP_USERDATA, 0);
      delete state;
      break;
    case WM_DESTROY:
      ::KillTimer(box, kAnimationTimer);
      break;
    case WM_ERASEBKGND:
      return 1;  // WM_PAINT covers every pixel
    case WM_PAINT: {
      PAINTSTRUCT paint;
      if (state && state->paused) {
        state->paused = false;
        StartFrame(box, *state);
      }
      HDC dc = ::BeginPaint(box, &paint);
      RECT client;
      ::GetClientRect(box, &client);
      if (dc && state) Paint(dc, client, *state);
      ::EndPaint(box, &paint);
      return 0;
    }
    case WM_PRINTCLIENT: {
      RECT client;
      ::GetClientRect(box, &client);
      if (state) Paint(reinterpret_cast<HDC>(wparam), client, *state);
      return 0;
    }
    case WM_SYSCOLORCHANGE:
      if (state) {
        Compose(*state);
        ::InvalidateRect(box, nullptr, FALSE);
      }
      break;
    case WM_TIMER:
      if (wparam == kAnimationTimer && state && state->frames.size() > 1) {
        if (!::IsWindowVisible(box)) {  // another page or the hidden window: nothing to show
          ::KillTimer(box, kAnimationTimer);
          state->paused = true;
          return 0;
        }
        state->current = (state->current + 1) % state->frames.size();
        StartFrame(box, *state);
        ::InvalidateRect(box, nullptr, FALSE);
        return 0;
      }
      break;
  }
  return ::DefWindowProcW(box, message, wparam, lparam);
}

LRESULT CALLBACK WindowProc(HWND box, UINT message, WPARAM wparam, LPARAM lparam) {
  try {
    return HandleMessage(box, message, wparam, lparam);
  } catch (...) {
    // Out of memory while decoding or painting: the box stays as it was.
    return message == WM_NCCREATE ? FALSE : 0;
  }
}

ULONG_PTR g_gdiplusToken = 0;
int g_gdiplusSessions = 0;

}  // namespace

GdiplusSession::GdiplusSession() {
  if (g_gdiplusSessions == 0) {
    Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&g_gdiplusToken, &input, nullptr) != Gdiplus::Ok) return;
  }
  ++g_gdiplusSessions;
  ok_ = true;
}

GdiplusSession::~GdiplusSession() {
  if (ok_ && --g_gdiplusSessions == 0) Gdiplus::GdiplusShutdown(g_gdiplusToken);
}

bool PictureBox::Register(HINSTANCE instance) {
  WNDCLASSEXW cls{};
  cls.cbSize = sizeof cls;
  cls.lpfnWndProc = WindowProc;
  cls.style = CS_OWNDC;  // one DC for the box's life: no new display DC for every frame painted
  cls.hInstance = instance;
  cls.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  cls.lpszClassName = kClassName;
  return ::RegisterClassExW(&cls) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HWND PictureBox::Create(HWND parent, int id, const RECT& pixels) {
  return ::CreateWindowExW(0, kClassName, L"", WS_CHILD | WS_VISIBLE, pixels.left, pixels.top,
                           pixels.right - pixels.left, pixels.bottom - pixels.top, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(parent, GWLP_HINSTANCE)), nullptr);
}

void PictureBox::SetPicture(HWND box, const std::wstring& path) {
  State* state = StateOf(box);
  // A file that could not be read is looked for again when its path is given again.
  if (!state || (path == state->path && (path.empty() || !state->frames.empty()))) return;
  try {
    ::KillTimer(box, kAnimationTimer);
    state->frames.clear();
    state->delaysMs.clear();
    state->current = 0;
    state->paused = false;
    state->path = path;
    if (!path.empty()) {
      ++state->loadCount;
      Load(*state);
    }
    StartFrame(box, *state);
  } catch (...) {
    state->frames.clear();  // no memory for the frames: no picture
  }
  ::InvalidateRect(box, nullptr, FALSE);
}

void PictureBox::DrawBox(HWND box, const RECT& pixels, COLORREF color) {
  State* state = StateOf(box);
  if (!state) return;
  try {
    state->boxes.push_back({pixels, color});
  } catch (...) {
    return;
  }
  ::InvalidateRect(box, &pixels, FALSE);
}

void PictureBox::ClearDrawing(HWND box) {
  State* state = StateOf(box);
  if (!state || state->boxes.empty()) return;
  state->boxes.clear();
  ::InvalidateRect(box, nullptr, FALSE);
}

int PictureBox::FrameCount(HWND box) {
  const State* state = StateOf(box);
  return state ? static_cast<int>(state->frames.size()) : 0;
}

int PictureBox::CurrentFrame(HWND box) {
  const State* state = StateOf(box);
  return state ? static_cast<int>(state->current) : 0;
}

int PictureBox::LoadCount(HWND box) {
  const State* state = StateOf(box);
  return state ? state->loadCount : 0;
}

}  // namespace monitor::win
