// Archives read from a stream that cannot seek, as a host reads one from standard input.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <thread>
#include <vector>

#include "calvora/periods/period_records.h"
#include "tests/support/host_directory.h"
#include "tests/support/period_files.h"

namespace {

struct PipeLoad {
    std::vector<std::string> descriptions;
    bool complete = false;
    int cause = 0;  // of the archive error that ended an incomplete load
};

// Feeds the bytes through a pipe from a thread and loads a period list from its reading end.
PipeLoad LoadThroughPipe(const std::string& bytes) {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) {
        ADD_FAILURE() << "no pipe";
        return {};
    }
    std::thread writer([&] {
        for (std::size_t done = 0; done < bytes.size();) {
            const ssize_t n = ::write(ends[1], bytes.data() + done, bytes.size() - done);
            if (n <= 0)
                break;
            done += static_cast<std::size_t>(n);
        }
        ::close(ends[1]);
    });
    PipeLoad result;
    CFile file;
    if (file.Open(("/dev/fd/" + std::to_string(ends[0])).c_str(), CFile::modeRead)) {
        CObList list;
        const BOOL* schema = SetPeriodArchiveSchemaFlag(nullptr);  // the tm schema
        try {
            CArchive ar(&file, CArchive::load);
            SerializePeriodList(list, ar);
            ar.Abort();
            result.complete = true;
        } catch (const CArchiveException& e) {
            result.cause = e.m_cause;
        }
        SetPeriodArchiveSchemaFlag(schema);
        while (!list.IsEmpty()) {
            auto* period = static_cast<CTimeZone*>(list.RemoveHead());
            result.descriptions.emplace_back(period->m_strDesc.View());
            delete period;
        }
        // Drained, so that the writer never waits on a full pipe.
        char rest[4096];
        while (file.Read(rest, sizeof rest) > 0) {
        }
        file.Close();
    } else {
        ADD_FAILURE() << "cannot open the reading end";
    }
    ::close(ends[0]);
    writer.join();
    return result;
}

PipeLoad Expect(const std::vector<std::string>& descriptions) {
    return {descriptions, true};
}

std::string Archive(const std::vector<std::string>& descriptions) {
    std::vector<PeriodRow> rows;
    for (std::size_t i = 0; i < descriptions.size(); ++i)
        rows.push_back({static_cast<int>(i), descriptions[i].c_str()});
    return ArchiveBytes(rows);
}

void ExpectSame(const PipeLoad& loaded, const PipeLoad& expected, const std::string& what) {
    EXPECT_EQ(loaded.complete, expected.complete) << what << ", archive error " << loaded.cause;
    ASSERT_EQ(loaded.descriptions.size(), expected.descriptions.size()) << what;
    for (std::size_t i = 0; i < expected.descriptions.size(); ++i)
        EXPECT_EQ(loaded.descriptions[i], expected.descriptions[i]) << what << ", period " << i;
}

// The first description moves the others across the archive's 4096-byte buffer one byte at a
// time: short and long ones, and one longer than the buffer, each start and end at every
// offset around its boundary.
TEST(ArchivePipe, DescriptionsAcrossTheBufferBoundaryAtEveryOffset) {
    for (std::size_t lead = 3600; lead <= 4100; ++lead) {
        const std::vector<std::string> descriptions = {std::string(lead, 'a'),
                                                       std::string(300, 'b'), std::string(200, 'c'),
                                                       std::string(5000, 'd'), std::string(1, 'e')};
        ExpectSame(LoadThroughPipe(Archive(descriptions)), Expect(descriptions),
                   "lead " + std::to_string(lead));
    }
}

TEST(ArchivePipe, LongestLengthFormsArriveWhole) {
    const std::vector<std::string> descriptions = {std::string(65533, 'w'), std::string(65534, 'd'),
                                                   std::string(300'000, 'x')};
    ExpectSame(LoadThroughPipe(Archive(descriptions)), Expect(descriptions), "long forms");
}

// A length far beyond what arrives costs no more than what arrives: the load ends at the end
// of the stream, keeping the periods before it.
TEST(ArchivePipe, HostileLengthEndsAtTheEndOfTheStream) {
    const std::vector<std::string> descriptions = {"first", std::string(5000, 'y')};
    std::string bytes = Archive(descriptions);
    const std::string wordPrefix("\xFF\x88\x13", 3);  // 5000 bytes
    const std::size_t prefix = bytes.rfind(wordPrefix);
    ASSERT_NE(prefix, std::string::npos);
    bytes.replace(prefix, wordPrefix.size(), std::string("\xFF\xFF\xFF\xF0\xFF\xFF\xFF", 7));
    ExpectSame(LoadThroughPipe(bytes), {{"first"}, false}, "hostile length");
}

}  // namespace

namespace {

TEST(ArchivePipe, HostReceivesAListFromItsStandardInput) {
    HostDirectory dir;
    const std::vector<std::string> descriptions = {std::string(4060, 'a'), std::string(300, 'b')};
    const std::string list = Archive(descriptions);
    WriteWholeFile(dir / "incoming", list);
    const auto result = RunProcess(
        {"/bin/sh", "-c", "cat \"$0\" | \"$1\" receive /dev/stdin", dir / "incoming", dir.Host()},
        {"CALVORA_SYNC_LOG=" + dir.SyncLogPath()});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(ReadWholeFile(dir / (std::string(CALVORA_HOST_FILE) + ".tm")), list);
}

// Start-up reads a list under one zone; a list with the same clock readings then arrives from
// the host's own first archive under another zone. What the module learnt converting the first
// list must not leak into the second: the saved file keeps the received clock readings.
TEST(ArchiveZones, ListReceivedAfterAZoneChangeKeepsItsClockReadings) {
    HostDirectory dir;
    CopyFile(ZONE_CHANGE_HOST_PATH, dir / "zone_change_host");
    const std::string list = ArchiveBytes({{1, "早班"}, {2, "夜班"}});
    for (const char* zone : {"Asia/Tokyo", "America/New_York"}) {
        WriteWholeFile(dir / "zone_change_host.tm", list);
        WriteWholeFile(dir / "incoming", list);
        const auto result = RunProcess(
            {dir / "zone_change_host", dir / CALVORA_MODULE_FILE, dir / "incoming", zone},
            {"TZ=UTC", "CALVORA_SYNC_LOG=" + dir.SyncLogPath()});
        EXPECT_EQ(result.exitCode, 0) << zone << ": " << result.err;
        EXPECT_EQ(ReadWholeFile(dir / "zone_change_host.tm"), list) << zone;
    }
}

}  // namespace
