#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <ctime>
#include <random>
#include <string>
#include <vector>

#include "tests/support/period_archive_helpers.h"
#include "tests/support/time_zone_guard.h"

namespace {

// The writer as it was: every field through the archive, every time broken down on its own
// by the C library (midnight when it cannot be).
Bytes SaveFieldByField(CObList& list, bool tmSchema) {
    CMemFile file;
    CArchive ar(&file, CArchive::store);
    ar.WriteCount(static_cast<DWORD_PTR>(list.GetCount()));
    POSITION pos = list.GetHeadPosition();
    for (bool first = true; pos != nullptr; first = false) {
        const auto* p = static_cast<const CTimeZone*>(list.GetNext(pos));
        if (first) {
            ar << WORD{0xFFFF} << WORD{1} << WORD{9};
            ar.Write("CTimeZone", 9);
        } else {
            ar << WORD{0x8001};
        }
        for (const CDateInfo* d : {&p->m_dateStart, &p->m_dateEnd}) {
            ar << static_cast<LONG>(d->m_nYear) << static_cast<LONG>(d->m_nMonth)
               << static_cast<LONG>(d->m_nDay) << static_cast<LONG>(d->m_nReserved1)
               << static_cast<LONG>(d->m_nReserved2);
        }
        ar << static_cast<LONG>(p->m_nID) << p->m_strDesc << static_cast<LONG>(p->m_nWeekStart)
           << static_cast<LONG>(p->m_nWeekEnd);
        for (const CTime* t : {&p->m_timeStart, &p->m_timeEnd}) {
            if (!tmSchema) {
                ar << static_cast<DWORD>(static_cast<std::uint64_t>(t->GetTime()));
                continue;
            }
            std::tm f{};
#if defined(_WIN32)
            const __time64_t value = t->GetTime();
            const bool broken = _localtime64_s(&f, &value) == 0;
#else
            const time_t value = static_cast<time_t>(t->GetTime());
            const bool broken = static_cast<std::int64_t>(value) == t->GetTime() &&
                                localtime_r(&value, &f) != nullptr;
#endif
            if (!broken)
                f = {};
            ar << static_cast<LONG>(f.tm_hour) << static_cast<LONG>(f.tm_min)
               << static_cast<LONG>(f.tm_sec);
        }
    }
    ar.Close();
    return FileBytes(file);
}

// Random lists, long enough to fill several of the writer's blocks, with descriptions at every
// prefix boundary and one longer than a block, under zones changed between saves.
// Loaded back through a buffer too small for any element, element by element through the
// archive, and through one that holds them, parsed where they lie, both give the same list.
TEST(PeriodArchive, WriterGivesTheFieldByFieldBytesAndLoadsBackOnRandomLists) {
    std::mt19937 random(2105);
    const std::size_t lengths[] = {0, 4, 254, 255, 65533, 65534, 300000};
    const char* const zones[] = {"Asia/Shanghai", "Europe/Berlin", "UTC", "Australia/Lord_Howe"};
    for (int trial = 0; trial < 8; ++trial) {
        TimeZoneGuard zone(zones[trial % 4]);
        OwnedPeriodList periods;
        const int count = std::uniform_int_distribution<int>(0, 6000)(random);
        for (int i = 0; i < count; ++i) {
            CTimeZone& p = periods.Add();
            p.SetID(static_cast<int>(random()));
            const std::size_t length =
                random() % 50 == 0 ? lengths[random() % std::size(lengths)] : random() % 40;
            p.SetDesc(CString(static_cast<char>('a' + random() % 26), static_cast<int>(length)));
            p.SetStartDate(static_cast<int>(random()), 5, 1, static_cast<int>(random()), 0);
            p.SetEndDate(0, 0, static_cast<int>(random()), 0, static_cast<int>(random()));
            p.m_nWeekStart = static_cast<int>(random() % 9);
            p.m_nWeekEnd = static_cast<int>(random());
            p.m_timeStart =
                random() % 100 == 0 ? CTime(INT64_MAX) : CTime(2005, 4, 12, 0, 0, random() % 90000);
            p.m_timeEnd = CTime(static_cast<std::int64_t>(random()) - 0x40000000);
        }
        for (const bool tmSchema : {true, false}) {
            SchemaGuard schema(tmSchema);
            const Bytes saved = SaveList(periods.list);
            const Bytes expected = SaveFieldByField(periods.list, tmSchema);
            const auto differ =
                std::mismatch(saved.begin(), saved.end(), expected.begin(), expected.end());
            ASSERT_TRUE(differ.first == saved.end() && differ.second == expected.end())
                << "trial " << trial << (tmSchema ? " tm" : " legacy") << ": " << saved.size()
                << " bytes against " << expected.size() << ", first difference at "
                << differ.first - saved.begin();
            for (const int bufferSize : {16, 1 << 20}) {
                OwnedPeriodList loaded;
                Bytes copy = saved;
                CMemFile file(copy.data(), static_cast<UINT>(copy.size()));
                CArchive ar(&file, CArchive::load, bufferSize);
                SerializePeriodList(loaded.list, ar);
                ASSERT_TRUE(SaveList(loaded.list) == saved)
                    << "trial " << trial << (tmSchema ? " tm" : " legacy") << ", buffer "
                    << bufferSize;
            }
        }
    }
}

Bytes Splice(Bytes bytes, std::size_t offset, std::size_t removed, const Bytes& inserted) {
    bytes.erase(bytes.begin() + static_cast<std::ptrdiff_t>(offset),
                bytes.begin() + static_cast<std::ptrdiff_t>(offset + removed));
    bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(offset), inserted.begin(),
                 inserted.end());
    return bytes;
}

