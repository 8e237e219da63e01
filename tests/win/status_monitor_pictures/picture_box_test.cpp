// The picture boxes against the real GDI+ and window manager, with the pictures the build drew.
#include "status_monitor/win/picture_box.h"

#include <objidl.h>
#include <gdiplus.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/text.h"
#include "common/win/handles.h"
#include "common/win_path.h"
#include "tests/unit/status_monitor_pictures/expected_pictures.h"

namespace {

using common::win::UniqueGdi;
using common::win::UniqueMemoryDc;
using monitor::win::GdiplusSession;
using monitor::win::PictureBox;

std::wstring PicturePath(std::string_view name) {
  wchar_t exe[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, exe, MAX_PATH);
  return common::JoinPath(common::DirectoryOf(exe), common::Utf8ToWide(name));
}

class PictureBoxTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    gdiplus_ = new GdiplusSession;
    ASSERT_TRUE(gdiplus_->Started());
    ASSERT_TRUE(PictureBox::Register(::GetModuleHandleW(nullptr)));
  }
  static void TearDownTestSuite() {
    delete gdiplus_;
    gdiplus_ = nullptr;
  }

  void SetUp() override {
    parent_ = ::CreateWindowExW(0, L"STATIC", L"pictures", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200, nullptr, nullptr,
                                ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(parent_);
    box_ = PictureBox::Create(parent_, 100, RECT{10, 10, 110, 90});
    ASSERT_TRUE(box_);
  }
  void TearDown() override { ::DestroyWindow(parent_); }

  // Lets timers and paints run until `done` holds or two seconds pass.
  template <typename Done>
  static bool PumpUntil(Done done) {
    const DWORD start = ::GetTickCount();
    while (!done() && ::GetTickCount() - start < 2000) {
      MSG msg;
      while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
      ::Sleep(5);
    }
    return done();
  }

  // What the box shows, drawn into a memory bitmap through WM_PRINTCLIENT.
  struct Snapshot {
    UniqueGdi<HBITMAP> bitmap;
    UniqueMemoryDc dc{::CreateCompatibleDC(nullptr)};  // deleted first, letting go of the bitmap
    COLORREF operator()(int x, int y) const { return ::GetPixel(dc.get(), x, y); }
  };
  Snapshot Render() const {
    Snapshot shot;
    HDC screen = ::GetDC(nullptr);
    shot.bitmap.reset(::CreateCompatibleBitmap(screen, 100, 80));
    ::ReleaseDC(nullptr, screen);
    ::SelectObject(shot.dc.get(), shot.bitmap.get());
    ::SendMessageW(box_, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(shot.dc.get()), PRF_CLIENT);
    return shot;
  }

  static GdiplusSession* gdiplus_;
  HWND parent_ = nullptr;
  HWND box_ = nullptr;
};
GdiplusSession* PictureBoxTest::gdiplus_ = nullptr;

TEST_F(PictureBoxTest, GdiplusReadsEachPictureAsMade) {
  for (const auto& expected : pictures_test::ExpectedPictures()) {
    SCOPED_TRACE(std::string(expected.name));
    Gdiplus::Bitmap image(PicturePath(expected.name).c_str());
    ASSERT_EQ(image.GetLastStatus(), Gdiplus::Ok);
    EXPECT_EQ(image.GetWidth(), static_cast<UINT>(expected.width));
    EXPECT_EQ(image.GetHeight(), static_cast<UINT>(expected.height));
    GUID dimension{};
    ASSERT_EQ(image.GetFrameDimensionsList(&dimension, 1), Gdiplus::Ok);
    const size_t frames = std::max<size_t>(1, expected.delays.size());
    EXPECT_EQ(image.GetFrameCount(&dimension), frames);
    if (expected.delays.empty()) continue;
    const UINT size = image.GetPropertyItemSize(PropertyTagFrameDelay);
    ASSERT_GE(size, sizeof(Gdiplus::PropertyItem) + frames * 4);
    std::vector<unsigned char> buffer(size);
    auto* item = reinterpret_cast<Gdiplus::PropertyItem*>(buffer.data());
    ASSERT_EQ(image.GetPropertyItem(PropertyTagFrameDelay, size, item), Gdiplus::Ok);
    const auto* delays = static_cast<const UINT32*>(item->value);
    for (size_t i = 0; i < frames; ++i) EXPECT_EQ(delays[i], static_cast<UINT32>(expected.delays[i])) << i;
  }
}

