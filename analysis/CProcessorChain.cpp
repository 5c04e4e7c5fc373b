#include "CProcessorChain.h"
#include "ChannelBuffers.h"

namespace {
void DestroyProcessor(CPluginProcessor* p)
{
  if (p != nullptr)
    delete p;
}
} // namespace

CProcessorChain::CProcessorChain() { mList.deleter = DestroyProcessor; }

CProcessorChain::~CProcessorChain()
{
  for (Node* node = mList.first; node != nullptr;) {
    Node* next = node->next;
    if (mList.ownership == kDeleteElements)
      delete node->processor;
    else if (mList.deleter != nullptr)
      mList.deleter(node->processor);
    delete node;
    node = next;
  }
}

int CProcessorChain::Append(CPluginProcessor* processor)
{
  Node* node = new Node;
  node->processor = processor;
  node->prev = mList.last;
  if (mList.last != nullptr)
    mList.last->next = node;
  else
    mList.first = node;
  mList.last = node;
  mList.appended = node;
  mList.cursor = node;
  mList.cursorIndex = mList.count;
  return ++mList.count;
}

CPluginProcessor* CProcessorChain::Seek(int index)
{
  if (mList.cursor == nullptr)
    return nullptr;
  while (mList.cursorIndex < index && mList.cursor->next != nullptr) {
    mList.cursor = mList.cursor->next;
    ++mList.cursorIndex;
  }
  while (mList.cursorIndex > index && mList.cursor->prev != nullptr) {
    mList.cursor = mList.cursor->prev;
    --mList.cursorIndex;
  }
  return mList.cursor->processor;
}

void CProcessorChain::Configure(int nch, int blockSize, double sampleRate)
{
  mNumChannels = nch;
  mBlockSize = blockSize;
  mSampleRate = sampleRate;
  for (Node* node = mList.first; node != nullptr; node = node->next) {
    if (node->processor == nullptr)
      continue;
    node->processor->SetNumChannels(nch);
    node->processor->SetBlockSize(blockSize);
    node->processor->SetSampleRate(sampleRate);
  }
}

void CProcessorChain::Process(double** inputs, double** outputs, int nFrames)
{
  if (inputs == nullptr || outputs == nullptr || nFrames < 1 || mNumChannels < 1)
    return;
  double** temp = AllocChannelBuffers(nFrames, mNumChannels);
  if (mList.count == 0) {
    CopyChannelBuffers(inputs, outputs, nFrames, mNumChannels, 0);
  } else {
    CopyChannelBuffers(inputs, temp, nFrames, mNumChannels, 0);
    for (int i = 0; i < mList.count; ++i) {
      CPluginProcessor* p = Seek(i);
      if (p == nullptr || !p->IsActive())
        continue;
      p->Process(temp, outputs, nFrames);
      CopyChannelBuffers(outputs, temp, nFrames, mNumChannels, 0);
    }
  }
  FreeChannelBuffers(temp, mNumChannels);
}
