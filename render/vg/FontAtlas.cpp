#include "FontAtlas.h"

#include "FontStashInternal.h"

namespace {

int insertNode(FSTatlas* atlas, int idx, int x, int y, int w)
{
  if (atlas->nnodes + 1 > atlas->cnodes) {
    const int cnodes = atlas->cnodes == 0 ? 8 : atlas->cnodes * 2;
    auto* nodes = static_cast<FSTatlasNode*>(
      fst_grow(atlas->nodes, sizeof(FSTatlasNode) * atlas->nnodes, sizeof(FSTatlasNode) * cnodes));
    if (nodes == nullptr)
      return 0;
    atlas->nodes = nodes;
    atlas->cnodes = cnodes;
  }
  for (int i = atlas->nnodes; i > idx; i--)
    atlas->nodes[i] = atlas->nodes[i - 1];
  atlas->nodes[idx] = FSTatlasNode{static_cast<short>(x), static_cast<short>(y), static_cast<short>(w)};
  atlas->nnodes++;
  return 1;
}

void removeNode(FSTatlas* atlas, int idx)
{
  if (atlas->nnodes == 0)
    return;
  for (int i = idx; i < atlas->nnodes - 1; i++)
    atlas->nodes[i] = atlas->nodes[i + 1];
  atlas->nnodes--;
}

// The y at which a w x h rectangle dropped at node i comes to rest, or -1.
int rectFits(const FSTatlas* atlas, int i, int w, int h)
{
  const int x = atlas->nodes[i].x;
  int y = atlas->nodes[i].y;
  if (x + w > atlas->width)
    return -1;
  int spaceLeft = w;
  while (spaceLeft > 0) {
    if (i == atlas->nnodes)
      return -1;
    if (atlas->nodes[i].y > y)
      y = atlas->nodes[i].y;
    if (y + h > atlas->height)
      return -1;
    spaceLeft -= atlas->nodes[i].width;
    ++i;
  }
  return y;
}

int addSkylineLevel(FSTatlas* atlas, int idx, int x, int y, int w, int h)
{
  if (insertNode(atlas, idx, x, y + h, w) == 0)
    return 0;

  // Shrink or drop the levels the new one covers.
  for (int i = idx + 1; i < atlas->nnodes; i++) {
    FSTatlasNode& prev = atlas->nodes[i - 1];
    FSTatlasNode& node = atlas->nodes[i];
    if (node.x >= prev.x + prev.width)
      break;
    const int shrink = prev.x + prev.width - node.x;
    node.x = static_cast<short>(node.x + shrink);
    node.width = static_cast<short>(node.width - shrink);
    if (node.width > 0)
      break;
    removeNode(atlas, i);
    i--;
  }

  for (int i = 0; i < atlas->nnodes - 1; i++) {
    if (atlas->nodes[i].y == atlas->nodes[i + 1].y) {
      atlas->nodes[i].width = static_cast<short>(atlas->nodes[i].width + atlas->nodes[i + 1].width);
      removeNode(atlas, i + 1);
      i--;
    }
  }
  return 1;
}

} // namespace

FSTatlas* fst_allocAtlas(int width, int height, int nnodes)
{
  auto* atlas = static_cast<FSTatlas*>(fst_allocZeroed(sizeof(FSTatlas)));
  if (atlas == nullptr)
    return nullptr;
  atlas->width = width;
  atlas->height = height;
  atlas->nodes = static_cast<FSTatlasNode*>(fst_allocZeroed(sizeof(FSTatlasNode) * static_cast<size_t>(nnodes)));
  if (atlas->nodes == nullptr) {
    fst_free(atlas);
    return nullptr;
  }
  atlas->cnodes = nnodes;
  atlas->nodes[0] = FSTatlasNode{0, 0, static_cast<short>(width)};
  atlas->nnodes = 1;
  return atlas;
}

void fst_deleteAtlas(FSTatlas* atlas)
{
  if (atlas == nullptr)
    return;
  fst_free(atlas->nodes);
  fst_free(atlas);
}

void fst_atlasReset(FSTatlas* atlas, int width, int height)
{
  atlas->width = width;
  atlas->height = height;
  atlas->nnodes = 0;
  // The node array holds at least one slot from creation on.
  atlas->nodes[0] = FSTatlasNode{0, 0, static_cast<short>(width)};
  atlas->nnodes = 1;
}

void fst_atlasExpand(FSTatlas* atlas, int width, int height)
{
  if (width > atlas->width)
    insertNode(atlas, atlas->nnodes, atlas->width, 0, width - atlas->width);
  atlas->width = width;
  atlas->height = height;
}

int fst_atlasAddRect(FSTatlas* atlas, int rw, int rh, int* rx, int* ry)
{
  if (rw <= 0 || rh <= 0)
    return 0;
  int besth = 0, bestw = 0, besti = -1, bestx = -1, besty = -1;
  for (int i = 0; i < atlas->nnodes; i++) {
    const int y = rectFits(atlas, i, rw, rh);
    if (y == -1)
      continue;
    if (besti == -1 || y + rh < besth || (y + rh == besth && atlas->nodes[i].width < bestw)) {
      besti = i;
      bestw = atlas->nodes[i].width;
      besth = y + rh;
      bestx = atlas->nodes[i].x;
      besty = y;
    }
  }
  if (besti == -1)
    return 0;
  if (addSkylineLevel(atlas, besti, bestx, besty, rw, rh) == 0)
    return 0;
  *rx = bestx;
  *ry = besty;
  return 1;
}
