// Whatever the decoder does with data that breaks the coding rules, the walk
// refuses it first, so on the data it lets through the decoder consumes
// exactly the bits the walk counted.
#include "JpegScanData.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

// Above this the decoded picture (4 bytes a pixel) exceeds what the image
// allocator hands out, so no such picture decodes; refusing it keeps the
// refinement state below bounds.
constexpr long long kMaxPixels = 64ll << 20;
constexpr int kMaxComponents = 4;

int ByteAt(const unsigned char* data, int ndata, long at) { return at < ndata ? data[at] : 0; }

// Canonical Huffman codes from the 16 counts: per length the smallest and
// largest code and where its symbols start.
struct HuffmanTable {
  bool usable = false;
  int codes = 0;
  int minCode[17] = {};
  int maxCode[17] = {};
  int firstSymbol[17] = {};
  unsigned char symbols[256] = {};
};

// A table whose counts claim more codes than a length holds is left unusable:
// no scan may decode with it.
void Build(HuffmanTable& table, const unsigned char* data, int ndata, long at)
{
  int code = 0;
  table.codes = 0;
  table.usable = true;
  for (int length = 1; length <= 16; ++length) {
    const int count = ByteAt(data, ndata, at + length - 1);
    table.firstSymbol[length] = table.codes;
    table.minCode[length] = code;
    table.maxCode[length] = count ? code + count - 1 : -1;
    code += count;
    table.codes += count;
    table.usable = table.usable && code <= (1 << length) && table.codes <= 256;
    code <<= 1;
  }
  for (int i = 0; i < table.codes && i < 256; ++i)
    table.symbols[i] = (unsigned char)ByteAt(data, ndata, at + 16 + i);
}

// The bits of one restart interval: bytes up to the next marker, a stuffed
// 0xFF 0x00 counting as one 0xFF. Every read fails once they are spent.
class IntervalBits {
public:
  IntervalBits(const unsigned char* data, int ndata, long at) : data_(data), ndata_(ndata), at_(at) {}

  bool Read(int count, int& value)
  {
    value = 0;
    for (int i = 0; i < count; ++i) {
      if (left_ == 0 && !Fetch())
        return false;
      --left_;
      value = (value << 1) | ((byte_ >> left_) & 1);
    }
    return true;
  }

  bool Decode(const HuffmanTable& table, int& symbol)
  {
    int code = 0;
    for (int length = 1; length <= 16; ++length) {
      int bit;
      if (!Read(1, bit))
        return false;
      code = (code << 1) | bit;
      if (table.maxCode[length] >= 0 && code <= table.maxCode[length]) {
        symbol = table.symbols[table.firstSymbol[length] + code - table.minCode[length]];
        return true;
      }
    }
    return false;
  }

  // The marker that closes the data (the rest of the last byte and any bytes
  // before it are skipped): its code, with the position just past it, or -1
  // at the end of the bytes.
  int Close(long& after)
  {
    for (long at = at_; at < ndata_;) {
      if (data_[at] != 0xFF) {
        ++at;
        continue;
      }
      long next = at + 1;
      while (next < ndata_ && data_[next] == 0xFF)
        ++next;
      if (next >= ndata_)
        break;
      if (data_[next] != 0x00) {
        after = next + 1;
        return data_[next];
      }
      at = next + 1;
    }
    after = ndata_;
    return -1;
  }

private:
  bool Fetch()
  {
    if (at_ >= ndata_)
      return false;
    if (data_[at_] != 0xFF) {
      byte_ = data_[at_++];
      left_ = 8;
      return true;
    }
    long next = at_ + 1;
    while (next < ndata_ && data_[next] == 0xFF)
      ++next;
    if (next >= ndata_ || data_[next] != 0x00)
      return false;
    byte_ = 0xFF;
    left_ = 8;
    at_ = next + 1;
    return true;
  }

  const unsigned char* data_;
  int ndata_;
  long at_;
  int byte_ = 0, left_ = 0;
};

struct Component {
  int id = 0, h = 1, v = 1;
  long blocksWide = 0, blocksHigh = 0; // of the component alone
  int dcPrediction = 0;
  std::vector<uint64_t> nonzero; // per block, which coefficients an AC scan made nonzero
};

struct Scan {
  int count = 0;
  Component* components[kMaxComponents] = {};
  const HuffmanTable* dc[kMaxComponents] = {};
  const HuffmanTable* ac[kMaxComponents] = {};
  int start = 0, end = 63, high = 0, low = 0;
};

class ScanWalk {
public:
  ScanWalk(const unsigned char* data, int ndata) : data_(data), ndata_(ndata) {}

  bool Run(long at)
  {
    while (at < ndata_) {
      if (data_[at++] != 0xFF)
        continue;
      while (at < ndata_ && data_[at] == 0xFF)
        ++at;
      if (at >= ndata_)
        break;
      const int marker = data_[at++];
      if (marker == 0xD9)
        break;
      if (marker == 0x00 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7))
        continue;
      const long end = at + Word(at);
      if (marker == 0xC4)
        ReadTables(at + 2, end);
      if (marker == 0xDD)
        restartInterval_ = Word(at + 2);
      if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC &&
          !ReadFrame(marker, at + 2))
        return false;
      if (marker == 0xDA) {
        if (!Walk(at + 2, end, at))
          return false;
        continue;
      }
      at = end;
    }
    return true;
  }

