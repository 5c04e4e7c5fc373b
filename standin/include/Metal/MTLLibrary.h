// Shader libraries and their functions. Here a library's data is the magic
// "MTLB" followed by NUL-terminated function names and an empty name; each
// name resolves to a function registered with the shader registry
// (standin/MetalShaderRegistry.h) by the code that links the shaders.
#pragma once

#include <Metal/MTLTypes.h>

#include <string>
#include <vector>

class NSString;
class MTLDevice;

class NS_EXPORT MTLFunction : public NSObject {
public:
  NSString* name() const; // autoreleased
  MTLFunctionType functionType() const { return mType; }
  MTLDevice* device() const { return mDevice; }
  const char* className() const override { return "MTLFunction"; }

  // Stand-in: the registered name.
  const std::string& functionName() const { return mName; }

protected:
  friend class MTLLibrary;
  MTLFunction(MTLDevice* device, std::string name, MTLFunctionType type)
  : mDevice(device), mName(std::move(name)), mType(type)
  {
  }

private:
  MTLDevice* mDevice;
  std::string mName;
  MTLFunctionType mType;
};

class NS_EXPORT MTLLibrary : public NSObject {
public:
  // An owned function, nil when the library lacks the name or nothing
  // registered it.
  MTLFunction* newFunctionWithName(NSString* functionName);
  MTLDevice* device() const { return mDevice; }
  const char* className() const override { return "MTLLibrary"; }

protected:
  friend class MTLDevice;
  MTLLibrary(MTLDevice* device, std::vector<std::string> names) : mDevice(device), mNames(std::move(names)) {}

private:
  MTLDevice* mDevice;
  std::vector<std::string> mNames;
};
