#pragma once
// Parameters as XML text: the preset tree (declaration, "PresetXMLTree" with
// vendor, plug-in name, version and one "Param" per parameter under
// "Preset"/"Parameter"), its header check and the walk over its "Param"
// elements. Shared by the host state chunk and the preset files.
//
// Numbers are written as "%f" and read as "%lf" would in the "C" locale,
// whatever locale the host process runs with. Text is UTF-8 both ways: names
// are written so that reading gives back the same bytes, and no text reaches
// the parser before it has been checked to be well-formed UTF-8. Main thread, like every
// operation that touches the parameter list.
#include <functional>
#include <string>

class TiXmlDocument;
class TiXmlElement;

namespace plugin {
class IPluginBase;
}

class IXMLParameters {
public:
  // Value of a parameter that a preset file or argument list did not set.
  static constexpr double kNotSet = 9.999e-8;

  // Fills an empty document: values[i] for parameter i, or each parameter's
  // current real value when values is null.
  static void BuildPresetTree(TiXmlDocument& doc, const plugin::IPluginBase& plug, const double* values,
                              const char* presetName);

  // The document as text: four spaces per level, "\n" line ends.
  static std::string PrintTree(const TiXmlDocument& doc);

  // Parses UTF-8 text into an empty document. False, the parser never run,
  // when the text is not well-formed UTF-8; false when it is not XML.
  static bool ParseText(const std::string& text, TiXmlDocument& doc);

  // What to hand the XML writer as an attribute: text that is not
  // well-formed UTF-8 is taken as Latin-1, so the saved text always parses
  // (the writer escapes markup, "&" and control characters, and the parser
  // gives back the same bytes).
  static std::string AttributeText(const char* text);

  // Checks root, vendor and plug-in name (a missing text is a mismatch), the
  // version element and a "Preset" whose first attribute is "name". Returns
  // that element and sets presetName to the attribute's value; null when
  // any check fails.
  static const TiXmlElement* FindPreset(const TiXmlDocument& doc, const plugin::IPluginBase& plug,
                                        const char** presetName);

  // Calls func(paramIdx, value) for each "Param" under the preset's
  // "Parameter", in file order, whose "name" matches a parameter (the first
  // one in index order with exactly that name). A "Param" without a name,
  // naming no parameter, or with a value that is not finite, is skipped. False when "Parameter" has no child
  // element or when an element of another name appears; the calls made
  // before it stand.
  using ParamFunc = std::function<void(int paramIdx, double value)>;
  static bool ForEachParam(const TiXmlElement& preset, const plugin::IPluginBase& plug, const ParamFunc& func);

  // The "val" attribute: 0.0 when missing or unreadable; false when it
  // reads as infinite or NaN (the parameter then keeps its value).
  static bool ReadValue(const TiXmlElement& param, double& value);
};
