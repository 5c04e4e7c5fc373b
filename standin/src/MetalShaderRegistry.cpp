// Process-wide table of shader functions by name, and the validation record.
#include "MetalInternal.h"

#include <standin/Testing.h>

#include <cstdio>
#include <map>

namespace {
std::mutex gShaderMutex;
std::map<std::string, standin::mtl::RegisteredShader>& Shaders()
{
  static auto* shaders = new std::map<std::string, standin::mtl::RegisteredShader>();
  return *shaders;
}
std::mutex gValidationMutex;
std::vector<std::string>& Validation()
{
  static auto* messages = new std::vector<std::string>();
  return *messages;
}
} // namespace

namespace standin::metal {

void RegisterVertexFunction(const char* name, VertexFunction function, unsigned varyingFloats, unsigned positionFloat)
{
  if (!name || !function || varyingFloats > mtl::kMaxVaryingFloats || positionFloat + 4 > varyingFloats) {
    mtl::ValidationError(std::string("RegisterVertexFunction: bad registration of ") + (name ? name : "(null)"));
    return;
  }
  std::lock_guard<std::mutex> lock(gShaderMutex);
  Shaders()[name] = {true, function, nullptr, varyingFloats, positionFloat};
}

void RegisterFragmentFunction(const char* name, FragmentFunction function, unsigned varyingFloats)
{
  if (!name || !function || varyingFloats > mtl::kMaxVaryingFloats) {
    mtl::ValidationError(std::string("RegisterFragmentFunction: bad registration of ") + (name ? name : "(null)"));
    return;
  }
  std::lock_guard<std::mutex> lock(gShaderMutex);
  Shaders()[name] = {false, nullptr, function, varyingFloats, 0};
}

void UnregisterShaderFunction(const char* name)
{
  if (!name)
    return;
  std::lock_guard<std::mutex> lock(gShaderMutex);
  Shaders().erase(name);
}

std::string LibraryData(std::initializer_list<const char*> functionNames)
{
  std::string data = "MTLB";
  for (const char* name : functionNames) {
    data += name;
    data += '\0';
  }
  data += '\0';
  return data;
}

} // namespace standin::metal

namespace standin::mtl {

bool FindShader(const std::string& name, RegisteredShader& out)
{
  std::lock_guard<std::mutex> lock(gShaderMutex);
  auto it = Shaders().find(name);
  if (it == Shaders().end())
    return false;
  out = it->second;
  return true;
}

void ValidationError(const std::string& message)
{
  std::lock_guard<std::mutex> lock(gValidationMutex);
  Validation().push_back(message);
}

} // namespace standin::mtl

namespace standin {

std::vector<std::string> GPUValidationErrors()
{
  std::lock_guard<std::mutex> lock(gValidationMutex);
  return Validation();
}

void ClearGPUValidationErrors()
{
  std::lock_guard<std::mutex> lock(gValidationMutex);
  Validation().clear();
}

} // namespace standin
