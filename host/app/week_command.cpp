// week: the coming days as rows of hours, one band per selected number where its first period
// is active and one for any of them, drawn with Cairo and Pango. Every band comes from the
// change finder, so the picture says what check says at every second. A day is as long as it
// really is: a day that loses an hour to daylight saving is drawn an hour shorter.
#include <cairo-svg.h>
#include <cairo.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "calvora/matching/changes/next_change.h"
#include "calvora/periods/period_records.h"
#include "host/app/host_commands.h"
#include "host/host_output.h"

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

struct Band {
    std::string label;  // UTF-8
    Colour colour;
    std::unique_ptr<ChangeFinder> finder;
};

struct Day {
    CTime start, end;
};

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

double X(const Day& day, const CTime& t) {
    return kLabelWidth + static_cast<double>(t.GetTime() - day.start.GetTime()) * kHourWidth / 3600;
}

// The band's active stretches within the day, as the finder reports them.
void DrawBand(cairo_t* cr, const Band& band, const Day& day, double y) {
    CTime at = day.start;
    bool active = band.finder->IsActive(at);
    cairo_set_source_rgb(cr, band.colour.r, band.colour.g, band.colour.b);
    while (at < day.end) {
        const auto change = band.finder->Next(at);
        const CTime until = change && change->at < day.end ? change->at : day.end;
        if (active)
            cairo_rectangle(cr, X(day, at), y, X(day, until) - X(day, at), kBandHeight);
        at = until;
        active = change && change->active;
    }
    cairo_fill(cr);
}

void DrawDay(cairo_t* cr, const std::vector<Band>& bands, const Day& day, double top,
             const CTime& now) {
    cairo_set_source_rgb(cr, 0, 0, 0);
    Text(cr, 6, top, day.start.Format("%Y-%m-%d %a").Bytes());
    const double height = static_cast<double>(bands.size()) * (kBandHeight + kBandGap);
    cairo_set_source_rgb(cr, 0.94, 0.94, 0.94);
    cairo_rectangle(cr, kLabelWidth, top, X(day, day.end) - kLabelWidth, height);
    cairo_fill(cr);
    // A tick at every local full hour the day really has.
    cairo_set_source_rgb(cr, 0.75, 0.75, 0.75);
    for (CTime t = day.start; t < day.end; t = t.GetTime() + 3600) {
        cairo_rectangle(cr, X(day, t), top, 1, height);
    }
    cairo_fill(cr);
    for (std::size_t i = 0; i < bands.size(); ++i)
        DrawBand(cr, bands[i], day, top + static_cast<double>(i) * (kBandHeight + kBandGap));
    if (day.start <= now && now < day.end) {
        cairo_set_source_rgb(cr, 0.85, 0, 0);
        cairo_rectangle(cr, X(day, now) - 1, top - 3, 2, height + 6);
        cairo_fill(cr);
    }
}

void Draw(cairo_t* cr, const std::vector<Band>& bands, const std::vector<Day>& days,
          const CTime& now, double height) {
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_rectangle(cr, 0, 0, kWidth, height);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 0, 0, 0);
    for (int hour = 0; hour <= 24; hour += 2)
        Text(cr, kLabelWidth + hour * kHourWidth - 6, 6, std::to_string(hour));
    double top = kHeaderHeight;
    const double dayHeight = static_cast<double>(bands.size()) * (kBandHeight + kBandGap) + kDayGap;
    for (const Day& day : days) {
        DrawDay(cr, bands, day, top, now);
        top += dayHeight;
    }
    for (const Band& band : bands) {
        cairo_set_source_rgb(cr, band.colour.r, band.colour.g, band.colour.b);
        cairo_rectangle(cr, kLabelWidth, top + 4, 24, kBandHeight);
        cairo_fill(cr);
        cairo_set_source_rgb(cr, 0, 0, 0);
        Text(cr, kLabelWidth + 32, top, band.label);
        top += kLegendLine;
    }
}

