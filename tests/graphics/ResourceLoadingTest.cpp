// Loading by name: the pixel-density search over real files, scaled copies
// drawn through a layer and cached, SVG documents and raw files.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>

#include "EditorFixture.h"
#include "ResourceCaches.h"
#include "TempFolder.h"

using namespace testsupport;
namespace fs = std::filesystem;

namespace {

// The order written out from its description: T, then 4 down to T + 1, then
// T - 1 down to 1.
std::vector<int> DensityOrder(int t)
{
  std::vector<int> order;
  if (t < 1)
    return order;
  order.push_back(t);
  for (int s = 4; s > t; --s)
    order.push_back(s);
  for (int s = t - 1; s >= 1; --s)
    order.push_back(s);
  return order;
}

// An image of w x h points at density s: each point one colour made from its
// position, s x s pixels large.
RGBAImage Blocks(int w, int h, int s)
{
  RGBAImage img{w * s, h * s, {}};
  img.px.resize(static_cast<std::size_t>(img.w) * img.h * 4);
  for (int y = 0; y < img.h; ++y)
    for (int x = 0; x < img.w; ++x) {
      std::uint8_t* p = &img.px[(static_cast<std::size_t>(y) * img.w + x) * 4];
      p[0] = static_cast<std::uint8_t>(40 * (x / s) + 10);
      p[1] = static_cast<std::uint8_t>(60 * (y / s) + 20);
      p[2] = 200;
      p[3] = 255;
    }
  return img;
}

class Resources : public EditorFixture {
protected:
  void SetUp() override
  {
    EditorFixture::SetUp();
    dir = folder.Path().string();
    ASSERT_FALSE(dir.empty());
  }

  std::string Path(const std::string& file) const { return dir + "/" + file; }
  void Write(const std::string& file, const RGBAImage& img) { ASSERT_TRUE(WritePNG(Path(file), img)); }
  static const TestBitmap& Pixels(const IBitmap& b) { return *dynamic_cast<TestBitmap*>(b.GetAPIBitmap()); }

  TempFolder folder;
  std::string dir;
};

} // namespace

TEST_F(Resources, DensitiesAreTriedInOrderUnderTheirOwnNames)
{
  const RGBAImage img = Blocks(1, 1, 1);
  for (int t = 0; t <= 5; ++t) {
    const std::vector<int> order = DensityOrder(t);
    // With only the later densities present, the first of them is found.
    for (std::size_t k = 0; k < order.size(); ++k) {
      fs::remove_all(dir);
      fs::create_directory(dir);
      for (std::size_t j = k; j < order.size(); ++j) {
        const int s = order[j];
        Write(s == 1 ? "knob.png" : "knob@" + std::to_string(s) + "x.png", img);
        Write(s == 1 ? "plain" : "plain@" + std::to_string(s) + "x", img);
      }
      for (const char* name : {"knob.png", "plain"}) {
        UT_String path;
        int source = -1;
        EXPECT_GT(g->SearchImageResource(Path(name).c_str(), "png", path, t, source), 0) << t << " " << name;
        EXPECT_EQ(source, order[k]) << t << " " << name;
        const std::string base = std::string(name) == "plain" ? "plain" : "knob";
        const std::string ext = std::string(name) == "plain" ? "" : ".png";
        const std::string expect = order[k] == 1 ? name : base + "@" + std::to_string(order[k]) + "x" + ext;
        EXPECT_EQ(path.Get(), Path(expect)) << t;
      }
    }
  }
  UT_String path;
  int source = 7;
  EXPECT_EQ(g->SearchImageResource(Path("knob.png").c_str(), "png", path, 0, source), 0);
  EXPECT_EQ(source, 0);
  EXPECT_EQ(g->SearchImageResource(Path("none.png").c_str(), "png", path, 2, source), 0);
  // A dot in a folder name is no extension, and long densities still fit.
  fs::create_directory(Path("v1.2"));
  Write("v1.2/pic@2x", img);
  EXPECT_GT(g->SearchImageResource(Path("v1.2/pic").c_str(), "png", path, 2, source), 0);
  EXPECT_EQ(path.Get(), Path("v1.2/pic@2x"));
}