Bytes Le32(std::uint32_t value) {
    return {static_cast<BYTE>(value), static_cast<BYTE>(value >> 8), static_cast<BYTE>(value >> 16),
            static_cast<BYTE>(value >> 24)};
}

// Offsets just past each element of the three-period stream.
std::vector<std::size_t> ElementEnds(bool tmSchema) {
    SchemaGuard schema(tmSchema);
    OwnedPeriodList periods;
    FillThreePeriods(periods);
    std::vector<std::size_t> ends;
    OwnedPeriodList prefix;
    for (int i = 0; i < 3; ++i) {
        prefix.list.AddTail(periods.list.RemoveHead());
        ends.push_back(SaveList(prefix.list).size());
    }
    return ends;
}

TEST(PeriodArchive, WorkedExampleBothDirectionsInEveryZone) {
    SchemaGuard schema(TRUE);
    const Bytes expected = FromHex(kNightShiftTm);
    ASSERT_EQ(expected.size(), 98u);
    for (const char* zone : kTestZones) {
        TimeZoneGuard tz(zone);
        OwnedPeriodList periods;
        FillNightShift(periods.Add());
        EXPECT_EQ(SaveList(periods.list), expected) << zone;

        OwnedPeriodList loaded;
        ASSERT_EQ(LoadList(expected, loaded.list).cause, ArchiveLoadResult::kNoError);
        ASSERT_EQ(loaded.list.GetCount(), 1);
        const CTimeZone& period = loaded.At(0);
        EXPECT_EQ(period.GetID(), 1);
        EXPECT_EQ(period.GetDesc(), "夜班");
        EXPECT_EQ(period.m_dateStart.GetYear(), 2011);
        EXPECT_EQ(period.m_nWeekStart, 1);
        EXPECT_EQ(period.m_nWeekEnd, 5);
        EXPECT_EQ(period.m_timeStart.Format("%Y-%m-%d %H:%M:%S"), "2005-04-12 08:30:00") << zone;
        EXPECT_EQ(period.m_timeEnd.Format("%Y-%m-%d %H:%M:%S"), "2005-04-12 17:00:00") << zone;
        EXPECT_EQ(SaveList(loaded.list), expected) << zone;
    }
}

TEST(PeriodArchive, EmptyListIsTwoZeroBytes) {
    SchemaGuard schema(TRUE);
    OwnedPeriodList empty;
    EXPECT_EQ(SaveList(empty.list), FromHex("00 00"));
    OwnedPeriodList loaded;
    EXPECT_EQ(LoadList(FromHex("00 00"), loaded.list).cause, ArchiveLoadResult::kNoError);
    EXPECT_TRUE(loaded.list.IsEmpty());
}