private:
  int Word(long at) const { return (ByteAt(data_, ndata_, at) << 8) | ByteAt(data_, ndata_, at + 1); }

  void ReadTables(long at, long end)
  {
    while (at < end && at < ndata_) {
      const int tc = data_[at] >> 4, th = data_[at] & 15;
      if (tc > 1 || th > 3)
        return; // no table is read past this
      Build(tables_[tc][th], data_, ndata_, at + 1);
      at += 17 + tables_[tc][th].codes;
    }
  }

  // Sequential and progressive Huffman frames only: the decoder reads no other.
  bool ReadFrame(int marker, long at)
  {
    if (framed_ || marker > 0xC2)
      return false;
    framed_ = true;
    progressive_ = marker == 0xC2;
    const long height = Word(at + 1), width = Word(at + 3);
    count_ = ByteAt(data_, ndata_, at + 5);
    if (width == 0 || height == 0 || width * height > kMaxPixels || count_ < 1 || count_ > kMaxComponents)
      return false;
    for (int i = 0; i < count_; ++i) {
      Component& c = components_[i];
      c.id = ByteAt(data_, ndata_, at + 6 + 3 * i);
      c.h = ByteAt(data_, ndata_, at + 7 + 3 * i) >> 4;
      c.v = ByteAt(data_, ndata_, at + 7 + 3 * i) & 15;
      if (c.h < 1 || c.h > 4 || c.v < 1 || c.v > 4)
        return false;
      for (int j = 0; j < i; ++j)
        if (components_[j].id == c.id)
          return false;
      maxH_ = c.h > maxH_ ? c.h : maxH_;
      maxV_ = c.v > maxV_ ? c.v : maxV_;
    }
    mcusWide_ = (width + 8 * maxH_ - 1) / (8 * maxH_);
    mcusHigh_ = (height + 8 * maxV_ - 1) / (8 * maxV_);
    for (int i = 0; i < count_; ++i) {
      Component& c = components_[i];
      c.blocksWide = ((width * c.h + maxH_ - 1) / maxH_ + 7) / 8;
      c.blocksHigh = ((height * c.v + maxV_ - 1) / maxV_ + 7) / 8;
      if (progressive_)
        c.nonzero.assign(std::size_t(c.blocksWide * c.blocksHigh), 0);
    }
    return true;
  }

  // The header from `at` to `end`; false for one no decoder follows in step.
  bool ReadScan(long at, Scan& scan)
  {
    scan.count = ByteAt(data_, ndata_, at);
    if (!framed_ || scan.count < 1 || scan.count > count_)
      return false;
    for (int i = 0; i < scan.count; ++i) {
      const int id = ByteAt(data_, ndata_, at + 1 + 2 * i), tables = ByteAt(data_, ndata_, at + 2 + 2 * i);
      for (int j = 0; j < count_; ++j)
        if (components_[j].id == id)
          scan.components[i] = &components_[j];
      for (int j = 0; j < i; ++j)
        if (scan.components[j] == scan.components[i])
          return false;
      if (!scan.components[i] || (tables >> 4) > 3 || (tables & 15) > 3)
        return false;
      scan.dc[i] = &tables_[0][tables >> 4];
      scan.ac[i] = &tables_[1][tables & 15];
    }
    const long p = at + 1 + 2 * scan.count;
    scan.start = ByteAt(data_, ndata_, p);
    scan.end = ByteAt(data_, ndata_, p + 1);
    scan.high = ByteAt(data_, ndata_, p + 2) >> 4;
    scan.low = ByteAt(data_, ndata_, p + 2) & 15;
    if (!progressive_)
      return scan.start == 0 && scan.end == 63 && scan.high == 0 && scan.low == 0;
    if (scan.low > 13 || scan.high > 13 || scan.end > 63)
      return false;
    if (scan.start == 0)
      return scan.end == 0;
    return scan.count == 1 && scan.end >= scan.start;
  }

  // Every block of the scan, interval by interval; `next` is left where the
  // marker walk goes on.
  bool Walk(long header, long dataStart, long& next)
  {
    Scan scan;
    if (!ReadScan(header, scan))
      return false;
    for (int i = 0; i < scan.count; ++i) {
      const bool dc = scan.start == 0, ac = !progressive_ || scan.start > 0;
      if ((dc && scan.high == 0 && !scan.dc[i]->usable) || (ac && !scan.ac[i]->usable))
        return false;
      scan.components[i]->dcPrediction = 0;
    }
    const Component& only = *scan.components[0];
    const long units = scan.count == 1 ? only.blocksWide * only.blocksHigh : mcusWide_ * mcusHigh_;
    const long interval = restartInterval_ ? restartInterval_ : units;
    IntervalBits bits(data_, ndata_, dataStart);
    eobRun_ = 0;
    for (long unit = 0; unit < units; ++unit) {
      if (unit > 0 && unit % interval == 0) {
        const int marker = bits.Close(next);
        if (marker < 0xD0 || marker > 0xD7)
          return false; // the data ends before the scan does
        bits = IntervalBits(data_, ndata_, next);
        eobRun_ = 0;
        for (int i = 0; i < scan.count; ++i)
          scan.components[i]->dcPrediction = 0;
      }
      if (scan.count == 1) {
        if (!Block(bits, scan, 0, unit))
          return false;
        continue;
      }
      for (int i = 0; i < scan.count; ++i)
        for (int y = 0; y < scan.components[i]->v; ++y)
          for (int x = 0; x < scan.components[i]->h; ++x)
            if (!Block(bits, scan, i, -1))
              return false;
    }
    const int marker = bits.Close(next);
    if (marker >= 0)
      next -= 2; // the marker walk reads it
    return true;
  }

  // One block of component `i`; `index` is its place in the component's
  // block grid in a scan of one component.
  bool Block(IntervalBits& bits, const Scan& scan, int i, long index)
  {
    Component& c = *scan.components[i];
    if (!progressive_)
      return Dc(bits, *scan.dc[i], c, 0) && AcFirst(bits, *scan.ac[i], nullptr, 1, 63);
    if (scan.start == 0) {
      int bit;
      return scan.high ? bits.Read(1, bit) : Dc(bits, *scan.dc[i], c, scan.low);
    }
    uint64_t& nonzero = c.nonzero[std::size_t(index)];
    if (scan.high == 0) {
      if (eobRun_ > 0) {
        --eobRun_;
        return true;
      }
      return AcFirst(bits, *scan.ac[i], &nonzero, scan.start, scan.end);
    }
    return AcRefine(bits, *scan.ac[i], nonzero, scan.start, scan.end);
  }

  bool Dc(IntervalBits& bits, const HuffmanTable& table, Component& c, int low)
  {
    int size, value;
    if (!bits.Decode(table, size) || size > 15 || !bits.Read(size, value))
      return false;
    if (size > 0 && value < (1 << (size - 1)))
      value -= (1 << size) - 1;
    const long long dc = (long long)c.dcPrediction + value;
    if (dc * (1ll << low) < -32768 || dc * (1ll << low) > 32767)
      return false;
    c.dcPrediction = int(dc);
    return true;
  }

  // A sequential block's AC part, or a first AC pass of the band.
  bool AcFirst(IntervalBits& bits, const HuffmanTable& table, uint64_t* nonzero, int k, int end)
  {
    while (k <= end) {
      int rs, extra;
      if (!bits.Decode(table, rs))
        return false;
      const int run = rs >> 4, size = rs & 15;
      if (size == 0 && run < 15) {
        if (run == 0)
          return true;
        if (!nonzero || !bits.Read(run, extra))
          return false;                    // a sequential block has no end-of-band runs
        eobRun_ = (1l << run) - 1 + extra; // the blocks after this one
        return true;
      }
      k += run;
      if (k > end)
        return false;
      if (size > 0 && !bits.Read(size, extra))
        return false;
      if (nonzero && size > 0)
        *nonzero |= uint64_t(1) << k;
      ++k;
    }
    return true;
  }

  // A later pass of the band: one correction bit for every coefficient an
  // earlier pass made nonzero, a run and sign for each that becomes nonzero.
  bool AcRefine(IntervalBits& bits, const HuffmanTable& table, uint64_t& nonzero, int k, int end)
  {
    int bit;
    while (eobRun_ == 0 && k <= end) {
      int rs;
      if (!bits.Decode(table, rs))
        return false;
      int run = rs >> 4;
      const int size = rs & 15;
      if (size == 0 && run < 15) {
        if (!bits.Read(run, bit))
          return false;
        eobRun_ = (1l << run) + bit;
        break;
      }
      if (size > 1 || (size == 1 && !bits.Read(1, bit)))
        return false;
      // Past `run` coefficients still zero (ZRL: 15), to the next one still zero.
      for (; k <= end; ++k) {
        if (nonzero >> k & 1) {
          if (!bits.Read(1, bit))
            return false;
        } else if (run-- == 0) {
          break;
        }
      }
      if (k > end)
        return false;
      if (size == 1)
        nonzero |= uint64_t(1) << k;
      ++k;
    }
    if (eobRun_ > 0) {
      for (; k <= end; ++k)
        if ((nonzero >> k & 1) && !bits.Read(1, bit))
          return false;
      --eobRun_;
    }
    return true;
  }

  const unsigned char* data_;
  int ndata_;
  HuffmanTable tables_[2][4];
  Component components_[kMaxComponents];
  int count_ = 0, maxH_ = 1, maxV_ = 1;
  long mcusWide_ = 0, mcusHigh_ = 0;
  bool framed_ = false, progressive_ = false;
  long restartInterval_ = 0;
  long eobRun_ = 0;
};

} // namespace

bool JpegScansHoldTheirData(const unsigned char* data, int ndata, long at)
{
  ScanWalk walk(data, ndata);
  return walk.Run(at);
}