TEST_F(Resources, OnlyThePlainFileAtTargetTwoGivesADoubledCopyCachedOnce)
{
  const RGBAImage one = Blocks(3, 2, 1);
  Write("knob.png", one);
  const std::string name = Path("knob.png");
  g->Resize(400, 300, 1.5f); // the copy is drawn at the file's draw scale, then ours returns
  const IBitmap b = g->LoadBitmap(name.c_str(), 1, false, 2);
  EXPECT_EQ(g->GetDrawScale(), 1.5f);
  ASSERT_TRUE(b.IsValid());
  EXPECT_EQ(g->mBitmapLoads, 1);
  EXPECT_EQ(b.W(), 3);
  EXPECT_EQ(b.H(), 2);
  EXPECT_EQ(b.GetScale(), 2.f);
  const TestBitmap& px = Pixels(b);
  ASSERT_EQ(px.GetWidth(), 6);
  ASSERT_EQ(px.GetHeight(), 4);
  const RGBAImage two = Blocks(3, 2, 2);
  EXPECT_EQ(px.mPixels, two.px); // every point a 2 x 2 block
  EXPECT_TRUE(WritePNG(std::string(VORELLE_TEST_OUTPUT_DIR) + "/knob_at_2x.png", RGBAImage{6, 4, px.mPixels}));
  {
    std::lock_guard<std::recursive_mutex> lock(BitmapCache().mMutex);
    EXPECT_EQ(BitmapCache().Find(name.c_str(), 2.0), b.GetAPIBitmap());
    EXPECT_EQ(BitmapCache().Find(name.c_str(), 1.0), nullptr); // the source went
    EXPECT_EQ(BitmapCache().Size(), 1);
  }
  const IBitmap again = g->LoadBitmap(name.c_str(), 1, false, 2);
  EXPECT_EQ(again.GetAPIBitmap(), b.GetAPIBitmap());
  EXPECT_EQ(g->mBitmapLoads, 1);
  // The screen scale restored after drawing the copy.
  EXPECT_EQ(g->GetScreenScale(), 1.f);
  EXPECT_EQ(g->NLayers(), 0);
}

TEST_F(Resources, OnlyTheDoubleFileAtTargetOneGivesAPlainCopy)
{
  Write("fader@2x.png", Blocks(3, 2, 2));
  const std::string name = Path("fader.png");
  const IBitmap b = g->LoadBitmap(name.c_str(), 2, true, 1);
  ASSERT_TRUE(b.IsValid());
  EXPECT_EQ(b.GetScale(), 1.f);
  EXPECT_EQ(b.N(), 2);
  EXPECT_TRUE(b.GetFramesAreHorizontal());
  EXPECT_EQ(Pixels(b).mPixels, Blocks(3, 2, 1).px);
  std::lock_guard<std::recursive_mutex> lock(BitmapCache().mMutex);
  EXPECT_EQ(BitmapCache().Find(name.c_str(), 1.0), b.GetAPIBitmap());
  EXPECT_EQ(BitmapCache().Size(), 1);
}

TEST_F(Resources, BothFilesAtTargetOneLoadThePlainOneUnscaled)
{
  Write("led.png", Blocks(2, 2, 1));
  Write("led@2x.png", Blocks(2, 2, 2));
  g->TakeLog();
  const IBitmap b = g->LoadBitmap(Path("led.png").c_str(), 1, false, 0); // 0: the screen scale
  ASSERT_TRUE(b.IsValid());
  EXPECT_EQ(b.GetScale(), 1.f);
  EXPECT_EQ(g->TakeLog(), (Log{"LoadAPIBitmap 1 " + Path("led.png")}));
  EXPECT_EQ(g->ReloadBitmapForScale(b).GetAPIBitmap(), b.GetAPIBitmap());
}

TEST_F(Resources, NamesTheBackEndCannotReadTouchNoFile)
{
  Write("pic", Blocks(1, 1, 1));
  Write("pic.bmp", Blocks(1, 1, 1));
  for (const char* file : {"pic", "pic.bmp", "missing.png"}) {
    const IBitmap b = g->LoadBitmap(Path(file).c_str(), 1, false, 1);
    EXPECT_FALSE(b.IsValid()) << file;
    EXPECT_EQ(b.W(), 0);
    EXPECT_STREQ(b.GetResourceName(), "");
  }
  EXPECT_EQ(g->mBitmapLoads, 0);
  EXPECT_FALSE(g->LoadBitmap(nullptr).IsValid());
}

TEST_F(Resources, BitmapFromMemoryIsDecodedAtScaleOneAndScaledToTheTarget)
{
  Write("mem.png", Blocks(2, 3, 1));
  std::ifstream f(Path("mem.png"), std::ios::binary);
  const std::vector<char> bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  const IBitmap b = g->LoadBitmapFromData("mem.png", bytes.data(), static_cast<int>(bytes.size()), 1, false, 2);
  ASSERT_TRUE(b.IsValid());
  EXPECT_EQ(Pixels(b).mPixels, Blocks(2, 3, 2).px);
  EXPECT_EQ(g->LoadBitmapFromData("mem.png", nullptr, 0, 1, false, 2).GetAPIBitmap(), b.GetAPIBitmap());
  // Served from the cache at another target: the cached density is scaled.
  EXPECT_TRUE(g->LoadBitmapFromData("mem.png", nullptr, 0, 1, false, 1).IsValid());
  EXPECT_EQ(g->mBitmapLoads, 1);
  EXPECT_FALSE(g->LoadBitmapFromData("junk.png", "not a png", 9).IsValid());
}

