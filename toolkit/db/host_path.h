// The host layer's file-name policy.
#pragma once

#include <cstddef>

// Longest name (with its terminator) the host file functions accept.
constexpr std::size_t HOST_PATH_SIZE = 4096;

// Writes to path the name the platform's file functions are given; answers 0
// when it does not fit. Windows takes the name as it is. Elsewhere drawings'
// Windows-style names ("FONTS\TXT.SHX") must still work: '\' becomes '/' and,
// when that path does not exist, each component is matched against its
// directory's entries ignoring ASCII case (a component with no match is kept
// as given, so a file about to be created keeps its name).
int HostPlatformPath(const char* name, char* path, std::size_t size);