TEST(PeriodArchive, SecondElementCarriesClassIndexTag) {
    SchemaGuard schema(TRUE);
    OwnedPeriodList periods;
    FillNightShift(periods.Add());
    CTimeZone& second = periods.Add();
    FillNightShift(second);
    second.SetID(2);
    const Bytes bytes = SaveList(periods.list);
    const Bytes first = FromHex(kNightShiftTm);
    ASSERT_EQ(bytes.size(), 98u + 2 + 76 + 5);
    EXPECT_EQ(bytes[0], 0x02);
    EXPECT_TRUE(std::equal(first.begin() + 1, first.end(), bytes.begin() + 1));
    EXPECT_EQ(bytes[98], 0x01);
    EXPECT_EQ(bytes[99], 0x80);
    EXPECT_EQ(Bytes(bytes.begin() + 100, bytes.begin() + 104), FromHex("DB 07 00 00"));

    OwnedPeriodList loaded;
    ASSERT_EQ(LoadList(bytes, loaded.list).cause, ArchiveLoadResult::kNoError);
    ASSERT_EQ(loaded.list.GetCount(), 2);
    EXPECT_EQ(loaded.At(1).GetID(), 2);
}

TEST(PeriodArchive, LegacySchemaHoldsInstants) {
    TimeZoneGuard utc("UTC");
    SchemaGuard schema(FALSE);
    OwnedPeriodList periods;
    FillNightShift(periods.Add());
    const auto start = static_cast<std::uint32_t>(periods.At(0).m_timeStart.GetTime());
    const auto end = static_cast<std::uint32_t>(periods.At(0).m_timeEnd.GetTime());
    Bytes expected = FromHex(kNightShiftTm);
    expected.resize(74);
    for (std::uint32_t t : {start, end}) {
        const Bytes le = Le32(t);
        expected.insert(expected.end(), le.begin(), le.end());
    }
    const Bytes bytes = SaveList(periods.list);
    ASSERT_EQ(bytes.size(), 82u);
    EXPECT_EQ(bytes, expected);

    // Instants keep their value; their clock readings follow the reader's zone.
    for (const char* zone : kTestZones) {
        TimeZoneGuard tz(zone);
        OwnedPeriodList loaded;
        ASSERT_EQ(LoadList(bytes, loaded.list).cause, ArchiveLoadResult::kNoError);
        EXPECT_EQ(loaded.At(0).m_timeStart.GetTime(), start);
        EXPECT_EQ(loaded.At(0).m_timeEnd.GetTime(), end);
        EXPECT_EQ(SaveList(loaded.list), bytes);
    }
    TimeZoneGuard shanghai("Asia/Shanghai");
    OwnedPeriodList loaded;
    ASSERT_EQ(LoadList(bytes, loaded.list).cause, ArchiveLoadResult::kNoError);
    EXPECT_EQ(loaded.At(0).m_timeStart.Format("%H:%M:%S"), "16:30:00");
}

TEST(PeriodArchive, LegacyTimesAreUnsigned32BitSeconds) {
    SchemaGuard schema(FALSE);
    OwnedPeriodList periods;
    FillNightShift(periods.Add());
    periods.At(0).m_timeStart = CTime((CTime::time_type{1} << 32) + 5);
    periods.At(0).m_timeEnd = CTime(CTime::time_type{0xFFFFFFFF});
    const Bytes bytes = SaveList(periods.list);
    EXPECT_EQ(Bytes(bytes.begin() + 74, bytes.end()), FromHex("05 00 00 00 FF FF FF FF"));
    OwnedPeriodList loaded;
    ASSERT_EQ(LoadList(bytes, loaded.list).cause, ArchiveLoadResult::kNoError);
    EXPECT_EQ(loaded.At(0).m_timeStart.GetTime(), 5);
    EXPECT_EQ(loaded.At(0).m_timeEnd.GetTime(), 0xFFFFFFFFll);
}

