// ContactSheet: several captured frames side by side, each at half size and
// labelled with its scene time, for a quick look at a run.
#pragma once
#include <string>
#include <vector>

#include "PngFile.h"

// Lays out the frames in rows of at most three thumbnails on a dark grey
// ground; astrLabels[i] (digits, '.', 's') is written under frame i.
void BuildContactSheet(const std::vector<RgbImage>& rFrames,
                       const std::vector<std::string>& rLabels, RgbImage& rSheet);
