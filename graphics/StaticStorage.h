#pragma once
// Process-wide cache of loaded resources keyed by name and scale, with a
// count of the graphics contexts using it. The caller holds mMutex around
// Find, Add and Empty (recursive, so nested loads may lock again).

#include <cstring>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "UT_PtrList.h"
#include "UT_String.h"

namespace plugin::igraphics {

template <class T> class StaticStorage {
public:
  struct DataKey {
    size_t hash = 0;
    UT_String name;
    double scale = 1.0;
    std::unique_ptr<T> data;
  };

  StaticStorage() : mDatas(4096) {}
  ~StaticStorage() { Empty(); }
  StaticStorage(const StaticStorage&) = delete;
  StaticStorage& operator=(const StaticStorage&) = delete;

  // First entry added under (name, scale), or null.
  T* Find(const char* name, double scale = 1.0)
  {
    UT_String key;
    CreateKey(key, name, scale);
    const size_t hash = Hash(key.Get());
    for (int i = 0; i < mDatas.GetSize(); ++i) {
      DataKey* k = mDatas.Get(i);
      if (k->hash == hash && k->scale == scale && std::strcmp(k->name.Get(), name) == 0)
        return k->data.get();
    }
    return nullptr;
  }

  // Takes ownership of data. A second Add under the same key makes a second
  // entry that Find never returns.
  void Add(T* data, const char* name, double scale = 1.0)
  {
    auto* k = new DataKey;
    UT_String key;
    CreateKey(key, name, scale);
    k->hash = Hash(key.Get());
    k->name.Set(name);
    k->scale = scale;
    k->data.reset(data);
    if (!mDatas.Add(k))
      delete k;
  }

  // Deletes the first entry holding data; nothing when none does.
  void Remove(const T* data)
  {
    for (int i = 0; i < mDatas.GetSize(); ++i)
      if (mDatas.Get(i)->data.get() == data) {
        mDatas.Delete(i, true);
        return;
      }
  }

  static size_t Hash(const char* keyText) { return std::hash<std::string>()(keyText); }

  // Deletes every entry with its item, from the last to the first.
  void Empty() { mDatas.Empty(true); }

  int Size() const { return mDatas.GetSize(); }

  int mUsers = 0;
  std::recursive_mutex mMutex;

private:
  static void CreateKey(UT_String& key, const char* name, double scale)
  {
    key.Set(name);
    key.AppendFormatted(static_cast<int>(std::strlen(name)) + 6, "-%.1fx", scale);
  }

  UT_PtrList<DataKey> mDatas;
};

} // namespace plugin::igraphics
