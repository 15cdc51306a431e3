// Draws the week: rows of hours, one band per selected number where its first period is
// active and one for any of them. A day is as long as it really is: a day that loses an hour
// to daylight saving is drawn an hour shorter.
#include "host/week/week_picture.h"

#include <cairo-svg.h>
#include <cairo.h>
#include <pango/pangocairo.h>

#include <cstdio>
#include <memory>
#include <string>

namespace {

// The layout, in pixels.
constexpr double kLabelWidth = 150;
constexpr double kHourWidth = 32;
constexpr double kPlotWidth = 25 * kHourWidth;  // room for a day of 25 hours
constexpr double kHeaderHeight = 28;
constexpr double kBandHeight = 12;
constexpr double kBandGap = 3;
constexpr double kDayGap = 10;
constexpr double kLegendLine = 22;
constexpr double kWidth = kLabelWidth + kPlotWidth + 20;
// The faces of the dialogs: a Ming face for Chinese text, then a sans-serif one.
constexpr const char* kFont = "AR PL UMing CN, WenQuanYi Zen Hei, sans 10";

struct Colour {
    double r, g, b;
};
constexpr Colour kPalette[] = {{0.20, 0.47, 0.78}, {0.90, 0.50, 0.10}, {0.20, 0.63, 0.30},
                               {0.58, 0.40, 0.74}, {0.55, 0.34, 0.29}, {0.89, 0.47, 0.76},
                               {0.50, 0.50, 0.10}, {0.09, 0.75, 0.81}};
constexpr Colour kAny = {0.15, 0.15, 0.15};

using Surface = std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)>;
using Context = std::unique_ptr<cairo_t, decltype(&cairo_destroy)>;

void Text(cairo_t* cr, double x, double y, const std::string& utf8) {
    PangoLayout* layout = pango_cairo_create_layout(cr);
    PangoFontDescription* font = pango_font_description_from_string(kFont);
    pango_layout_set_font_description(layout, font);
    pango_layout_set_text(layout, utf8.c_str(), -1);
    cairo_move_to(cr, x, y);
    pango_cairo_show_layout(cr, layout);
    pango_font_description_free(font);
    g_object_unref(layout);
}

double X(double seconds) {
    return kLabelWidth + seconds * kHourWidth / 3600;
}

Colour BandColour(const WeekBand& band, std::size_t index) {
    return band.any ? kAny : kPalette[index % std::size(kPalette)];
}

void DrawDay(cairo_t* cr, const WeekPicture& picture, std::size_t dayIndex, double top) {
    const WeekDay& day = picture.days[dayIndex];
    cairo_set_source_rgb(cr, 0, 0, 0);
    Text(cr, 6, top, day.label);
    const double height = static_cast<double>(picture.bands.size()) * (kBandHeight + kBandGap);
    cairo_set_source_rgb(cr, 0.94, 0.94, 0.94);
    cairo_rectangle(cr, kLabelWidth, top, X(day.seconds) - kLabelWidth, height);
    cairo_fill(cr);
    // A tick at every local full hour the day really has.
    cairo_set_source_rgb(cr, 0.75, 0.75, 0.75);
    for (double t = 0; t < day.seconds; t += 3600)
        cairo_rectangle(cr, X(t), top, 1, height);
    cairo_fill(cr);
    for (std::size_t i = 0; i < picture.bands.size(); ++i) {
        const WeekBand& band = picture.bands[i];
        const Colour colour = BandColour(band, i);
        const double y = top + static_cast<double>(i) * (kBandHeight + kBandGap);
        cairo_set_source_rgb(cr, colour.r, colour.g, colour.b);
        for (const auto& [from, to] : band.stretches[dayIndex])
            cairo_rectangle(cr, X(from), y, X(to) - X(from), kBandHeight);
        cairo_fill(cr);
    }
    if (day.now >= 0) {
        cairo_set_source_rgb(cr, 0.85, 0, 0);
        cairo_rectangle(cr, X(day.now) - 1, top - 3, 2, height + 6);
        cairo_fill(cr);
    }
}

void Draw(cairo_t* cr, const WeekPicture& picture, double height) {
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_rectangle(cr, 0, 0, kWidth, height);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 0, 0, 0);
    for (int hour = 0; hour <= 24; hour += 2)
        Text(cr, kLabelWidth + hour * kHourWidth - 6, 6, std::to_string(hour));
    double top = kHeaderHeight;
    const double dayHeight =
        static_cast<double>(picture.bands.size()) * (kBandHeight + kBandGap) + kDayGap;
    for (std::size_t day = 0; day < picture.days.size(); ++day) {
        DrawDay(cr, picture, day, top);
        top += dayHeight;
    }
    for (std::size_t i = 0; i < picture.bands.size(); ++i) {
        const Colour colour = BandColour(picture.bands[i], i);
        cairo_set_source_rgb(cr, colour.r, colour.g, colour.b);
        cairo_rectangle(cr, kLabelWidth, top + 4, 24, kBandHeight);
        cairo_fill(cr);
        cairo_set_source_rgb(cr, 0, 0, 0);
        Text(cr, kLabelWidth + 32, top, picture.bands[i].label);
        top += kLegendLine;
    }
}

cairo_status_t WriteToStandardOutput(void*, const unsigned char* data, unsigned int length) {
    return std::fwrite(data, 1, length, stdout) == length ? CAIRO_STATUS_SUCCESS
                                                          : CAIRO_STATUS_WRITE_ERROR;
}

cairo_surface_t* SvgSurface(const char* file, bool toStandardOutput, double height) {
    return toStandardOutput
               ? cairo_svg_surface_create_for_stream(WriteToStandardOutput, nullptr, kWidth, height)
               : cairo_svg_surface_create(file, kWidth, height);
}

}  // namespace

extern "C" __attribute__((visibility("default"))) const char* DrawWeekPicture(
    const WeekPicture* picture) {
    const double bands = static_cast<double>(picture->bands.size());
    const double dayHeight = bands * (kBandHeight + kBandGap) + kDayGap;
    const double height = kHeaderHeight + static_cast<double>(picture->days.size()) * dayHeight +
                          bands * kLegendLine + 10;
    const char* file = picture->file.c_str();
    const bool toStandardOutput = picture->file == "-";
    Surface surface(picture->svg
                        ? SvgSurface(file, toStandardOutput, height)
                        : cairo_image_surface_create(CAIRO_FORMAT_RGB24, static_cast<int>(kWidth),
                                                     static_cast<int>(height)),
                    &cairo_surface_destroy);
    {
        Context cr(cairo_create(surface.get()), &cairo_destroy);
        Draw(cr.get(), *picture, height);
    }
    cairo_status_t status;
    if (picture->svg) {
        cairo_surface_finish(surface.get());
        status = cairo_surface_status(surface.get());
    } else {
        status = toStandardOutput ? cairo_surface_write_to_png_stream(
                                        surface.get(), WriteToStandardOutput, nullptr)
                                  : cairo_surface_write_to_png(surface.get(), file);
    }
    return status == CAIRO_STATUS_SUCCESS ? nullptr : cairo_status_to_string(status);
}
