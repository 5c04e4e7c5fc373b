#pragma once
// The built bundle, loaded once for the whole suite (it stays loaded, as a
// host keeps a plug-in's module for the process).

#include "AUBundle.h"

inline host::AUBundle& SharedBundle()
{
  static host::AUBundle* bundle = [] {
    auto* b = new host::AUBundle;
    b->Load(host::DefaultBundlePath());
    return b;
  }();
  return *bundle;
}
