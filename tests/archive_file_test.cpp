#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/support/environment.h"
#include "tests/support/period_archive_helpers.h"

namespace {

// A memory file that the archive reads through its buffer, as it reads any file but a plain
// memory file.
class BufferedMemFile final : public CMemFile {
public:
    using CMemFile::CMemFile;
};

TEST(CArchive, PrimitivesAreLittleEndianAndRoundTrip) {
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        ar << BYTE{0xAB} << WORD{0x1234} << LONG{-2} << DWORD{0x89ABCDEF};
    }
    const Bytes bytes = FileBytes(file);
    EXPECT_EQ(bytes, FromHex("AB 34 12 FE FF FF FF EF CD AB 89"));

    file.SeekToBegin();
    CArchive ar(&file, CArchive::load);
    BYTE b = 0;
    WORD w = 0;
    LONG l = 0;
    DWORD d = 0;
    ar >> b >> w >> l >> d;
    EXPECT_EQ(b, 0xAB);
    EXPECT_EQ(w, 0x1234);
    EXPECT_EQ(l, -2);
    EXPECT_EQ(d, 0x89ABCDEFu);
    // A value the stream holds only part of is an end-of-file error, catchable generically.
    EXPECT_THROW(ar >> w, CException);
}

TEST(CArchive, CountPrefixes) {
    struct Case {
        DWORD_PTR count;
        const char* bytes;
    };
    const Case cases[] = {{0, "00 00"},
                          {65534, "FE FF"},
                          {65535, "FF FF FF FF 00 00"},
                          {0x12345678, "FF FF 78 56 34 12"}};
    for (const Case& c : cases) {
        CMemFile file;
        {
            CArchive ar(&file, CArchive::store);
            ar.WriteCount(c.count);
        }
        EXPECT_EQ(FileBytes(file), FromHex(c.bytes)) << c.count;
        file.SeekToBegin();
        CArchive ar(&file, CArchive::load);
        EXPECT_EQ(ar.ReadCount(), c.count);
    }
}

// Values and strings that straddle the buffer, written and read with different buffer sizes.
TEST(CArchive, BufferSizesDoNotChangeTheBytes) {
    const int lengths[] = {0, 15, 16, 17, 300, 70000};
    Bytes reference;
    for (int bufferSize : {16, 17, 4096, 1 << 20}) {
        CMemFile file;
        {
            CArchive ar(&file, CArchive::store, bufferSize);
            for (int length : lengths)
                ar << CString('a' + length % 26, length) << DWORD(length);
        }
        const Bytes bytes = FileBytes(file);
        if (reference.empty())
            reference = bytes;
        EXPECT_EQ(bytes, reference) << bufferSize;

        // A plain memory file is read where its bytes lie, any other file through the buffer.
        // The first string and number go through one archive and the rest through a second,
        // which starts where the first, closed, left the file.
        Bytes copy = bytes;
        BufferedMemFile buffered(copy.data(), static_cast<UINT>(copy.size()));
        for (CMemFile* source : {&file, static_cast<CMemFile*>(&buffered)}) {
            for (int readSize : {16, 33, 4096}) {
                std::vector<BYTE> own(static_cast<std::size_t>(readSize));
                source->SeekToBegin();
                std::size_t next = 0;
                for (std::size_t stop : {std::size_t{1}, std::size(lengths)}) {
                    CArchive ar(source, CArchive::load, readSize, own.data());
                    for (; next < stop; ++next) {
                        CString text;
                        DWORD value = 0;
                        ar >> text >> value;
                        EXPECT_EQ(text, CString('a' + lengths[next] % 26, lengths[next]));
                        EXPECT_EQ(value, static_cast<DWORD>(lengths[next]));
                    }
                    ar.Close();
                    EXPECT_EQ(source->GetPosition(), stop == 1 ? 5u : bytes.size());
                }
            }
        }
    }
}

TEST(CArchive, ClosedOrMisdirectedArchiveRaises) {
    CMemFile file;
    CArchive storing(&file, CArchive::store);
    EXPECT_THROW(storing.ReadCount(), CArchiveException);
    BYTE loadBuffer[] = {1, 2};
    CMemFile source(loadBuffer, sizeof loadBuffer);
    CArchive loading(&source, CArchive::load);
    EXPECT_THROW(loading << BYTE{7}, CArchiveException);
    EXPECT_EQ(loadBuffer[0], 1);
    storing.Close();
    EXPECT_THROW(storing.Write("x", 1), CArchiveException);
}

