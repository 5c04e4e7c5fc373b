#include "CPluginProcessor.h"

CPluginProcessor::~CPluginProcessor()
{
  if (mOwnsFile && mFile != nullptr)
    std::fclose(mFile);
}

double CPluginProcessor::GetInfo(int) { return 0.0; }

double* CPluginProcessor::GetData(int) { return nullptr; }
