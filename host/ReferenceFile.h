#pragma once
// The host's checks around a custom reference file given to the editor's
// reference file button. The plug-in reads the file whole (a pipe or device
// would keep it waiting), does nothing with an extension it does not know,
// and what it refuses it says in an alert ("Error Load" under the path for a
// .ref file and for a recording that makes no reference), which hides its
// reason. Host main thread.

#include <string>

namespace host {

// "cannot use PATH as the reference: REASON".
std::string ReferenceRefusal(const std::string& path, const std::string& reason);

// Before the plug-in sees it: a readable regular file whose extension the
// plug-in acts on. Empty, or the refusal.
std::string CheckReferencePath(const std::string& path);

// Why the plug-in's reader refuses a .ref file, in its own words ("Wrong
// File Type", "Wrong File Version", "Wrong File" with what is wrong in the
// points, or for a point count other than its own); for a recording, what
// makes it no reference; empty for another file.
std::string ReferenceReaderWords(const std::string& path);

// True for the recordings the plug-in analyses (.wav, .aiff), which report
// their end in an alert; a .ref file reports only a failure.
bool IsReferenceRecording(const std::string& path);

// After the plug-in took it: what makes it no reference all the same (cut
// short, a value that is not a number or beyond a float, no usable
// frequency, no level above the plug-in's floor, a recording shorter than
// one analysis frame or silent). Empty, or the refusal.
std::string CheckReferenceContent(const std::string& path);

} // namespace host
