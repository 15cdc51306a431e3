#include "host/app/period_json.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>
#include <set>
#include <vector>

#include "calvora/framework/platform/text_encoding.h"
#include "calvora/periods/time_of_day.h"
#include "host/host_locale.h"
#include "host/host_output.h"

// A character is written as itself only when it comes back as the same bytes and is no
// control character.
std::string DescriptionToUtf8(std::string_view cp936) {
    std::string out;
    while (!cp936.empty()) {
        std::string character;
        const std::size_t length = AppendCp936CharAsUtf8(cp936, character);
        if (cp936[0] == '\\') {
            out += "\\\\";
            cp936.remove_prefix(1);
        } else if (length > 0 && !IsTerminalControl(cp936[0]) &&
                   Utf8ToCp936(character) == cp936.substr(0, length)) {
            out += character;
            cp936.remove_prefix(length);
        } else {
            AppendHexEscape(cp936[0], out);
            cp936.remove_prefix(1);
        }
    }
    return out;
}

namespace {

std::size_t Utf8Length(unsigned char lead) {
    return lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
}

std::optional<int> HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return std::nullopt;
}

// The code page 936 bytes of a description, or nullopt with the reason in `error`.
std::optional<std::string> DescriptionFromUtf8(std::string_view utf8, std::string& error) {
    std::string out;
    while (!utf8.empty()) {
        if (utf8[0] == '\\') {
            if (utf8.size() >= 2 && utf8[1] == '\\') {
                out += '\\';
                utf8.remove_prefix(2);
                continue;
            }
            const auto high = utf8.size() >= 4 && utf8[1] == 'x' ? HexDigit(utf8[2]) : std::nullopt;
            const auto low = high ? HexDigit(utf8[3]) : std::nullopt;
            if (!low) {
                error = _("a backslash starts neither \\\\ nor \\xHH");
                return std::nullopt;
            }
            out += static_cast<char>(*high * 16 + *low);
            utf8.remove_prefix(4);
            continue;
        }
        const std::string_view character =
            utf8.substr(0, Utf8Length(static_cast<unsigned char>(utf8[0])));
        const std::string bytes = Utf8ToCp936(character);
        if (bytes.empty() || Cp936ToUtf8(bytes) != character) {
            error = Format(_("\"%s\" cannot be held in code page 936"), std::string(character));
            return std::nullopt;
        }
        out += bytes;
        utf8.remove_prefix(character.size());
    }
    return out;
}

// At most a short prefix of a value, for a message of one line.
std::string Shown(const Json& value) {
    constexpr std::size_t kMostShown = 40;
    constexpr auto kReplace = Json::error_handler_t::replace;
    std::string text = value.is_string() && value.get_ref<const std::string&>().size() > kMostShown
                           ? Json(value.get_ref<const std::string&>().substr(0, kMostShown))
                                 .dump(-1, ' ', false, kReplace)
                           : value.dump(-1, ' ', false, kReplace);
    if (text.size() <= kMostShown)
        return text;
    std::size_t cut = kMostShown;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
        --cut;  // not inside a character
    return text.substr(0, cut) + "...";
}

struct Clock {
    int hour, minute, second;
};

// "HH:MM:SS" with two digits each, from 00:00:00 to 23:59:59, and nothing else.
std::optional<Clock> ClockFields(std::string_view text) {
    auto twoDigits = [&](std::size_t at, int most) -> std::optional<int> {
        const char high = text[at], low = text[at + 1];
        if (high < '0' || high > '9' || low < '0' || low > '9')
            return std::nullopt;
        const int value = (high - '0') * 10 + (low - '0');
        return value <= most ? std::optional(value) : std::nullopt;
    };
    if (text.size() != 8 || text[2] != ':' || text[5] != ':')
        return std::nullopt;
    const auto hour = twoDigits(0, 23), minute = twoDigits(3, 59), second = twoDigits(6, 59);
    if (!hour || !minute || !second)
        return std::nullopt;
    return Clock{*hour, *minute, *second};
}

std::string ClockText(const CTime& time) {
    return time.Format("%H:%M:%S").Bytes();
}