TEST(PeriodArchive, TmClockReadingsSurviveAChangeOfZone) {
    SchemaGuard schema(TRUE);
    Bytes bytes;
    {
        TimeZoneGuard shanghai("Asia/Shanghai");
        OwnedPeriodList periods;
        FillNightShift(periods.Add());
        periods.At(0).m_timeEnd = CTime(1999, 12, 31, 23, 59, 59);
        bytes = SaveList(periods.list);
    }
    EXPECT_EQ(Bytes(bytes.begin() + 86, bytes.end()),
              FromHex("17 00 00 00 3B 00 00 00 3B 00 00 00"));
    for (const char* zone : kTestZones) {
        TimeZoneGuard tz(zone);
        OwnedPeriodList loaded;
        ASSERT_EQ(LoadList(bytes, loaded.list).cause, ArchiveLoadResult::kNoError);
        EXPECT_EQ(loaded.At(0).m_timeEnd.Format("%Y-%m-%d %H:%M:%S"), "2005-04-12 23:59:59")
            << zone;
        EXPECT_EQ(SaveList(loaded.list), bytes) << zone;
    }
}

TEST(PeriodArchive, OutOfRangeClockFieldsAreNormalised) {
    SchemaGuard schema(TRUE);
    struct Case {
        int hour, minute, second;
        const char* expected;
    };
    const Case cases[] = {
        {8, 60, 0, "09:00:00"},   {24, 0, 0, "00:00:00"}, {-1, 0, 0, "23:00:00"},
        {0, 0, 3600, "01:00:00"}, {0, -1, 0, "23:59:00"}, {0, 0, 86399, "23:59:59"},
    };
    for (const char* zone : kTestZones) {
        TimeZoneGuard tz(zone);
        for (const Case& c : cases) {
            Bytes bytes = FromHex(kNightShiftTm);
            int offset = 74;
            for (int field : {c.hour, c.minute, c.second}) {
                const Bytes le = Le32(static_cast<std::uint32_t>(field));
                std::copy(le.begin(), le.end(), bytes.begin() + offset);
                offset += 4;
            }
            OwnedPeriodList loaded;
            ASSERT_EQ(LoadList(bytes, loaded.list).cause, ArchiveLoadResult::kNoError);
            const CString reading = loaded.At(0).m_timeStart.Format("%H:%M:%S");
            EXPECT_EQ(reading, c.expected)
                << zone << " " << c.hour << ":" << c.minute << ":" << c.second;
            // The next save writes the normalised reading.
            const Bytes saved = SaveList(loaded.list);
            const int expectedHour = std::atoi(c.expected);
            EXPECT_EQ(Bytes(saved.begin() + 74, saved.begin() + 78),
                      Le32(static_cast<std::uint32_t>(expectedHour)));
        }
    }
}

TEST(PeriodArchive, DescriptionLengthPrefixes) {
    SchemaGuard schema(TRUE);
    struct Case {
        int length;
        const char* prefix;
    };
    const Case cases[] = {{0, "00"},
                          {254, "FE"},
                          {255, "FF FF 00"},
                          {65533, "FF FD FF"},
                          {65534, "FF FF FF FE FF 00 00"},
                          {65535, "FF FF FF FF FF 00 00"}};
    for (const Case& c : cases) {
        OwnedPeriodList periods;
        FillNightShift(periods.Add());
        periods.At(0).SetDesc(CString('\xB0', c.length));
        const Bytes bytes = SaveList(periods.list);
        const Bytes prefix = FromHex(c.prefix);
        ASSERT_EQ(bytes.size(), 93u + prefix.size() + static_cast<std::size_t>(c.length))
            << c.length;
        EXPECT_EQ(Bytes(bytes.begin() + 61,
                        bytes.begin() + 61 + static_cast<std::ptrdiff_t>(prefix.size())),
                  prefix)
            << c.length;
        OwnedPeriodList loaded;
        ASSERT_EQ(LoadList(bytes, loaded.list).cause, ArchiveLoadResult::kNoError) << c.length;
        EXPECT_EQ(loaded.At(0).GetDesc(), periods.At(0).GetDesc()) << c.length;
        EXPECT_EQ(loaded.At(0).m_nWeekEnd, 5) << c.length;
    }
}

