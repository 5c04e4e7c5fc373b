#pragma once
// The plug-in's settings file: plain "Key=<integer>" lines, read only.

// File name of the settings file inside the product data folder.
inline constexpr const char* kSettingsFileName = "plugin.ini";

// Value of the last line that starts with key, "=" and a decimal integer
// (no blanks around "="; section headings are not looked for, so a key is
// found anywhere in the file). Lines are read in pieces of at most 2047
// characters, each tried on its own. A missing or unreadable file, a null
// argument or no matching line gives defaultValue. Main thread.
int ReadSettingsInt(const char* path, const char* key, int defaultValue);
