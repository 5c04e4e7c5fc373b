// The installed fonts as font descriptors see them: every font file in the
// Resources of the process's bundles, then the user's Library/Fonts, then
// the system font folders, each folder walked in name order. Files are
// read again only when their size or time changes.
#pragma once

#include <string>
#include <vector>

namespace standin::ct {

// Path of the first font file with a face of this family and style; "" when
// none, and the request is kept for MissingFontRequests and told on stderr.
std::string LocateFont(const std::string& family, const std::string& style);

void SetSystemFontFolders(const std::vector<std::string>& folders);
std::vector<std::string> MissingFontRequests();
// Default system folders, no requests kept.
void ResetFontRegistry();

} // namespace standin::ct
