#pragma once
// Collects up to ten scans of a folder into the relief set.

#include <string>
#include <vector>

#include "data/record.h"

namespace ws {

class Prompter;

// Names in ascending order of their bytes: case-sensitive, a prefix before a longer name.
void SortFileNames(std::vector<std::string>& names);

// The .mem files of a folder (plain files only, the extension in any case), sorted.
std::vector<std::string> ListMemFiles(const std::string& folder);

// Reads the folder's scans into the relief set. The measurement record is not touched. Files
// that cannot be read are reported and left out of the set. True when the relief view should
// open (the last file is a thickness scan and every trace has at least two points).
bool ScanFolder(Workspace& ws, Prompter& prompter, const std::string& folder);

}  // namespace ws
