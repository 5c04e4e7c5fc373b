#pragma once
// A linked list of processors run one after another on a block: each active
// processor receives the previous one's output. The chain owns its processors
// and destroys them with it. Not thread-safe; Process allocates temporaries
// (it is not meant for a real-time thread).
#include "CPluginProcessor.h"

class CProcessorChain {
public:
  CProcessorChain();
  ~CProcessorChain();
  CProcessorChain(const CProcessorChain&) = delete;
  CProcessorChain& operator=(const CProcessorChain&) = delete;

  // Takes ownership; moves the cursor to the new last element; returns the count.
  int Append(CPluginProcessor* processor);
  // Walks the cursor towards index, stopping at either end; null when empty.
  CPluginProcessor* Seek(int index);
  int GetCount() const { return mList.count; }
  // Stores the values and passes them to every processor in order.
  void Configure(int nch, int blockSize, double sampleRate);
  // inputs and outputs: mNumChannels pointers to nFrames doubles each.
  void Process(double** inputs, double** outputs, int nFrames);

private:
  struct Node {
    void* reserved = nullptr;
    CPluginProcessor* processor = nullptr;
    Node* next = nullptr;
    Node* prev = nullptr;
  };
  enum EOwnership : int { kDeleteElements = 1, kUseDeleter = 2 };
  struct List {
    Node* first = nullptr;
    Node* last = nullptr;
    Node* appended = nullptr;
    Node* cursor = nullptr;
    int cursorIndex = -1;
    int secondIndex = -1;
    int count = 0;
    int ownership = kUseDeleter;
    void (*deleter)(CPluginProcessor*) = nullptr;
  };

  int mNumChannels = 2;
  int mBlockSize = 512;
  double mSampleRate = 44100.0;
  List mList;
};
