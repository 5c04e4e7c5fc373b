// printf-style formatting with the %@ conversion for CF objects. Each
// conversion is handed to vsnprintf-compatible snprintf with its argument
// pulled at the type its length modifier names.
#include "CFInternal.h"
#include "CFRuntime.h"

#include <cstdio>
#include <cstring>

namespace standin::cf {
namespace {

template <class T> void AppendFormatted(std::string& out, const std::string& spec, T value)
{
  char small[128];
  const int n = std::snprintf(small, sizeof small, spec.c_str(), value);
  if (n < 0)
    return;
  if (size_t(n) < sizeof small) {
    out.append(small, size_t(n));
    return;
  }
  std::string big(size_t(n) + 1, '\0');
  std::snprintf(big.data(), big.size(), spec.c_str(), value);
  out.append(big.c_str(), size_t(n));
}

} // namespace

std::string FormatText(const std::string& format, va_list args)
{
  va_list ap;
  va_copy(ap, args);
  std::string out;
  const char* p = format.c_str();
  while (*p) {
    if (*p != '%') {
      out.push_back(*p++);
      continue;
    }
    const char* start = p++;
    if (*p == '%') {
      out.push_back('%');
      ++p;
      continue;
    }
    std::string spec = "%";
    while (*p && std::strchr("-+ #0'", *p))
      spec.push_back(*p++);
    // '*' width and precision are resolved now so the conversion text stays self-contained.
    auto number = [&]() {
      if (*p == '*') {
        spec += std::to_string(va_arg(ap, int));
        ++p;
      } else {
        while (*p >= '0' && *p <= '9')
          spec.push_back(*p++);
      }
    };
    number();
    if (*p == '.') {
      spec.push_back(*p++);
      number();
    }
    std::string length;
    while (*p && std::strchr("hlqLzjt", *p))
      length.push_back(*p++);
    const char conv = *p ? *p++ : '\0';
    switch (conv) {
    case '@': {
      const void* object = va_arg(ap, const void*);
      out += object ? AsObject(object)->Describe() : "(null)";
      break;
    }
    case 'd':
    case 'i':
    case 'u':
    case 'x':
    case 'X':
    case 'o':
    case 'c': {
      const bool wide =
        length == "l" || length == "ll" || length == "q" || length == "z" || length == "j" || length == "t";
      if (wide) {
        spec += "ll";
        spec.push_back(conv);
        AppendFormatted(out, spec, va_arg(ap, long long));
      } else {
        spec += length == "hh" || length == "h" ? length : "";
        spec.push_back(conv);
        AppendFormatted(out, spec, va_arg(ap, int));
      }
      break;
    }
    case 'f':
    case 'F':
    case 'e':
    case 'E':
    case 'g':
    case 'G':
    case 'a':
    case 'A':
      if (length == "L") {
        spec += "L";
        spec.push_back(conv);
        AppendFormatted(out, spec, va_arg(ap, long double));
      } else {
        spec.push_back(conv);
        AppendFormatted(out, spec, va_arg(ap, double));
      }
      break;
    case 's': {
      const char* text = va_arg(ap, const char*);
      spec.push_back('s');
      AppendFormatted(out, spec, text ? text : "(null)");
      break;
    }
    case 'p':
      spec.push_back('p');
      AppendFormatted(out, spec, va_arg(ap, void*));
      break;
    default: // unknown conversion: keep the text as written
      out.append(start, size_t(p - start));
      break;
    }
  }
  va_end(ap);
  return out;
}

} // namespace standin::cf