TEST(PeriodArchive, ElementCountPrefixes) {
    SchemaGuard schema(TRUE);
    struct Case {
        int count;
        const char* prefix;
    };
    for (const Case& c :
         {Case{65534, "FE FF FF FF 01 00"}, Case{65535, "FF FF FF FF 00 00 FF FF"}}) {
        OwnedPeriodList periods;
        for (int i = 0; i < c.count; ++i)
            periods.Add().SetID(i);
        const Bytes bytes = SaveList(periods.list);
        const Bytes prefix = FromHex(c.prefix);
        EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(prefix.size())),
                  prefix);
        OwnedPeriodList loaded;
        ASSERT_EQ(LoadList(bytes, loaded.list).cause, ArchiveLoadResult::kNoError);
        ASSERT_EQ(loaded.list.GetCount(), c.count);
        EXPECT_EQ(static_cast<CTimeZone*>(loaded.list.GetTail())->GetID(), c.count - 1);
    }
}

TEST(PeriodArchive, ThreePeriodsRoundTripByteForByte) {
    for (BOOL tmSchema : {TRUE, FALSE}) {
        SchemaGuard schema(tmSchema);
        OwnedPeriodList periods;
        FillThreePeriods(periods);
        const Bytes bytes = SaveList(periods.list);
        OwnedPeriodList loaded;
        ASSERT_EQ(LoadList(bytes, loaded.list).cause, ArchiveLoadResult::kNoError);
        ASSERT_EQ(loaded.list.GetCount(), 3);
        EXPECT_EQ(loaded.At(1).m_dateStart.m_nReserved1, 7);
        EXPECT_EQ(loaded.At(1).m_dateStart.m_nReserved2, -8);
        EXPECT_EQ(loaded.At(1).m_dateEnd.m_nReserved2, 2147483647);
        EXPECT_EQ(SaveList(loaded.list), bytes) << tmSchema;
    }
}

TEST(PeriodArchive, LoadingAppendsAndLeavesTrailingBytesUnread) {
    SchemaGuard schema(TRUE);
    Bytes bytes = FromHex(kNightShiftTm);
    bytes.insert(bytes.end(), {0xDE, 0xAD, 0xBE, 0xEF});
    OwnedPeriodList periods;
    periods.Add().SetID(42);
    CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()));
    CArchive ar(&file, CArchive::load);
    SerializePeriodList(periods.list, ar);
    ar.Close();
    EXPECT_EQ(file.GetPosition(), 98u);
    ASSERT_EQ(periods.list.GetCount(), 2);
    EXPECT_EQ(periods.At(0).GetID(), 42);
    EXPECT_EQ(periods.At(1).GetID(), 1);
}

