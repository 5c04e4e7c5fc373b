// Framebuffers and their deferred deletion, whole scales, the bitmap cache
// and the process-wide font-data cache.

#include <Metal/Metal.h>

#include "BackendFixture.h"
#include "FontDataCache.h"
#include "MVG.h"
#include "TempFolder.h"
#include "TestImageCodec.h"

namespace backendtest {
namespace {

using Resources = BackendFixture;

// Whether the renderer still holds an image.
bool Holds(GraphicsVG& g, int image)
{
  return mvgImageHandle(static_cast<VGcontext*>(g.GetDrawContext()), image) != nullptr;
}

TEST_F(Resources, LayersReleasedInAFrameWaitForItsEnd)
{
  g->BeginFrame();
  std::unique_ptr<APIBitmap> inFrame(g->CreateAPIBitmap(20, 20, 1, 1));
  const int image = static_cast<int>(inFrame->GetBitmap());
  ASSERT_TRUE(Holds(*g, image));
  inFrame.reset();
  EXPECT_EQ(g->NDeferredFBOs(), 1);
  EXPECT_TRUE(Holds(*g, image));
  g->EndFrame();
  EXPECT_EQ(g->NDeferredFBOs(), 0);
  EXPECT_FALSE(Holds(*g, image));

  std::unique_ptr<APIBitmap> outside(g->CreateAPIBitmap(20, 20, 1, 1));
  const int other = static_cast<int>(outside->GetBitmap());
  outside.reset();
  EXPECT_EQ(g->NDeferredFBOs(), 0);
  EXPECT_FALSE(Holds(*g, other));
}

TEST_F(Resources, WithoutAMainFramebufferAFrameStillEndsAndFrees)
{
  testsupport::TestDelegate d{1};
  GraphicsVG bare(d, 100, 100);
  void* view = MakeView(100, 100);
  bare.OnViewInitialized(view); // no size yet: no main framebuffer
  ASSERT_TRUE(bare.IsContextReady());
  ASSERT_EQ(bare.GetMainFBO(), nullptr);
  bare.BeginFrame();
  APIBitmap* layer = bare.CreateAPIBitmap(8, 8, 1, 1);
  const int image = static_cast<int>(layer->GetBitmap());
  delete layer;
  EXPECT_EQ(bare.NDeferredFBOs(), 1);
  bare.EndFrame();
  EXPECT_FALSE(bare.InDraw());
  EXPECT_EQ(bare.NDeferredFBOs(), 0);
  EXPECT_FALSE(Holds(bare, image));
  bare.OnViewDestroyed();
  ReleaseView(view);
}

TEST_F(Resources, TheMainFramebufferMeasuresTheEditorInDevicePixels)
{
  testsupport::TestDelegate d{1};
  GraphicsVG* other = Open(d, 64, 48, 2.f);
  ASSERT_NE(other->GetMainFBO(), nullptr);
  MTLTexture* t = mvgImageHandle(static_cast<VGcontext*>(other->GetDrawContext()), other->GetMainFBO()->image);
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->width(), 128u);
  EXPECT_EQ(t->height(), 96u);
  Close(other);
}

TEST_F(Resources, ScalesBelowOneStayWholeAndDrawable)
{
  std::unique_ptr<APIBitmap> b(g->CreateAPIBitmap(10, 6, 0.5f, 1.0));
  EXPECT_EQ(b->GetScale(), 1.f);
  const IBitmap view(b.get(), 1, false);
  EXPECT_EQ(view.W(), 10);
  EXPECT_EQ(view.H(), 6);
}

TEST_F(Resources, BitmapsAreCachedUnderTheScaleTheyWereFoundAt)
{
  testsupport::TempFolder dir;
  testsupport::RGBAImage img;
  img.w = 8;
  img.h = 4;
  img.px.assign(8 * 4 * 4, 255);
  const std::string path = dir.File("knob.png");
  ASSERT_TRUE(testsupport::WritePNG(path, img));

  const IBitmap first = g->LoadBitmap(path.c_str(), 1, false, 2);
  ASSERT_TRUE(first.IsValid());
  EXPECT_EQ(first.GetScale(), 1.f);
  EXPECT_EQ(first.W(), 8);
  const IBitmap again = g->LoadBitmap(path.c_str(), 1, false, 2);
  EXPECT_EQ(again.GetAPIBitmap(), first.GetAPIBitmap());
  EXPECT_EQ(g->NCachedBitmaps(), 1);
  EXPECT_EQ(g->LoadBitmap(path.c_str(), 1, false, 1).GetAPIBitmap(), first.GetAPIBitmap());

  EXPECT_FALSE(g->LoadBitmap(dir.File("missing.png").c_str()).IsValid());
  EXPECT_FALSE(g->LoadBitmap(path.c_str(), 1, false, 1).GetAPIBitmap() == nullptr);

  // From memory: once per name and scale.
  std::vector<unsigned char> bytes = ReadFileBytes(path.c_str());
  APIBitmap* m1 = g->LoadAPIBitmapFromData("mem", bytes.data(), static_cast<int>(bytes.size()), 1);
  APIBitmap* m2 = g->LoadAPIBitmapFromData("mem", bytes.data(), static_cast<int>(bytes.size()), 1);
  EXPECT_EQ(m1, m2);
  EXPECT_EQ(m1->GetWidth(), 8);
  EXPECT_EQ(g->NCachedBitmaps(), 2);
}

TEST_F(Resources, EditorsShareOneFontEntryUntilTheLastCloses)
{
  StaticStorage<IFontData>& cache = FontDataCache::Storage();
  EXPECT_EQ(cache.Size(), 0);
  testsupport::TestDelegate d{1};
  GraphicsVG* other = Open(d, 50, 50);
  ASSERT_TRUE(g->LoadFont("Roboto-Regular", kRobotoPath));
  ASSERT_TRUE(other->LoadFont("Roboto-Regular", kRobotoPath));
  EXPECT_EQ(cache.Size(), 1);
  IRECT r(0, 0, 50, 50);
  EXPECT_GT(other->MeasureText(IText(12, IColor(), "Roboto-Regular"), "x", r), 0.f);
  Close(other);
  EXPECT_EQ(cache.Size(), 1);
  Close(g);
  EXPECT_EQ(cache.Size(), 0);
  EXPECT_EQ(cache.mUsers, 0);
}

TEST_F(Resources, FontsTheEngineCannotTakeAreRefusedAndNotCached)
{
  std::vector<unsigned char> roboto = ReadFileBytes(kRobotoPath);
  ASSERT_FALSE(roboto.empty());
  struct {
    const char* name;
    std::vector<unsigned char> bytes;
    int face;
  } table[] = {
    {"no-bytes", {}, 0},
    {"no-face", roboto, -1},
    {"not-a-font", std::vector<unsigned char>(4096, 0x41), 0},
    {"cut-head", std::vector<unsigned char>(roboto.begin(), roboto.begin() + 300), 0},
  };
  for (auto& row : table) {
    PlatformFontPtr font = std::make_unique<BytesFont>(row.bytes, row.face);
    EXPECT_FALSE(g->LoadAPIFont(row.name, font)) << row.name;
  }
  EXPECT_FALSE(g->LoadAPIFont("null", nullptr));
  EXPECT_EQ(FontDataCache::Storage().Size(), 0);
  PlatformFontPtr good = std::make_unique<BytesFont>(roboto, 0);
  EXPECT_TRUE(g->LoadAPIFont("good", good));
  EXPECT_EQ(FontDataCache::Storage().Size(), 1);

  // A cached entry the engine refuses is reported, not taken for loaded.
  std::vector<unsigned char> junk(1024, 0x5a);
  FontDataCache::Storage().Add(new IFontData(junk.data(), static_cast<int>(junk.size()), 0), "junk", 1.0);
  EXPECT_FALSE(g->LoadAPIFont("junk", nullptr));
  EXPECT_TRUE(g->LoadAPIFont("good", nullptr));
}

} // namespace
} // namespace backendtest