TEST_F(Resources, SVGDocumentsAreParsedOnceByName)
{
  const char text[] = "<svg width='20' height='10'><rect width='5' height='5'/></svg>";
  const ISVG a = g->LoadSVGFromData("doc", text, static_cast<int>(sizeof(text)));
  ASSERT_TRUE(a.IsValid());
  EXPECT_EQ(a.W(), 20.f);
  EXPECT_EQ(g->LoadSVGFromData("doc", "<svg width='1' height='1'/>", 0, "mm", 10.f).mImage, a.mImage);
  // Size 0: up to the text's own end; a size past a NUL stops there.
  const ISVG b = g->LoadSVGFromData("whole", text, 0);
  EXPECT_EQ(b.H(), 10.f);
  const char cut[] = "<svg width='7' height='7'/>\0<svg width='9' height='9'/>";
  EXPECT_EQ(g->LoadSVGFromData("cut", cut, static_cast<int>(sizeof(cut))).W(), 7.f);
  // Any text is a document, possibly of size 0; it is cached like any other.
  const ISVG empty = g->LoadSVGFromData("empty", "", 0);
  ASSERT_TRUE(empty.IsValid());
  EXPECT_EQ(empty.W(), 0.f);

  std::ofstream(Path("bg.svg")) << text;
  const ISVG file = g->LoadSVG(Path("bg.svg").c_str());
  EXPECT_EQ(file.W(), 20.f);
  EXPECT_EQ(g->LoadSVG(Path("bg.svg").c_str()).mImage, file.mImage);
  // Not found: empty, and nothing is cached, so a later call tries again.
  EXPECT_FALSE(g->LoadSVG(Path("later.svg").c_str()).IsValid());
  std::ofstream(Path("later.svg")) << text;
  EXPECT_TRUE(g->LoadSVG(Path("later.svg").c_str()).IsValid());
}

TEST_F(Resources, RawFilesAreReadWholeOrNotAtAll)
{
  std::ofstream(Path("data.bin"), std::ios::binary) << std::string("abc\0def", 7);
  const RawBitmapData data = g->LoadResource(Path("data.bin").c_str(), "bin");
  ASSERT_EQ(data.GetSize(), 7);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(data.Get()), 7), std::string("abc\0def", 7));
  EXPECT_EQ(g->LoadResource(Path("none.bin").c_str(), "bin").GetSize(), 0);
  std::ofstream(Path("zero.bin"));
  EXPECT_EQ(g->LoadResource(Path("zero.bin").c_str(), "bin").GetSize(), 0);
  // A file whose end cannot be sought has no size: nothing, not a huge buffer.
  EXPECT_EQ(g->LoadResource("/proc/self/mem", "mem").GetSize(), 0);
}

TEST_F(Resources, CachesEmptyWhenTheLastEditorCloses)
{
  Write("k.png", Blocks(1, 1, 1));
  EXPECT_TRUE(g->LoadBitmap(Path("k.png").c_str(), 1, false, 1).IsValid());
  EXPECT_TRUE(g->LoadSVGFromData("s", "<svg/>", 0).IsValid());
  dlg.CloseWindow();
  std::lock_guard<std::recursive_mutex> lock(BitmapCache().mMutex);
  EXPECT_EQ(BitmapCache().mUsers, 0);
  EXPECT_EQ(BitmapCache().Size(), 0);
  EXPECT_EQ(SVGCache().mUsers, 0);
  EXPECT_EQ(SVGCache().Size(), 0);
}

TEST_F(Resources, BackgroundsAreMadeByTheInstalledMakersAndGoFirst)
{
  Add("a", IRECT(0, 0, 10, 10));
  EXPECT_EQ(g->AttachBackground("x.png"), nullptr); // no makers yet
  Write("bg.png", Blocks(4, 4, 1));
  std::string seen;
  IGraphics::BackgroundMakers makers;
  makers.bitmap = [&](float x, float y, const IBitmap& b) {
    seen = Fmt("bitmap %g,%g %gx%g", x, y, b.W(), b.H());
    return new RecordingControl("bmp", IRECT(x, y, x + b.W(), y + b.H()));
  };
  makers.svg = [&](const IRECT& r, const ISVG& svg) {
    seen = Fmt("svg %g %g", r.W(), svg.IsValid());
    return new RecordingControl("svg", r);
  };
  makers.panel = [&](const IRECT& r, const IPattern& p) {
    seen = Fmt("panel %g %g", r.H(), p.mStops[0].mColor.R);
    return new RecordingControl("panel", r);
  };
  g->SetBackgroundMakers(makers);
  IControl* bmp = g->AttachBackground(Path("bg.png").c_str());
  EXPECT_EQ(seen, "bitmap 0,0 4x4");
  EXPECT_EQ(g->GetControl(0), bmp);
  g->AttachSVGBackground(Path("none.svg").c_str());
  EXPECT_EQ(seen, "svg 400 0");
  IControl* panel = g->AttachPanelBackground(IPattern(IColor(255, 9, 0, 0)));
  EXPECT_EQ(seen, "panel 300 9");
  EXPECT_EQ(g->GetControl(0), panel);
  EXPECT_TRUE(panel->GetIgnoreMouse());
  EXPECT_EQ(g->NControls(), 4);
}
