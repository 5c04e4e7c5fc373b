#pragma once
// An input read as a stream of choices: bytes, choices among n, floats and
// short texts. Past the input's end every read gives zero, so any input is a
// whole stream.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>

namespace fuzzsupport {

// Numbers that break careless arithmetic: signed zeros, NaN, infinities,
// huge, tiny and subnormal values.
inline constexpr float kSpecialFloats[] = {0.0f,
                                           -0.0f,
                                           1.0f,
                                           -1.0f,
                                           0.5f,
                                           std::numeric_limits<float>::quiet_NaN(),
                                           std::numeric_limits<float>::infinity(),
                                           -std::numeric_limits<float>::infinity(),
                                           1e30f,
                                           -1e30f,
                                           65536.0f,
                                           1e-30f,
                                           std::numeric_limits<float>::max(),
                                           std::numeric_limits<float>::denorm_min(),
                                           2.0f,
                                           3.0f};
inline constexpr int kSpecialFloatCount = int(sizeof(kSpecialFloats) / sizeof(kSpecialFloats[0]));

class ByteReader {
public:
  ByteReader(const uint8_t* data, size_t size) : mP(data), mEnd(data + size) {}
  bool More() const { return mP < mEnd; }
  uint8_t Byte() { return mP < mEnd ? *mP++ : 0; }
  int Int(int n) { return n > 0 ? Byte() % n : 0; }
  // One byte k: a special value, then coordinates (k - 16) * step - 8 up
  // to 239, else the next four bytes as raw bits.
  float Float(float step)
  {
    const int k = Byte();
    if (k < kSpecialFloatCount)
      return kSpecialFloats[k];
    if (k < 240)
      return float(k - kSpecialFloatCount) * step - 8.0f;
    uint32_t bits = 0;
    for (int i = 0; i < 4; ++i)
      bits = bits << 8 | Byte();
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
  }
  // Up to 24 bytes of text (any bytes) and its terminator into out.
  void Text(char* out)
  {
    const int n = Int(25);
    for (int i = 0; i < n; ++i)
      out[i] = char(Byte());
    out[n] = '\0';
  }

private:
  const uint8_t* mP;
  const uint8_t* mEnd;
};

} // namespace fuzzsupport