TEST(CMemFile, GrowsSeeksAndDetaches) {
    CMemFile file(4);
    file.Write("abcdef", 6);
    file.Seek(8, CFile::begin);
    file.Write("z", 1);
    EXPECT_EQ(file.GetLength(), 9u);
    EXPECT_EQ(FileBytes(file), FromHex("61 62 63 64 65 66 00 00 7A"));
    EXPECT_THROW(file.Seek(-1, CFile::begin), CFileException);
    const ULONGLONG length = file.GetLength();
    BYTE* buffer = file.Detach();
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), length), std::string("abcdef\0\0z", 9));
    std::free(buffer);
    EXPECT_EQ(file.GetLength(), 0u);

    BYTE fixed[4] = {1, 2, 3, 4};
    CMemFile over(fixed, sizeof fixed);
    EXPECT_EQ(over.GetLength(), 4u);
    over.Write("\x09", 1);
    EXPECT_EQ(fixed[0], 9);
    over.SeekToEnd();
    EXPECT_THROW(over.Write("x", 1), CMemoryException);
}

TEST(CFile, OpenFailuresAreReportedNotRaised) {
    TempDir dir;
    CFile file;
    CFileException error;
    EXPECT_FALSE(
        file.Open((dir / "missing.tm").c_str(), CFile::modeRead | CFile::modeNoTruncate, &error));
    EXPECT_EQ(error.m_cause, CFileException::fileNotFound);
    EXPECT_FALSE(file.IsOpen());
    EXPECT_THROW(CFile((dir / "missing.tm").c_str(), CFile::modeRead), CFileException);
    EXPECT_THROW(file.Read(nullptr, 0), CFileException);
}

TEST(CFile, CreateTruncatesUnlessTold) {
    TempDir dir;
    const std::string path = dir / "data.tm";
    {
        CFile file(path.c_str(), CFile::modeCreate | CFile::modeWrite);
        file.Write("0123456789", 10);
        file.Flush();
        file.Close();
    }
    {
        CFile file(path.c_str(), CFile::modeCreate | CFile::modeNoTruncate | CFile::modeReadWrite);
        EXPECT_EQ(file.GetLength(), 10u);
        file.Seek(-2, CFile::end);
        char tail[3] = {};
        EXPECT_EQ(file.Read(tail, 5), 2u);
        EXPECT_STREQ(tail, "89");
    }
    CFile file(path.c_str(), CFile::modeCreate | CFile::modeWrite);
    EXPECT_EQ(file.GetLength(), 0u);
}

TEST(CFile, ExclusiveOpenersExcludeEachOther) {
    TempDir dir;
    const std::string path = dir / "data.tm";
    CFile holder(path.c_str(), CFile::modeCreate | CFile::modeWrite);
    holder.Write("abc", 3);
    CFile other;
    CFileException error;
    // The flags the store reads with: exclusive, so it must wait for the writer.
    EXPECT_FALSE(other.Open(path.c_str(), CFile::modeRead | CFile::modeNoTruncate, &error));
    EXPECT_EQ(error.m_cause, CFileException::sharingViolation);
    // A refused truncating open leaves the holder's bytes alone.
    EXPECT_FALSE(other.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite, &error));
    EXPECT_EQ(holder.GetLength(), 3u);
    holder.Close();
    EXPECT_TRUE(other.Open(path.c_str(), CFile::modeRead));
    other.Close();
    // Openers that deny nobody do not exclude each other.
    ASSERT_TRUE(holder.Open(path.c_str(), CFile::modeWrite | CFile::shareDenyNone));
    EXPECT_TRUE(other.Open(path.c_str(), CFile::modeRead | CFile::shareDenyNone));
}

TEST(CFile, PeriodListThroughAFile) {
    TempDir dir;
    SchemaGuard schema(TRUE);
    const std::string path = dir / "data.tm";
    {
        OwnedPeriodList periods;
        FillNightShift(periods.Add());
        CFile file(path.c_str(), CFile::modeCreate | CFile::modeWrite);
        CArchive ar(&file, CArchive::store);
        SerializePeriodList(periods.list, ar);
        ar.Close();
        file.Close();
    }
    {
        CFile file(path.c_str(), CFile::modeRead);
        Bytes bytes(static_cast<std::size_t>(file.GetLength()));
        file.Read(bytes.data(), static_cast<UINT>(bytes.size()));
        EXPECT_EQ(bytes, FromHex(kNightShiftTm));
    }

    // A description longer than what the file holds fails without reading past it.
    {
        CFile damaged(path.c_str(), CFile::modeWrite | CFile::modeCreate | CFile::modeNoTruncate);
        damaged.Seek(61, CFile::begin);
        damaged.Write("\xFF\xFF\xFF\x00\x00\x00\x10", 7);
    }
    CFile file(path.c_str(), CFile::modeRead);
    OwnedPeriodList loaded;
    CArchive ar(&file, CArchive::load);
    try {
        SerializePeriodList(loaded.list, ar);
        ADD_FAILURE() << "loaded a cut description";
    } catch (const CArchiveException& e) {
        EXPECT_EQ(e.m_cause, CArchiveException::endOfFile);
    }
    EXPECT_TRUE(loaded.list.IsEmpty());
}

}  // namespace