Json DateToJson(const CDateInfo& date) {
    Json json{{"year", date.m_nYear}, {"month", date.m_nMonth}, {"day", date.m_nDay}};
    // Carried integers that the configuration dialog always writes as 0.
    if (date.m_nReserved1 != 0 || date.m_nReserved2 != 0) {
        json["reserved1"] = date.m_nReserved1;
        json["reserved2"] = date.m_nReserved2;
    }
    return json;
}

// Reads the text once as events, before any value is built: whether it is JSON, nested no
// deeper than a list needs, with no key twice in an object. Nothing here recurses.
class JsonShapeCheck final : public nlohmann::json_sax<Json> {
public:
    explicit JsonShapeCheck(std::string_view text) : m_text(text) {}

    const std::string& Error() const { return m_error; }

    bool null() override { return Value(); }
    bool boolean(bool) override { return Value(); }
    bool number_integer(number_integer_t) override { return Value(); }
    bool number_unsigned(number_unsigned_t) override { return Value(); }
    bool number_float(number_float_t, const string_t&) override { return Value(); }
    bool string(string_t&) override { return Value(); }
    bool binary(binary_t&) override { return Value(); }
    bool start_object(std::size_t) override { return Open(); }
    bool start_array(std::size_t) override { return Open(); }
    bool end_object() override { return Close(); }
    bool end_array() override { return Close(); }

    bool key(string_t& name) override {
        if (m_keys.back().insert(name).second)
            return true;
        m_error = m_entries > 0
                      ? Format(_("entry %zu: field %s appears twice"), m_entries, Shown(Json(name)))
                      : Format(_("field %s appears twice"), Shown(Json(name)));
        return false;
    }

    bool parse_error(std::size_t position, const std::string& lastToken,
                     const nlohmann::detail::exception&) override {
        const std::string_view read = m_text.substr(0, std::min(position, m_text.size()));
        const std::size_t lineStart = read.rfind('\n') + 1;  // npos + 1 is 0
        const auto line = std::count(read.begin(), read.end(), '\n') + 1;
        m_error = Format(_("not valid JSON at line %ld, column %zu, after %s"),
                         static_cast<long>(line), read.size() - lineStart,
                         Shown(Json(Json::string_t(lastToken.begin(), lastToken.end()))));
        return false;
    }

private:
    // An array of objects that hold date objects: three levels, with room to spare.
    static constexpr std::size_t kDeepest = 8;

    // Counts the entries of the outermost array, to name them in messages.
    bool Value() {
        if (m_depth == 1)
            ++m_entries;
        return true;
    }

    bool Open() {
        Value();
        if (++m_depth > kDeepest) {
            m_error = Format(_("values nested deeper than %zu levels"), kDeepest);
            return false;
        }
        m_keys.emplace_back();  // an array's stays empty
        return true;
    }

    bool Close() {
        --m_depth;
        m_keys.pop_back();
        return true;
    }

    std::string_view m_text;
    std::string m_error;
    std::size_t m_depth = 0;
    std::size_t m_entries = 0;
    std::vector<std::set<std::string>> m_keys;
};

// Reads one entry's fields, naming the first bad one.
class EntryReader {
public:
    explicit EntryReader(const Json& entry) : m_entry(entry) {}

    const std::string& Error() const { return m_error; }

    const Json* Field(const Json& object, const char* name, const std::string& path) {
        if (!m_error.empty())
            return nullptr;
        const auto found = object.find(name);
        if (found == object.end()) {
            m_error = Format(_("field \"%s\" is missing"), path);
            return nullptr;
        }
        return &*found;
    }

    int Integer(const Json& object, const char* name, const std::string& path,
                bool optional = false) {
        if (optional && !object.contains(name))
            return 0;
        const Json* field = Field(object, name, path);
        if (field == nullptr)
            return 0;
        if (!field->is_number_integer() || (*field < std::numeric_limits<std::int32_t>::min()) ||
            (*field > std::numeric_limits<std::int32_t>::max())) {
            m_error = Format(_("field \"%s\" is %s, not an integer from -2147483648 to 2147483647"),
                             path, Shown(*field));
            return 0;
        }
        return field->get<int>();
    }

