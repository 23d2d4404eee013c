// The registry file's text, for the fuzz target and the tests. Internal.
#pragma once

#include <string>

// Reads the text as a registry file; with `canonical`, writes the tree back
// as the program would write it.
bool ParseRegistryFile(const std::string& text, std::string* canonical);

// Makes every later write stop once its temporary file is written, as a
// process killed at that point would.
void TestRegistryStopBeforeRename(bool stop);