TEST_F(PictureBoxTest, SamePictureAgainKeepsTheAnimationRunning) {
  const std::wstring ready = PicturePath("READY.gif");
  PictureBox::SetPicture(box_, ready);
  EXPECT_EQ(PictureBox::FrameCount(box_), 8);
  EXPECT_EQ(PictureBox::LoadCount(box_), 1);
  ASSERT_TRUE(PumpUntil([&] { return PictureBox::CurrentFrame(box_) >= 2; }));
  const int frame = PictureBox::CurrentFrame(box_);
  PictureBox::SetPicture(box_, ready);
  EXPECT_EQ(PictureBox::CurrentFrame(box_), frame);
  EXPECT_EQ(PictureBox::LoadCount(box_), 1);

  // Another file starts from its first frame; its timer keeps it going.
  PictureBox::SetPicture(box_, PicturePath("ERROR.gif"));
  EXPECT_EQ(PictureBox::LoadCount(box_), 2);
  EXPECT_EQ(PictureBox::CurrentFrame(box_), 0);
  EXPECT_EQ(PictureBox::FrameCount(box_), 2);
  EXPECT_TRUE(PumpUntil([&] { return PictureBox::CurrentFrame(box_) == 1; }));

  PictureBox::SetPicture(box_, L"");
  EXPECT_EQ(PictureBox::FrameCount(box_), 0);
  EXPECT_EQ(PictureBox::LoadCount(box_), 2);
}

TEST_F(PictureBoxTest, MissingOrUnreadableFileLeavesTheBoxEmptyAndWorking) {
  const COLORREF face = ::GetSysColor(COLOR_3DFACE);
  // Not a GIF at all: the test program itself.
  for (const std::wstring& path : {PicturePath("NO_SUCH.gif"), PicturePath("win_status_monitor_pictures.exe")}) {
    PictureBox::SetPicture(box_, path);
    EXPECT_EQ(PictureBox::FrameCount(box_), 0);
    EXPECT_TRUE(::IsWindow(box_));
    EXPECT_EQ(Render()(40, 30), face);
  }
  PictureBox::SetPicture(box_, PicturePath("ANY.gif"));
  EXPECT_EQ(PictureBox::FrameCount(box_), 1);
}

TEST_F(PictureBoxTest, AnimationPausesWhileHiddenAndGoesOnWhenShown) {
  PictureBox::SetPicture(box_, PicturePath("READY.gif"));
  ASSERT_TRUE(PumpUntil([&] { return PictureBox::CurrentFrame(box_) >= 1; }));
  ::ShowWindow(parent_, SW_HIDE);
  PumpUntil([] { return false; });  // the next frame finds the box hidden and stops
  const int frame = PictureBox::CurrentFrame(box_);
  PumpUntil([] { return false; });
  EXPECT_EQ(PictureBox::CurrentFrame(box_), frame);
  ::ShowWindow(parent_, SW_SHOWNA);
  EXPECT_TRUE(PumpUntil([&] { return PictureBox::CurrentFrame(box_) != frame; }));
}

TEST_F(PictureBoxTest, PaintsPictureOnFaceColourWithBoxesAbove) {
  const COLORREF face = ::GetSysColor(COLOR_3DFACE), white = RGB(255, 255, 255), ink = RGB(128, 128, 255);
  PictureBox::SetPicture(box_, PicturePath("ERROR.gif"));
  const auto first = Render();
  EXPECT_EQ(first(0, 0), face);    // see-through corner of the picture
  EXPECT_EQ(first(80, 70), face);  // beyond the picture
  EXPECT_EQ(first(32, 20), white);  // the exclamation mark, drawn 1:1
  ASSERT_TRUE(PumpUntil([&] { return PictureBox::CurrentFrame(box_) == 1; }));
  const auto second = Render();
  EXPECT_NE(second(20, 32), first(20, 32));  // the disc blinks
  EXPECT_NE(second(20, 32), face);

  PictureBox::DrawBox(box_, RECT{66, 0, 90, 12}, ink);
  PictureBox::DrawBox(box_, RECT{50, 50, 60, 60}, RGB(0, 0, 0));  // over the picture
  const auto boxes = Render();
  EXPECT_EQ(boxes(66, 0), ink);
  EXPECT_EQ(boxes(89, 11), ink);
  EXPECT_EQ(boxes(90, 11), face);
  EXPECT_EQ(boxes(89, 12), face);
  EXPECT_EQ(boxes(55, 55), RGB(0, 0, 0));

  PictureBox::ClearDrawing(box_);
  const auto cleared = Render();
  EXPECT_EQ(cleared(70, 5), face);
  EXPECT_NE(cleared(55, 55), RGB(0, 0, 0));
  EXPECT_EQ(cleared(32, 20), white);  // the picture stays
}

}  // namespace
