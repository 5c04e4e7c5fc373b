#pragma once
// Abstract audio processor of the analysis library: channel count, block
// size, sample rate, indexed parameters, information values and data arrays.
// Not thread-safe: one thread at a time (the plug-in holds its mutex).
#include <cstdint>
#include <cstdio>

class CPluginProcessor {
public:
  CPluginProcessor() = default;
  CPluginProcessor(const CPluginProcessor&) = delete;
  CPluginProcessor& operator=(const CPluginProcessor&) = delete;
  // Closes the diagnostic stream when the processor owns it.
  virtual ~CPluginProcessor();

  // inputs and outputs hold one pointer per channel to nFrames doubles.
  virtual void Process(double** inputs, double** outputs, int nFrames) = 0;
  virtual void SetNumChannels(int n) = 0;
  virtual void SetBlockSize(int n) = 0;
  virtual void SetSampleRate(double fs) = 0;
  virtual int GetNumParams() = 0;
  virtual void SetParam(int index, double value) = 0;
  virtual double GetParam(int index) = 0;
  virtual double GetInfo(int index);
  // Arrays stay owned by the processor; null when there is none.
  virtual double* GetData(int index);
  // Writes the processor's name, with its terminating zero, to out.
  virtual bool GetName(char* out) = 0;
  virtual void SetActive(bool active) { mActive = active; }
  virtual bool IsActive() { return mActive; }
  virtual void SetAuxFlag(bool flag) { mAuxFlag = flag; }
  virtual bool GetAuxFlag() { return mAuxFlag; }

protected:
  int32_t mNumChannels = 2;
  int32_t mBlockSize = 2;
  double mSampleRate = 44100.0;
  bool mOwnsFile = false;
  std::FILE* mFile = nullptr; // optional diagnostic stream of a derived processor
  bool mReservedFlag = true;
  uint64_t mReservedWord = 0;
  bool mActive = true;
  bool mAuxFlag = false;
};
