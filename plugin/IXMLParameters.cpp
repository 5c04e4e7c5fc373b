#include "IXMLParameters.h"

#include <cmath>
#include <cstring>
#include <tinyxml.h>

#include "IPluginBase.h"
#include "LocaleFreeNumber.h"
#include "Utf8Text.h"

using plugin::IPluginBase;

namespace {

constexpr int kValueDecimals = 6; // "%f"

TiXmlElement* AddTextElement(TiXmlElement& parent, const char* name, const char* text)
{
  auto* element = new TiXmlElement(name);
  element->LinkEndChild(new TiXmlText(text ? text : ""));
  parent.LinkEndChild(element);
  return element;
}

bool TextEquals(const TiXmlElement* element, const char* expected)
{
  const char* text = element ? element->GetText() : nullptr;
  return text && std::strcmp(text, expected) == 0;
}

int FindParamByName(const IPluginBase& plug, const char* name)
{
  for (int i = 0; i < plug.NParams(); ++i) {
    if (std::strcmp(plug.GetParam(i)->GetName(), name) == 0)
      return i;
  }
  return -1;
}

} // namespace

void IXMLParameters::BuildPresetTree(TiXmlDocument& doc, const IPluginBase& plug, const double* values,
                                     const char* presetName)
{
  doc.LinkEndChild(new TiXmlDeclaration("1.0", "", ""));
  auto* root = new TiXmlElement("PresetXMLTree");
  root->SetAttribute("version", "1");
  doc.LinkEndChild(root);

  plugin::UT_String version;
  plug.GetPluginVersionStr(version);
  AddTextElement(*root, "PluginVendor", plug.GetMfrName());
  AddTextElement(*root, "PluginName", plug.GetPluginName());
  AddTextElement(*root, "PluginVersion", version.Get());

  auto* preset = new TiXmlElement("Preset");
  preset->SetAttribute("name", AttributeText(presetName));
  root->LinkEndChild(preset);
  auto* list = new TiXmlElement("Parameter");
  preset->LinkEndChild(list);
  for (int i = 0; i < plug.NParams(); ++i) {
    const plugin::IParam* param = plug.GetParam(i);
    auto* element = new TiXmlElement("Param");
    element->SetAttribute("name", AttributeText(param->GetName()));
    const double v = values ? values[i] : param->Value();
    element->SetAttribute("val", plugin::FormatFixed(v, kValueDecimals));
    list->LinkEndChild(element);
  }
}

std::string IXMLParameters::PrintTree(const TiXmlDocument& doc)
{
  // The printer's own settings are the ones wanted: four spaces, "\n".
  TiXmlPrinter printer;
  doc.Accept(&printer);
  return std::string(printer.CStr(), printer.Size());
}

bool IXMLParameters::ParseText(const std::string& text, TiXmlDocument& doc)
{
  if (!plugin::IsWellFormedUtf8(text.data(), text.size()))
    return false;
  doc.Parse(text.c_str(), nullptr, TIXML_ENCODING_UTF8);
  return !doc.Error();
}

std::string IXMLParameters::AttributeText(const char* text)
{
  if (!text)
    return std::string();
  return plugin::AsUtf8(text, std::strlen(text));
}

const TiXmlElement* IXMLParameters::FindPreset(const TiXmlDocument& doc, const IPluginBase& plug,
                                               const char** presetName)
{
  const TiXmlElement* root = doc.RootElement();
  if (!root || std::strcmp(root->Value(), "PresetXMLTree") != 0)
    return nullptr;
  TiXmlHandle handle(const_cast<TiXmlElement*>(root));
  if (!TextEquals(handle.FirstChildElement("PluginVendor").ToElement(), plug.GetMfrName()))
    return nullptr;
  if (!TextEquals(handle.FirstChildElement("PluginName").ToElement(), plug.GetPluginName()))
    return nullptr;
  if (!handle.FirstChildElement("PluginVersion").ToElement())
    return nullptr;
  const TiXmlElement* preset = handle.FirstChildElement("Preset").ToElement();
  const TiXmlAttribute* first = preset ? preset->FirstAttribute() : nullptr;
  if (!first || std::strcmp(first->Name(), "name") != 0)
    return nullptr;
  if (presetName)
    *presetName = first->Value();
  return preset;
}

bool IXMLParameters::ForEachParam(const TiXmlElement& preset, const IPluginBase& plug, const ParamFunc& func)
{
  const TiXmlElement* list = preset.FirstChildElement("Parameter");
  const TiXmlElement* element = list ? list->FirstChildElement() : nullptr;
  if (!element)
    return false;
  for (; element; element = element->NextSiblingElement()) {
    if (std::strcmp(element->Value(), "Param") != 0)
      return false;
    const char* name = element->Attribute("name");
    if (!name || !*name)
      continue;
    const int idx = FindParamByName(plug, name);
    double value = 0.0;
    if (idx < 0 || !ReadValue(*element, value))
      continue;
    func(idx, value);
  }
  return true;
}

bool IXMLParameters::ReadValue(const TiXmlElement& param, double& value)
{
  double v = 0.0;
  if (!plugin::ParseDouble(param.Attribute("val"), v))
    v = 0.0;
  if (!std::isfinite(v))
    return false;
  value = v;
  return true;
}
