// The week's picture as the host hands it to the plug-in that draws it with Cairo and Pango,
// which only the week command loads, so that no other command starts with those libraries.
// Host and plug-in are built together, by the same compiler.
#pragma once

#include <string>
#include <utility>
#include <vector>

struct WeekDay {
    std::string label;  // UTF-8
    double seconds;     // how long the day really is
    double now;         // the present moment's seconds into the day; below 0 when not in it
};

struct WeekBand {
    std::string label;  // UTF-8
    bool any;           // the band of the whole selection, in its own colour
    // For each day, its active stretches as seconds from the day's start.
    std::vector<std::vector<std::pair<double, double>>> stretches;
};

struct WeekPicture {
    std::vector<WeekDay> days;
    std::vector<WeekBand> bands;
    std::string file;  // "-" for standard output
    bool svg;
};

// The plug-in's one entry point: draws the picture into its file; nullptr when it was written,
// otherwise why it was not.
using PFN_DrawWeekPicture = const char* (*)(const WeekPicture* picture);
inline constexpr const char* kDrawWeekPictureName = "DrawWeekPicture";
