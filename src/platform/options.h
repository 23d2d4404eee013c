// Start-up choices of the platform itself, made by main() before WinMain.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Reads the resources from a pack file instead of the embedded pack. On
// failure the resources in use stay as they were and `error` says why.
bool PlatformUseResourcePackFile(const std::string& path, std::string* error);

// Reads the resources from a copy of these pack bytes.
bool PlatformUseResourcePack(const std::vector<uint8_t>& pack, std::string* error);

// Goes back to the pack embedded in the executable.
void PlatformUseEmbeddedResources();

// The file that holds the registry: by default $XDG_CONFIG_HOME/lumora/registry
// (or ~/.config/lumora/registry); an empty path keeps it in memory only.
// Choosing a file starts from what it holds.
void PlatformUseRegistryFile(const std::string& path);
std::string PlatformRegistryPath();