    void Date(const char* name, CDateInfo& date) {
        const Json* field = Field(m_entry, name, name);
        if (field == nullptr)
            return;
        if (!field->is_object()) {
            m_error = Format(_("field \"%s\" is not an object"), name);
            return;
        }
        const std::string prefix = std::string(name) + ".";
        date.m_nYear = Integer(*field, "year", prefix + "year");
        date.m_nMonth = Integer(*field, "month", prefix + "month");
        date.m_nDay = Integer(*field, "day", prefix + "day");
        date.m_nReserved1 = Integer(*field, "reserved1", prefix + "reserved1", true);
        date.m_nReserved2 = Integer(*field, "reserved2", prefix + "reserved2", true);
    }

    // A time of day exactly "HH:MM:SS", on the date the loader gives every time.
    CTime Time(const char* name) {
        const Json* field = Field(m_entry, name, name);
        if (field == nullptr)
            return CTime();
        const auto clock =
            field->is_string() ? ClockFields(field->get_ref<const std::string&>()) : std::nullopt;
        if (!clock) {
            m_error =
                Format(_("field \"%s\" is %s, not a time \"HH:MM:SS\" from 00:00:00 to 23:59:59"),
                       name, Shown(*field));
            return CTime();
        }
        return ClockReading(clock->hour, clock->minute, clock->second);
    }

    std::string Description() {
        const Json* field = Field(m_entry, "description", "description");
        if (field == nullptr)
            return {};
        if (!field->is_string()) {
            m_error = _("field \"description\" is not a string");
            return {};
        }
        std::string reason;
        const auto bytes = DescriptionFromUtf8(field->get<std::string>(), reason);
        if (!bytes)
            m_error = Format(_("field \"description\": %s"), reason);
        return bytes.value_or("");
    }

private:
    const Json& m_entry;
    std::string m_error;
};

}  // namespace

Json PeriodToJson(const CTimeZone& p) {
    return {{"number", p.m_nID},
            {"description", DescriptionToUtf8(p.m_strDesc.View())},
            {"startDate", DateToJson(p.m_dateStart)},
            {"endDate", DateToJson(p.m_dateEnd)},
            {"firstWeekday", p.m_nWeekStart},
            {"lastWeekday", p.m_nWeekEnd},
            {"startTime", ClockText(p.m_timeStart)},
            {"endTime", ClockText(p.m_timeEnd)}};
}

std::string JsonText(const Json& value) {
    // Escaped to ASCII where the terminal's character set is not UTF-8: the same JSON to a parser.
    return value.dump(2, ' ', !PrintsUtf8()) + "\n";
}

std::string PeriodsToJson(const CObList& periods) {
    Json list = Json::array();
    for (POSITION pos = periods.GetHeadPosition(); pos != nullptr;)
        list.push_back(PeriodToJson(*static_cast<const CTimeZone*>(periods.GetNext(pos))));
    return JsonText(list);
}

ParsedPeriods PeriodsFromJson(std::string_view text) {
    ParsedPeriods parsed;
    JsonShapeCheck shape(text);
    if (!Json::sax_parse(text, &shape)) {
        parsed.error = shape.Error();
        return parsed;
    }
    const Json list = Json::parse(text);
    if (!list.is_array()) {
        parsed.error = _("not a JSON array of periods");
        return parsed;
    }
    for (std::size_t i = 0; i < list.size(); ++i) {
        const Json& entry = list[i];
        if (!entry.is_object()) {
            parsed.error = Format(_("entry %zu: not an object"), i + 1);
            return parsed;
        }
        auto period = std::make_unique<CTimeZone>();
        EntryReader reader(entry);
        period->m_nID = reader.Integer(entry, "number", "number");
        period->m_strDesc = CString(reader.Description());
        reader.Date("startDate", period->m_dateStart);
        reader.Date("endDate", period->m_dateEnd);
        period->m_nWeekStart = reader.Integer(entry, "firstWeekday", "firstWeekday");
        period->m_nWeekEnd = reader.Integer(entry, "lastWeekday", "lastWeekday");
        period->m_timeStart = reader.Time("startTime");
        period->m_timeEnd = reader.Time("endTime");
        if (!reader.Error().empty()) {
            const auto number = entry.find("number");
            parsed.error =
                number != entry.end() && number->is_number_integer()
                    ? Format(_("entry %zu (number %s): %s"), i + 1, Shown(*number), reader.Error())
                    : Format(_("entry %zu: %s"), i + 1, reader.Error());
            return parsed;
        }
        parsed.periods.push_back(std::move(period));
    }
    return parsed;
}
