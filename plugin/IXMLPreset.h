#pragma once
// XML preset files (".zvp") and the preset records made from them: reading
// and writing the files, the record chunk (the state container with its XML
// section only, so restoring a record runs the state reader), the default
// preset's path and preset names. The plug-in's preset operations are built
// on these. Main thread.
#include <string>

#include "IByteChunk.h"
#include "IPreset.h"
#include "IXMLParameters.h"
#include "UT_String.h"

class TiXmlDocument;

namespace plugin {
class IPluginBase;
}

class IXMLPreset {
public:
  static constexpr const char* kPresetExtension = ".zvp";
  static constexpr const char* kDefaultPresetName = "default";
  // Name given to the preset written by "Save to default".
  static constexpr const char* kDefaultPresetTitle = "Init";
  // Longest preset name kept, in bytes (the record holds one more for the NUL).
  static constexpr int kMaxPresetNameBytes = plugin::IPreset::kMaxNameLen - 1;
  // Size of the buffer a preset name taken from a file path is formatted into.
  static constexpr int kPathNameBufSize = 1024;

  enum class ELoadMode {
    kStartUp,  // apply without notifications, then rename the current preset
    kValidate, // apply nothing, only return the name
    kLoad,     // apply, capture and restore the current preset, tell the host
  };

  // Reads path and parses it as UTF-8 (a leading byte-order mark skipped;
  // a file that is not UTF-8 is taken as Latin-1). False when the file
  // cannot be read or is not well-formed XML.
  static bool LoadXMLFile(const char* path, TiXmlDocument& doc);
  // Writes the document beside path and renames it into place. False, the
  // old file untouched, when any step fails.
  [[nodiscard]] static bool SaveXMLFile(const char* path, const TiXmlDocument& doc);

  // Appends u32 L and the L bytes of text; false, nothing appended, when the
  // text is empty or the chunk cannot grow.
  static bool AppendXMLText(plugin::IByteChunk& chunk, const std::string& text);

  // The preset record chunk: container, XML section holding the tree of
  // values (one per parameter) under presetName, pads. False when a part
  // could not be appended.
  static bool AppendPresetChunk(plugin::IByteChunk& chunk, const plugin::IPluginBase& plug, const double* values,
                                const char* presetName);

  // folder + "/" + "default" + ".zvp" (no second "/" when folder ends in one).
  static plugin::UT_String DefaultPresetPath(const plugin::UT_String& folder);
  // folder + "/" + leaf, with the same rule.
  static plugin::UT_String JoinPath(const char* folder, const char* leaf);

  // The preset name the save command gives a file: the text after the last
  // "/" (the whole path without one), up to the last "." after it.
  static plugin::UT_String PresetNameFromPath(const char* path);

  // Copies at most kMaxPresetNameBytes bytes of name, never splitting a
  // UTF-8 sequence; null counts as "".
  static void SetPresetName(plugin::IPreset& preset, const char* name);
  // Length of the longest prefix of text of at most maxBytes bytes that does
  // not end inside a UTF-8 sequence.
  static int Utf8PrefixLength(const char* text, int maxBytes);
};
