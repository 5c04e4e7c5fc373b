#pragma once
// A file path cut into folder (through the last "/"), name and extension
// (from the last "." of the name), each at most 1023 characters.
struct FilePathParts {
  char folder[1024] = {};
  char name[1024] = {};
  char extension[1024] = {};
};

void SplitFilePath(const char* path, FilePathParts& parts);
// The part after the last "/" or "\\".
const char* FileNameOf(const char* path);
