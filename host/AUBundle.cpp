#include "AUBundle.h"

#include <dlfcn.h>

#include <fstream>
#include <sstream>

#include <standin/Host.h>

namespace host {

namespace {

// The text of the <string> or <integer> element that follows <key>key</key>
// (searched from from); empty when absent.
std::string PlistValue(const std::string& xml, const std::string& key, size_t from = 0)
{
  const std::string tag = "<key>" + key + "</key>";
  size_t pos = xml.find(tag, from);
  if (pos == std::string::npos)
    return "";
  pos = xml.find('<', pos + tag.size());
  if (pos == std::string::npos)
    return "";
  const size_t open = xml.find('>', pos);
  const size_t close = xml.find("</", open);
  if (open == std::string::npos || close == std::string::npos)
    return "";
  return xml.substr(open + 1, close - open - 1);
}

OSType FourCC(const std::string& text)
{
  if (text.size() != 4)
    return 0;
  return (OSType(uint8_t(text[0])) << 24) | (OSType(uint8_t(text[1])) << 16) | (OSType(uint8_t(text[2])) << 8) |
         OSType(uint8_t(text[3]));
}

} // namespace

AUBundle::~AUBundle() { Unload(); }

bool AUBundle::Load(const std::string& bundlePath)
{
  Unload();
  mPath = bundlePath;
  std::ifstream file(bundlePath + "/Contents/Info.plist");
  if (!file) {
    mError = "no Contents/Info.plist in " + bundlePath + " (build the Vorelle3 target or pass --bundle)";
    return false;
  }
  std::stringstream text;
  text << file.rdbuf();
  const std::string xml = text.str();
  mIdentifier = PlistValue(xml, "CFBundleIdentifier");
  const std::string executable = PlistValue(xml, "CFBundleExecutable");
  const size_t components = xml.find("<key>AudioComponents</key>");
  if (mIdentifier.empty() || executable.empty() || components == std::string::npos) {
    mError = "Info.plist lacks CFBundleIdentifier, CFBundleExecutable or AudioComponents";
    return false;
  }
  const std::string factoryName = PlistValue(xml, "factoryFunction", components);
  mDescription.componentType = FourCC(PlistValue(xml, "type", components));
  mDescription.componentSubType = FourCC(PlistValue(xml, "subtype", components));
  mDescription.componentManufacturer = FourCC(PlistValue(xml, "manufacturer", components));
  mVersion = static_cast<UInt32>(std::strtoul(PlistValue(xml, "version", components).c_str(), nullptr, 10));
  if (factoryName.empty() || !mDescription.componentType) {
    mError = "the AudioComponents entry lacks factoryFunction or type";
    return false;
  }

  const std::string binary = bundlePath + "/Contents/MacOS/" + executable;
  mHandle = dlopen(binary.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!mHandle) {
    const char* why = dlerror();
    mError = "cannot load " + binary + ": " + (why ? why : "unknown error");
    return false;
  }
  mFactory = reinterpret_cast<AudioComponentFactoryFunction>(dlsym(mHandle, factoryName.c_str()));
  // The Component Manager door is named after the factory.
  std::string entryName = factoryName;
  const size_t suffix = entryName.rfind("_Factory");
  if (suffix != std::string::npos)
    entryName.replace(suffix, std::string::npos, "_Entry");
  mEntry = reinterpret_cast<EntryFunc>(dlsym(mHandle, entryName.c_str()));
  if (!mFactory) {
    mError = "the module does not export " + factoryName;
    Unload();
    return false;
  }
  standin::RegisterBundleAtPath(bundlePath);
  mError.clear();
  return true;
}

void AUBundle::Unload()
{
  if (mHandle)
    dlclose(mHandle);
  mHandle = nullptr;
  mFactory = nullptr;
  mEntry = nullptr;
}

std::string DefaultBundlePath() { return VORELLE3_BUNDLE_DIR; }

} // namespace host
