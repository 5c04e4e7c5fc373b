// The module a host loads keeps no thread-local storage of its own: a
// loaded module's storage, first touched on a fresh thread (the GPU's band
// threads run the module's shader code), is what some runtimes mishandle.
#include <gtest/gtest.h>

#include <elf.h>

#include <fstream>
#include <string>
#include <vector>

#include "AUBundle.h"

TEST(ModuleStorage, TheLoadedModuleDefinesNoThreadLocalStorage)
{
  const std::string path = host::DefaultBundlePath() + "/Contents/MacOS/Vorelle3";
  std::ifstream file(path, std::ios::binary);
  ASSERT_TRUE(file) << path;
  Elf64_Ehdr header{};
  ASSERT_TRUE(file.read(reinterpret_cast<char*>(&header), sizeof header));
  ASSERT_EQ(header.e_ident[EI_CLASS], ELFCLASS64);
  ASSERT_EQ(header.e_phentsize, sizeof(Elf64_Phdr));
  std::vector<Elf64_Phdr> segments(header.e_phnum);
  file.seekg(std::streamoff(header.e_phoff));
  ASSERT_TRUE(file.read(reinterpret_cast<char*>(segments.data()), std::streamsize(segments.size() * sizeof(Elf64_Phdr))));
  for (const Elf64_Phdr& s : segments)
    EXPECT_NE(s.p_type, PT_TLS) << path << " defines " << s.p_memsz << " bytes of thread-local storage";
}
