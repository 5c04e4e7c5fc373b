// Base64 text from outside (preset blobs): decoding any text never reads past
// it, and what it decodes to survives encode and decode; any bytes survive
// encode and decode, and encode gives only the alphabet in whole quads.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "Base64.h"
#include "FuzzFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::vector<uint8_t> decoded = plugin::Base64Decode(text.c_str());
  if (decoded.size() > size)
    fuzzsupport::Fail("decoded more bytes than text");
  const std::string again = plugin::Base64Encode(decoded.data(), decoded.size());
  if (plugin::Base64Decode(again.c_str()) != decoded)
    fuzzsupport::Fail("decode, encode, decode differs");

  const std::string encoded = plugin::Base64Encode(data, size);
  if (encoded.size() != (size + 2) / 3 * 4)
    fuzzsupport::Fail("encoded length");
  static const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/=";
  if (encoded.find_first_not_of(kAlphabet) != std::string::npos)
    fuzzsupport::Fail("encoded outside the alphabet");
  const std::vector<uint8_t> back = plugin::Base64Decode(encoded.c_str());
  if (back.size() != size || (size && std::memcmp(back.data(), data, size) != 0))
    fuzzsupport::Fail("encode, decode differs");
  return 0;
}
