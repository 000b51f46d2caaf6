// PNG files of RGBA canvases, through libpng.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Rows from the top, four bytes a pixel. 1 on success.
int adWritePng(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgba);
// Any PNG, expanded to 8-bit RGBA. 1 on success.
int adReadPng(const std::string& path, int* width, int* height, std::vector<std::uint8_t>* rgba);