std::vector<Band> MakeBands(const CObList& periods, const std::vector<std::uint32_t>& numbers) {
    std::vector<Band> bands;
    CDWordArray all;
    for (const std::uint32_t number : numbers) {
        all.Add(number);
        const CTimeZone* first = nullptr;
        for (POSITION pos = periods.GetHeadPosition(); pos != nullptr && first == nullptr;) {
            const auto* period = static_cast<const CTimeZone*>(periods.GetNext(pos));
            if (period->GetID() == static_cast<int>(number))
                first = period;
        }
        const bool seen = std::any_of(bands.begin(), bands.end(), [&](const Band& band) {
            return band.label.starts_with(std::to_string(static_cast<int>(number)) + " ");
        });
        if (first == nullptr || seen)
            continue;
        CDWordArray one;
        one.Add(number);
        bands.push_back({std::to_string(first->GetID()) + " " + FieldText(first->m_strDesc.View()),
                         kPalette[bands.size() % std::size(kPalette)],
                         std::make_unique<ChangeFinder>(periods, one)});
    }
    // A UTF-8 literal: narrow ones are code page 936 bytes in this build.
    bands.push_back({reinterpret_cast<const char*>(u8"任一 (any: check)"), kAny,
                     std::make_unique<ChangeFinder>(periods, all)});
    return bands;
}

cairo_status_t WriteToStandardOutput(void*, const unsigned char* data, unsigned int length) {
    return std::fwrite(data, 1, length, stdout) == length ? CAIRO_STATUS_SUCCESS
                                                          : CAIRO_STATUS_WRITE_ERROR;
}

}  // namespace

int RunWeek(const ModuleExports& module, const HostInvocation& invocation) {
    CObList periods;
    module.getConfigData(&periods);
    const std::vector<Band> bands = MakeBands(periods, invocation.numbers);
    const CTime now = CTime::GetCurrentTime();
    std::tm first;
    const CTime from = InvocationTime(invocation);
    from.GetLocalTm(&first);
    std::vector<Day> days;
    for (int i = 0; i < invocation.days; ++i) {
        // Local midnights, normalised by the C library past the end of a month.
        const CTime start(first.tm_year + 1900, first.tm_mon + 1, first.tm_mday + i, 0, 0, 0);
        const CTime end(first.tm_year + 1900, first.tm_mon + 1, first.tm_mday + i + 1, 0, 0, 0);
        days.push_back({start, end});
    }
    const double dayHeight = static_cast<double>(bands.size()) * (kBandHeight + kBandGap) + kDayGap;
    const double height = kHeaderHeight + static_cast<double>(days.size()) * dayHeight +
                          static_cast<double>(bands.size()) * kLegendLine + 10;
    const bool svg = invocation.chartFormat == ChartFormat::Svg;
    const bool toStandardOutput = invocation.file == "-";
    Surface surface(svg ? toStandardOutput
                              ? cairo_svg_surface_create_for_stream(WriteToStandardOutput, nullptr,
                                                                    kWidth, height)
                              : cairo_svg_surface_create(invocation.file.c_str(), kWidth, height)
                        : cairo_image_surface_create(CAIRO_FORMAT_RGB24, static_cast<int>(kWidth),
                                                     static_cast<int>(height)),
                    &cairo_surface_destroy);
    {
        Context cr(cairo_create(surface.get()), &cairo_destroy);
        Draw(cr.get(), bands, days, now, height);
    }
    if (svg)
        cairo_surface_finish(surface.get());
    const cairo_status_t status =
        svg ? cairo_surface_status(surface.get())
        : toStandardOutput
            ? cairo_surface_write_to_png_stream(surface.get(), WriteToStandardOutput, nullptr)
            : cairo_surface_write_to_png(surface.get(), invocation.file.c_str());
    if (status != CAIRO_STATUS_SUCCESS) {
        Fail(Format(_("cannot write %s: %s"),
                    toStandardOutput ? std::string(_("standard output")) : invocation.file,
                    cairo_status_to_string(status)));
        return 2;
    }
    return 0;
}
