// Stands in for the font stash until it exists: a stash that holds only its
// creation record.
#include <new>

#include "FontStash.h"

struct FSTcontext {
  FSTparams params;
};

FSTcontext* fstCreateInternal(FSTparams* params)
{
  FSTcontext* stash = new (std::nothrow) FSTcontext;
  if (stash) stash->params = *params;
  return stash;
}

void fstDeleteInternal(FSTcontext* stash) { delete stash; }
