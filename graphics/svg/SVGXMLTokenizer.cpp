// The small XML tokenizer of the SVG parser: cuts the text in place.
#include <cstring>

#include "SVGParserState.h"

namespace plugin::igraphics {

namespace {

void ParseContent(char* s, SVGContentFn contentFn, void* ud)
{
  while (*s && svgIsSpace(*s))
    s++;
  if (!*s)
    return;
  if (contentFn)
    contentFn(ud, s);
}

// True when the rest of a tag, after the last attribute read, ends in '/'.
bool EndsSelfClosing(const char* s)
{
  const char* last = nullptr;
  for (; *s; s++)
    if (!svgIsSpace(*s))
      last = s;
  return last && *last == '/';
}

void ParseElement(char* s, SVGStartElementFn startFn, SVGEndElementFn endFn, void* ud)
{
  const char* attr[kSVGMaxAttrPairs * 2 + 2];
  int nattr = 0;
  bool start = false, end = false;

  while (*s && svgIsSpace(*s))
    s++;
  if (*s == '/') {
    s++;
    end = true;
  } else {
    start = true;
  }
  // Declarations, processing instructions and empty tags.
  if (!*s || *s == '?' || *s == '!')
    return;

  const char* name = s;
  // A name ends at '/' too, so "<rect/>" is a self-closing rect.
  while (*s && !svgIsSpace(*s) && *s != '/')
    s++;
  if (*s == '/') {
    *s++ = '\0';
    if (start)
      end = true;
  } else if (*s) {
    *s++ = '\0';
  }

  bool selfClosed = end && start;
  while (start && !selfClosed && *s) {
    while (*s && svgIsSpace(*s))
      s++;
    if (!*s)
      break;
    if (*s == '/') {
      end = true;
      break;
    }
    if (nattr >= kSVGMaxAttrPairs * 2) {
      // No room for more pairs; still honour a closing "/".
      end = EndsSelfClosing(s);
      break;
    }
    const char* an = s;
    while (*s && !svgIsSpace(*s) && *s != '=')
      s++;
    if (*s)
      *s++ = '\0';
    while (*s && *s != '"' && *s != '\'')
      s++;
    if (!*s)
      break;
    const char quote = *s++;
    const char* av = s;
    while (*s && *s != quote)
      s++;
    if (*s)
      *s++ = '\0';
    attr[nattr++] = an;
    attr[nattr++] = av;
  }
  attr[nattr++] = nullptr;
  attr[nattr++] = nullptr;

  if (start && startFn)
    startFn(ud, name, attr);
  if (end && endFn)
    endFn(ud, name);
}

// Skips a construct that runs from its opener to `closer` whole, so a '>'
// inside it cannot end it early. Returns the position after it.
char* SkipPast(char* s, const char* closer)
{
  char* e = std::strstr(s, closer);
  return e ? e + std::strlen(closer) : s + std::strlen(s);
}

} // namespace

int svgParseXML(char* input, SVGStartElementFn startFn, SVGEndElementFn endFn, SVGContentFn contentFn, void* ud)
{
  char* s = input;
  char* mark = s;
  bool inTag = false;
  char quote = 0;

  while (*s) {
    if (!inTag) {
      if (*s != '<') {
        s++;
        continue;
      }
      // Comments, character data and processing instructions are skipped
      // whole; their text may hold '<' and '>'.
      const char* closer = nullptr;
      size_t openLen = 0;
      if (std::strncmp(s, "<!--", 4) == 0) {
        closer = "-->";
        openLen = 4;
      } else if (std::strncmp(s, "<![CDATA[", 9) == 0) {
        closer = "]]>";
        openLen = 9;
      } else if (std::strncmp(s, "<?", 2) == 0) {
        closer = "?>";
        openLen = 2;
      }
      *s = '\0';
      ParseContent(mark, contentFn, ud);
      if (closer) {
        s = SkipPast(s + openLen, closer);
        mark = s;
        continue;
      }
      s++;
      mark = s;
      inTag = true;
      quote = 0;
    } else {
      if (quote) {
        if (*s == quote)
          quote = 0;
      } else if (*s == '"' || *s == '\'') {
        quote = *s;
      } else if (*s == '>') {
        *s++ = '\0';
        ParseElement(mark, startFn, endFn, ud);
        mark = s;
        inTag = false;
        continue;
      }
      s++;
    }
  }
  return 1;
}

} // namespace plugin::igraphics