// Every damage below comes after complete elements, which must stay in the list.
TEST(PeriodArchive, DamagedFramingIsALoadErrorKeepingCompleteElements) {
    SchemaGuard schema(TRUE);
    OwnedPeriodList periods;
    FillNightShift(periods.Add());
    CTimeZone& second = periods.Add();
    FillNightShift(second);
    second.SetDesc("ab");
    const Bytes valid = SaveList(periods.list);
    const std::size_t tag2 = 98;
    const std::size_t desc2 = tag2 + 2 + 40 + 4;
    ASSERT_EQ(valid[desc2], 0x02);
    const Bytes longName = [] {
        Bytes name = FromHex("40 00");
        const std::string text = "CTimeZone" + std::string(55, 'x');
        name.insert(name.end(), text.begin(), text.end());
        return name;
    }();
    auto name = [](const std::string& text) { return Bytes(text.begin(), text.end()); };

    struct Case {
        const char* what;
        Bytes stream;
        int cause;
        int kept;
    };
    const Case cases[] = {
        {"null tag", Splice(valid, tag2, 2, FromHex("00 00")), CArchiveException::badIndex, 1},
        {"repeat of the class", Splice(valid, tag2, 2, FromHex("01 00")),
         CArchiveException::badIndex, 1},
        {"repeat of an element", Splice(valid, tag2, 2, FromHex("02 00")),
         CArchiveException::badIndex, 1},
        {"highest repeat", Splice(valid, tag2, 2, FromHex("FE 7F")), CArchiveException::badIndex,
         1},
        {"long index tag", Splice(valid, tag2, 2, FromHex("FF 7F 01 00 00 80")),
         CArchiveException::badIndex, 1},
        {"class index 0", Splice(valid, tag2, 2, FromHex("00 80")), CArchiveException::badIndex, 1},
        {"class index of an element", Splice(valid, tag2, 2, FromHex("02 80")),
         CArchiveException::badIndex, 1},
        {"class index before any record", Splice(valid, 2, 15, FromHex("01 80")),
         CArchiveException::badIndex, 0},
        {"schema 0", Splice(valid, 4, 2, FromHex("00 00")), CArchiveException::badSchema, 0},
        {"schema 2", Splice(valid, 4, 2, FromHex("02 00")), CArchiveException::badSchema, 0},
        {"unknown class", Splice(valid, 8, 9, name("CTimeZonf")), CArchiveException::badClass, 0},
        {"wrong case", Splice(valid, 8, 9, name("ctimezone")), CArchiveException::badClass, 0},
        {"date bound as element", Splice(valid, 8, 9, name("CDateInfo")),
         CArchiveException::badClass, 0},
        {"name of 64 bytes", Splice(valid, 6, 11, longName), CArchiveException::badClass, 0},
        {"second class record naming CDateInfo",
         Splice(valid, tag2, 2,
                [&] {
                    Bytes record = FromHex("FF FF 01 00 09 00");
                    const Bytes n = name("CDateInfo");
                    record.insert(record.end(), n.begin(), n.end());
                    return record;
                }()),
         CArchiveException::badClass, 1},
        {"wide description", Splice(valid, desc2, 3, FromHex("FF FE FF 02 61 00 62 00")),
         CArchiveException::generic, 1},
        {"count beyond the stream", Splice(valid, 0, 2, FromHex("FF FF FF FF FF FF")),
         CArchiveException::endOfFile, 2},
        {"description of 4 GiB", Splice(valid, desc2, 3, FromHex("FF FF FF FF FF FF FF")),
         CArchiveException::endOfFile, 1},
        {"description of 64 KiB", Splice(valid, desc2, 3, FromHex("FF FD FF")),
         CArchiveException::endOfFile, 1},
    };
    for (const Case& c : cases) {
        OwnedPeriodList loaded;
        EXPECT_EQ(LoadList(c.stream, loaded.list).cause, c.cause) << c.what;
        ASSERT_EQ(loaded.list.GetCount(), c.kept) << c.what;
        if (c.kept > 0) {
            EXPECT_EQ(loaded.At(0).GetDesc(), "夜班") << c.what;
        }
    }
}

TEST(PeriodArchive, EveryCutKeepsTheCompleteElementsBeforeIt) {
    for (BOOL tmSchema : {TRUE, FALSE}) {
        const std::vector<std::size_t> ends = ElementEnds(tmSchema);
        SchemaGuard schema(tmSchema);
        OwnedPeriodList periods;
        FillThreePeriods(periods);
        const Bytes bytes = SaveList(periods.list);
        ASSERT_EQ(bytes.size(), ends.back());
        for (std::size_t cut = 0; cut < bytes.size(); ++cut) {
            OwnedPeriodList loaded;
            const ArchiveLoadResult outcome =
                LoadList(Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(cut)),
                         loaded.list);
            EXPECT_EQ(outcome.cause, CArchiveException::endOfFile) << cut;
            const auto complete = std::count_if(ends.begin(), ends.end(),
                                                [&](std::size_t end) { return end <= cut; });
            ASSERT_EQ(loaded.list.GetCount(), complete) << cut;
        }
    }
}

TEST(PeriodArchive, AnyRegisteredClassLoadsThroughThePlainListSerialize) {
    SchemaGuard schema(TRUE);
    const Bytes bytes = FromHex(
        "01 00 FF FF 01 00 09 00 43 44 61 74 65 49 6E 66 6F 01 00 00 00 02 00 00 00 03 00 00 00 04 "
        "00 00 00 05 00 00 00");
    CObList list;
    Bytes copy = bytes;
    CMemFile file(copy.data(), static_cast<UINT>(copy.size()));
    CArchive ar(&file, CArchive::load);
    list.Serialize(ar);
    ASSERT_EQ(list.GetCount(), 1);
    std::unique_ptr<CObject> date(list.RemoveHead());
    ASSERT_TRUE(date->IsKindOf(RUNTIME_CLASS(CDateInfo)));
    EXPECT_EQ(static_cast<CDateInfo*>(date.get())->m_nReserved2, 5);
}

}  // namespace
