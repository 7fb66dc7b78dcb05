// The shredder on real files in the sandbox. The final delete is observed:
// just before the file goes, the test records its name, size, bytes and times.
#include "support.h"
#include "shred/shredder.h"
#include "shred/rename.h"
#include "shred/paths.h"
#include "shred/random.h"
#include "shred/report.h"
#include <gtest/gtest.h>
#include <set>

namespace {

struct Observation {
    int calls = 0;
    std::string path;
    LONGLONG size = -1;
    std::string bytes;
    FILETIME created{}, accessed{}, written{};
};
Observation Seen;

LONGLONG SizeOf(const std::string &path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return -1;
    return ((LONGLONG)data.nFileSizeHigh << 32) | data.nFileSizeLow;
}

BOOL ObserveRemove(LPCSTR path)
{
    Seen.calls++;
    Seen.path = path;
    Seen.size = SizeOf(path);
    if (Seen.size >= 0 && Seen.size < (1 << 22))
        Seen.bytes = ReadBytes(path);
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0, NULL);
    if (file != INVALID_HANDLE_VALUE) {
        GetFileTime(file, &Seen.created, &Seen.accessed, &Seen.written);
        CloseHandle(file);
    }
    return RealFileCalls.Remove(path);
}

DWORD ChunkOfSandbox()
{
    DWORD spc, bps, free_clusters, clusters;
    EXPECT_TRUE(GetDiskFreeSpaceA("S:\\", &spc, &bps, &free_clusters, &clusters));
    return spc * bps;
}

std::vector<std::string> FillTexts()
{
    std::vector<std::string> texts;
    for (UINT id = 1; id <= FILL_TEXT_COUNT; id++) {
        char text[FILL_BUFFER];
        LoadStringA(GetModuleHandleA(NULL), id, text, FILL_BUFFER);
        texts.push_back(text);
    }
    return texts;
}

// A chunk of the shredded file must be one fill text repeated from its start.
bool IsFilledChunk(const std::string &chunk, std::string *which)
{
    for (const std::string &text : FillTexts()) {
        bool match = true;
        for (size_t i = 0; i < chunk.size() && match; i++)
            match = chunk[i] == text[i % text.size()];
        if (match) {
            *which = text;
            return true;
        }
    }
    return false;
}

int YearOf(const FILETIME &time)
{
    SYSTEMTIME st;
    FileTimeToSystemTime(&time, &st);
    return st.wYear;
}

// Times far outside the DOS range, so a scrambled one is easy to tell.
void SetFarFutureTimes(const std::string &path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, OPEN_EXISTING, 0, NULL);
    SYSTEMTIME st = { 2070, 1, 0, 1, 0, 0, 0, 0 };
    FILETIME far_future;
    SystemTimeToFileTime(&st, &far_future);
    SetFileTime(file, &far_future, &far_future, &far_future);
    CloseHandle(file);
}

// Each time is either left (2070) or scrambled into the DOS range.
int Scrambled(const std::vector<FILETIME> &times)
{
    int scrambled = 0;
    for (const FILETIME &t : times) {
        int year = YearOf(t);
        if (year != 2070) {
            EXPECT_GE(year, 1980);
            EXPECT_LE(year, 2043);
            scrambled++;
        }
    }
    return scrambled;
}

std::string Pattern(size_t size, unsigned seed)
{
    std::string s(size, 0);
    for (size_t i = 0; i < size; i++)
        s[i] = (char)('a' + (i * 7 + seed) % 26);
    return s;
}

std::vector<UINT> Beeps;
BOOL CountBeep(UINT type)
{
    Beeps.push_back(type);
    return TRUE;
}

class Shredder : public testing::Test {
protected:
    std::string dir;
    void SetUp() override
    {
        dir = SandboxFolder(testing::UnitTest::GetInstance()->current_test_info()->name());
        Seen = Observation();
        SwapFileCalls().Remove = ObserveRemove;
    }
    void TearDown() override
    {
        RemoveSandboxTree(dir);
    }
    int Shred(const std::string &path, int level, int extend)
    {
        lstrcpyA(WorkPath, path.c_str());
        lstrcpyA(ScratchPath, path.c_str());
        return ShredFile(level, extend);
    }
};

} // namespace

TEST(ShredPieces, LevelCaptionsAndFillTexts)
{
    char caption[CAPTION_BUFFER];
    const char *want[] = { "Delete", "Restricted Delete", "Confidential Delete", "Secret Delete",
                           "Top Secret Delete", "Delete" };
    for (int level = 0; level <= 5; level++) {
        LevelCaption(level, caption);
        EXPECT_STREQ(caption, want[level]) << level;
    }
    // As the shredder draws them: cut to its buffer (the stored texts
    // themselves are in the resource dump).
    std::vector<std::string> used = FillTexts();
    EXPECT_EQ(used[2], "ad majorem Dei gloriam    ");
    EXPECT_EQ(used[5], "Why are you looking at this?  There are no secrets here.   ");
    EXPECT_EQ(used[6], "'Zorvex' by Halvorn   ");
}

TEST(ShredPieces, GeneratorCoversThirtyOneBitsAndRepeatsPerSeed)
{
    SeedRandom(12345);
    std::vector<unsigned long> first;
    unsigned long high = 0;
    for (int i = 0; i < 1000; i++) {
        first.push_back(DrawRandom());
        EXPECT_LE(first.back(), 2147483647UL);
        high = first.back() > high ? first.back() : high;
    }
    EXPECT_GT(high, 1UL << 30);
    SeedRandom(12345);
    for (int i = 0; i < 1000; i++)
        ASSERT_EQ(DrawRandom(), first[i]);
    SeedRandom(12346);
    EXPECT_NE(DrawRandom(), first[0]);
}

TEST(ShredPieces, ChunkSizeNeverWrapsToZero)
{
    EXPECT_EQ(ChunkSizeFromGeometry(1, 512), 512);
    EXPECT_EQ(ChunkSizeFromGeometry(8, 512), 4096);
    EXPECT_EQ(ChunkSizeFromGeometry(64, 512), 32768);
    EXPECT_EQ(ChunkSizeFromGeometry(128, 512), 32768);   // 65536
    EXPECT_EQ(ChunkSizeFromGeometry(64, 4096), 32768);
    EXPECT_EQ(ChunkSizeFromGeometry(0, 512), 512);
}

TEST_F(Shredder, TimesAreScrambledAtLevelsThreeAndFourOnly)
{
    std::string path = dir + "times.txt";
    int scrambled[5] = { 0 };
    for (int level = 1; level <= 4; level++) {
        for (int round = 0; round < 6; round++) {
            WriteBytes(path, "x");
            SetFarFutureTimes(path);
            SeedRandom(round * 977 + level);
            EXPECT_TRUE(ScrambleFileTimes(level, path.c_str()));
            HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
            FILETIME c, a, w;
            GetFileTime(file, &c, &a, &w);
            CloseHandle(file);
            scrambled[level] += Scrambled({ c, a, w });
        }
    }
    EXPECT_EQ(scrambled[1], 0);
    EXPECT_EQ(scrambled[2], 0);
    EXPECT_GT(scrambled[3], 0);
    EXPECT_GT(scrambled[4], scrambled[3] / 2);
    EXPECT_EQ(ScrambleFileTimes(3, (dir + "missing").c_str()), 0);
}

TEST_F(Shredder, LevelsThreeAndFourRenameRandomlyOverwriteAndScrambleTimes)
{
    DWORD chunk = ChunkOfSandbox();
    for (int level = 3; level <= 4; level++) {
        std::string path = dir + "secret.doc";
        WriteBytes(path, Pattern(9000, level));
        SetFarFutureTimes(path);
        Seen = Observation();
        EXPECT_EQ(Shred(path, level, 1), 1);
        ASSERT_EQ(Seen.calls, 1);
        ASSERT_EQ(Seen.path.substr(0, dir.size()), dir);
        std::string name = Seen.path.substr(dir.size());
        EXPECT_EQ(name.size(), path.size() + 2);
        EXPECT_EQ(name.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXY"), std::string::npos) << name;
        for (LONGLONG at = 0; at < Seen.size; at += chunk) {
            std::string which;
            EXPECT_TRUE(IsFilledChunk(Seen.bytes.substr(at, chunk), &which)) << at;
        }
        Scrambled({ Seen.created, Seen.accessed, Seen.written });
        // Nothing but the new name was ever in the folder at the end.
        WIN32_FIND_DATAA data;
        HANDLE find = FindFirstFileA((dir + "*").c_str(), &data);
        int entries = 0;
        do { entries++; } while (FindNextFileA(find, &data));
        FindClose(find);
        EXPECT_EQ(entries, 2) << "level " << level;   // . and ..
    }
}

// Random names: within the 259-character limit whatever the folder, cut at
// 231 letters, and in the file's own folder.
TEST_F(Shredder, RandomNamesStayInTheirFolderAndWithinTheLimits)
{
    std::string chain = dir;
    while (chain.size() < 235)
        chain += std::string(std::min<size_t>(40, 240 - chain.size()), 'd') + "\\";
    std::string shallow = SandboxFolder("n");
    std::string wide = dir + std::string(200 - dir.size(), 'a') + "\\";
    wide += std::string(257 - wide.size(), 'b') + "\\";   // S: and a folder part of 256
    const struct { std::string folder, name; int level; size_t renamed; } cases[] = {
        { chain, "file.txt", 3, 259 },   // only a few letters fit
        { shallow, std::string(250 - shallow.size(), 'n'), 4, shallow.size() + 231 },
        { wide, "x", 3, 259 },           // where msvcrt's splitter gives up
    };
    for (auto &c : cases) {
        MakeLongFolder(c.folder.substr(0, c.folder.size() - 1));
        std::string path = c.folder + c.name;
        WriteBytes(path, "content");
        Seen = Observation();
        EXPECT_EQ(Shred(path, c.level, 0), 1) << path;
        ASSERT_EQ(Seen.calls, 1) << path;
        EXPECT_EQ(Seen.path.substr(0, c.folder.size()), c.folder);
        EXPECT_EQ(Seen.path.size(), c.renamed) << Seen.path;
        EXPECT_FALSE(Exists(path));
        EXPECT_FALSE(Exists(Cwd() + "\\" + Seen.path.substr(c.folder.size())));
    }
    RemoveSandboxTree(shallow);
}

TEST_F(Shredder, LowerCaseDriveIsUpperCasedInTheRoot)
{
    std::string path = dir + "lower.txt";
    WriteBytes(path, "abc");
    std::string lower = "s" + path.substr(1);
    EXPECT_EQ(Shred(lower, 1, 1), 1);
    EXPECT_STREQ(ScratchPath, "S:\\");
    EXPECT_FALSE(Exists(path));
}

TEST_F(Shredder, MissingReadOnlyAndFolderPathsAreRefusedWithABox)
{
    std::string missing = dir + "missing.txt";
    std::string locked = dir + "readonly.txt";
    std::string folder = dir + "folder";
    WriteBytes(locked, "keep me");
    SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_READONLY);
    CreateDirectoryA(folder.c_str(), NULL);
    Beeps.clear();
    SwapFileCalls().Beep = CountBeep;
    std::vector<SeenBox> boxes = BoxesOf([&] {
        EXPECT_EQ(Shred(missing, 4, 1), 0);
        EXPECT_EQ(Shred(locked, 4, 1), 0);
        EXPECT_EQ(Shred(folder, 4, 1), 0);
    });
    EXPECT_EQ(Beeps, (std::vector<UINT>{ 0, 0, 0 }));   // the default beep before each box
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_TRUE(BoxIs(boxes[0], "File NOT Deleted", missing, "question"));
    EXPECT_TRUE(BoxIs(boxes[1], "File NOT Deleted", locked, "question"));
    // Opening a folder as a file fails on NT, which reports it as a file.
    EXPECT_TRUE(BoxIs(boxes[2], "File NOT Deleted", folder, "question") ||
                BoxIs(boxes[2], "Directory (Folder) NOT Deleted", folder, "question"));
    EXPECT_EQ(Seen.calls, 0);
    SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadBytes(locked), "keep me");
    EXPECT_TRUE(Exists(folder));
}

static int OpenCalls;
static HANDLE FailSecondOpen(LPCSTR path)
{
    if (++OpenCalls == 2)
        return INVALID_HANDLE_VALUE;
    return RealFileCalls.Open(path);
}

TEST_F(Shredder, FileThatCannotBeReopenedAfterRenamingIsKeptAndReported)
{
    std::string path = dir + "stays.txt", content = Pattern(3000, 8);
    WriteBytes(path, content);
    OpenCalls = 0;
    SwapFileCalls().Open = FailSecondOpen;
    int result = -1;
    std::vector<SeenBox> boxes = BoxesOf([&] { result = Shred(path, 3, 1); });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(Seen.calls, 0);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "File NOT Deleted");
    std::string now = boxes[0].text;
    EXPECT_NE(now, path);   // the box names where the file now lies
    EXPECT_EQ(ReadBytes(now), content);
}

TEST_F(Shredder, FilesPastTwoGibibytesAreLengthenedAtTheirEnd)
{
    std::string path = dir + "big.bin";
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    LONG high = 0;
    SetFilePointer(file, 0x80000100, &high, FILE_BEGIN);   // sparse: nothing is written
    SetEndOfFile(file);
    CloseHandle(file);
    ASSERT_EQ(SizeOf(path), 0x80000100LL);
    EXPECT_EQ(Shred(path, 1, 1), 1);
    EXPECT_EQ(Seen.size, 0x80000100LL + ChunkOfSandbox());
    EXPECT_FALSE(Exists(path));
}

TEST(ShredPieces, PathsSplitIntoBoundedParts)
{
    std::string folder = "\\" + std::string(254, 'f') + "\\";
    const struct { std::string path, parts; } cases[] = {
        { "C:\\Data\\old\\report.txt", "C:|\\Data\\old\\|report|.txt" },
        { "x.tar.gz", "||x.tar|.gz" },
        { "S:\\dot.dir\\plain", "S:|\\dot.dir\\|plain|" },
        // A folder part of 256 characters, where msvcrt's splitter returns nothing.
        { "S:" + folder + "x", "S:|" + folder + "|x|" },
    };
    char drive[3], dir[PATH_BUFFER], name[PATH_BUFFER], ext[PATH_BUFFER];
    for (auto &c : cases) {
        SplitPath(c.path.c_str(), drive, sizeof drive, dir, sizeof dir, name, sizeof name, ext, sizeof ext);
        EXPECT_EQ(std::string(drive) + "|" + dir + "|" + name + "|" + ext, c.parts);
    }
    // Each part is cut to its buffer and always ended; a null part is left out.
    char small[4];
    SplitPath("C:\\a\\longname.extension", NULL, 0, small, sizeof small, name, 5, ext, 3);
    EXPECT_STREQ(small, "\\a\\");
    EXPECT_STREQ(name, "long");
    EXPECT_STREQ(ext, ".e");
}

static BOOL LengthUnknown(HANDLE, LONGLONG *) { return FALSE; }

TEST_F(Shredder, AFileWhoseLengthCannotBeReadIsNotCutButStillOverwritten)
{
    DWORD chunk = ChunkOfSandbox();
    std::string path = dir + "unknown.bin";
    WriteBytes(path, Pattern(3 * chunk + 5, 9));
    SwapFileCalls().Length = LengthUnknown;
    EXPECT_EQ(Shred(path, 2, 1), 1);
    ASSERT_EQ(Seen.size, (LONGLONG)(3 * chunk + 5));   // neither cut nor lengthened
    for (LONGLONG at = 0; at < Seen.size; at += chunk) {
        std::string which;
        EXPECT_TRUE(IsFilledChunk(Seen.bytes.substr(at, chunk), &which)) << at;
    }
}

// What reaches the file, call by call: each write as what it wrote (a
// pattern byte in hex, T a fill text, - nothing) @ where + how much, in
// units of the chunk C, and F for each flush.
namespace {

std::string Log;
DWORD LogChunk;
// Bytes written since the last flush, and writes over them: a rewrite of
// bytes still in the write-back cache never reaches the disk.
std::vector<std::pair<LONGLONG, LONGLONG>> Unflushed;
int Rewrites;

std::string Units(LONGLONG n)
{
    LONGLONG chunks = n / LogChunk, rest = n % LogChunk;
    std::string out = chunks == 0 ? "" : chunks == 1 ? "C" : std::to_string(chunks) + "C";
    if (rest || out.empty())
        out += (out.empty() ? "" : "+") + std::to_string(rest);
    return out;
}

BOOL LogWrite(HANDLE file, const void *bytes, DWORD count, DWORD *written)
{
    LONG high = 0;
    DWORD low = SetFilePointer(file, 0, &high, FILE_CURRENT);
    std::string data((const char *)bytes, count), which, what = "-";
    if (count && data == std::string(count, data[0]) && strchr("\x35\xCA\x97\x68", data[0])) {
        char hex[3];
        wsprintfA(hex, "%02X", (BYTE)data[0]);
        what = hex;
    } else if (count) {
        what = IsFilledChunk(data, &which) ? "T" : "?";
    }
    LONGLONG at = ((LONGLONG)high << 32) | low;
    Log += what + "@" + Units(at) + "+" + Units(count) + " ";
    for (auto &range : Unflushed)
        Rewrites += at < range.second && range.first < at + count;
    Unflushed.push_back({ at, at + count });
    return RealFileCalls.Write(file, bytes, count, written);
}

BOOL LogFlush(HANDLE file)
{
    Log += "F ";
    Unflushed.clear();
    return RealFileCalls.Flush(file);
}

unsigned long FixedClock() { return 1234567; }

// The length is known for the lengthening but not for the overwrite, which
// then counts what its reads find, as the loop did before it knew lengths.
int LengthCalls;
BOOL LengthOnlyOnce(HANDLE file, LONGLONG *length)
{
    return ++LengthCalls == 1 && RealFileCalls.Length(file, length);
}

} // namespace

// Every level (those outside the table act as level 1) on sizes around the
// chunk, lengthened or not: what reaches the disk, write by write, the same
// whether the length is known or the loop reads its way.
TEST_F(Shredder, EveryLevelWritesExactlyItsPasses)
{
    struct Row { LONGLONG chunks, bytes; int extend; const char *level2, *level4; };
    const Row rows[] = {
        { 0, 0, 0, "F", "F F F F F" },
        { 0, 1, 0, "T@0+1 F", "35@0+1 F CA@0+1 F 97@0+1 F 68@0+1 F T@0+1 F" },
        { 0, 0, 1, "T@0+C F", "35@0+C F CA@0+C F 97@0+C F 68@0+C F T@0+C F" },
        { 1, 0, 1, "T@0+C T@C+C F",
          "35@0+C 35@C+C F CA@0+C CA@C+C F 97@0+C 97@C+C F 68@0+C 68@C+C F T@0+C T@C+C F" },
        { 1, 1, 0, "T@0+C T@C+1 F",
          "35@0+C 35@C+1 F CA@0+C CA@C+1 F 97@0+C 97@C+1 F 68@0+C 68@C+1 F T@0+C T@C+1 F" },
        { 1, 1, 1, "T@0+C T@C+C T@2C+1 F",
          "35@0+C 35@C+C 35@2C+1 F CA@0+C CA@C+C CA@2C+1 F 97@0+C 97@C+C 97@2C+1 F "
          "68@0+C 68@C+C 68@2C+1 F T@0+C T@C+C T@2C+1 F" },
        { 3, 5, 0, "T@0+C T@C+C T@2C+C T@3C+5 F",
          "35@0+C 35@C+C 35@2C+C 35@3C+5 F CA@0+C CA@C+C CA@2C+C CA@3C+5 F "
          "97@0+C 97@C+C 97@2C+C 97@3C+5 F 68@0+C 68@C+C 68@2C+C 68@3C+5 F T@0+C T@C+C T@2C+C T@3C+5 F" },
    };
    LogChunk = ChunkOfSandbox();
    SwapFileCalls().Write = LogWrite;
    SwapFileCalls().Flush = LogFlush;
    SwapFileCalls().Clock = FixedClock;
    std::string path = dir + "passes.bin";
    for (const Row &row : rows) {
        LONGLONG size = row.chunks * LogChunk + row.bytes, length = size + (row.extend ? LogChunk : 0);
        for (int level : { -3, 0, 1, 2, 3, 4, 5 }) {
            const char *want = level == 4 ? row.level4 : level == 2 || level == 3 ? row.level2 : "";
            for (int reading = 0; reading <= 1; reading++) {
                SCOPED_TRACE("size " + Units(size) + ", extend " + std::to_string(row.extend) + ", level " +
                             std::to_string(level) + (reading ? ", length unknown" : ""));
                std::string content = Pattern((size_t)size, level);
                WriteBytes(path, content);
                Seen = Observation();
                Log.clear();
                Unflushed.clear();
                Rewrites = 0;
                LengthCalls = 0;
                SwapFileCalls().Length = reading ? LengthOnlyOnce : RealFileCalls.Length;
                EXPECT_EQ(Shred(path, level, row.extend), 1);
                EXPECT_EQ(Log, std::string(want) + (*want ? " " : ""));
                EXPECT_EQ(Rewrites, 0);
                ASSERT_EQ(Seen.calls, 1);
                ASSERT_EQ(Seen.size, length);
                EXPECT_FALSE(Exists(path));
                if (level < 3 || level > 4) {   // not renamed
                    EXPECT_EQ(Seen.path, path);
                    EXPECT_STREQ(WorkPath, path.c_str());
                    EXPECT_STREQ(ScratchPath, "S:\\");
                }
                // On the disk: every chunk one fill text from its start, or
                // at the other levels the file as it was, lengthened.
                for (LONGLONG at = 0; level >= 2 && level <= 4 && at < length; at += LogChunk) {
                    std::string which;
                    EXPECT_TRUE(IsFilledChunk(Seen.bytes.substr((size_t)at, LogChunk), &which)) << at;
                }
                if (level < 2 || level > 4)
                    EXPECT_EQ(Seen.bytes, content + std::string((size_t)(length - size), '\0'));
            }
        }
    }
}

namespace {
int TimeCalls, RenameCalls;
BOOL CountTimes(HANDLE file, const FILETIME *c, const FILETIME *a, const FILETIME *w)
{
    TimeCalls++;
    return RealFileCalls.SetTimes(file, c, a, w);
}
BOOL CountRename(LPCSTR from, LPCSTR to)
{
    RenameCalls++;
    return RealFileCalls.Rename(from, to);
}
unsigned long Ticks;
unsigned long CountingClock() { return ++Ticks; }
} // namespace

TEST_F(Shredder, RenamesAndTimeRoundsFollowTheLevel)
{
    SwapFileCalls().SetTimes = CountTimes;
    SwapFileCalls().Rename = CountRename;
    std::string path = dir + "rounds.txt";
    const int renames[] = { 0, 0, 1, 3 }, times[] = { 0, 0, 1, 3 };
    for (int level = 1; level <= 4; level++) {
        WriteBytes(path, "rounds");
        TimeCalls = RenameCalls = 0;
        EXPECT_EQ(Shred(path, level, 1), 1);
        EXPECT_EQ(RenameCalls, renames[level - 1]) << "level " << level;
        EXPECT_EQ(TimeCalls, times[level - 1]) << "level " << level;
        EXPECT_FALSE(Exists(path));
    }
}

TEST_F(Shredder, EveryFillTextIsDrawnAndNothingElse)
{
    SwapFileCalls().Clock = CountingClock;
    std::set<std::string> drawn;
    std::string path = dir + "texts.txt";
    for (int i = 0; i < 200; i++) {
        WriteBytes(path, "t");
        Seen = Observation();
        Shred(path, 2, 1);
        std::string which;
        ASSERT_TRUE(IsFilledChunk(Seen.bytes.substr(0, ChunkOfSandbox()), &which)) << "seed " << Ticks;
        drawn.insert(which);
    }
    EXPECT_EQ(drawn.size(), (size_t)FILL_TEXT_COUNT);
}

// Another program adds to the file while it is shredded: before each length
// read after the overwrite began, 3000 bytes more, `Appends` times. What it
// added gets the passes too; a file that keeps growing stays and is told.
namespace {
int Appends, LengthsRead;
bool LengthLost;   // after the first append, no length can be read
BOOL LengthWhileAppending(HANDLE file, LONGLONG *length)
{
    if (LengthLost && LengthsRead > 2)
        return FALSE;
    if (++LengthsRead > 2 && Appends > 0) {
        Appends--;
        LONG high = 0;
        DWORD low = SetFilePointer(file, 0, &high, FILE_CURRENT), written;
        SetFilePointer(file, 0, NULL, FILE_END);
        WriteFile(file, std::string(3000, '\x01').data(), 3000, &written, NULL);
        SetFilePointer(file, (LONG)low, &high, FILE_BEGIN);
    }
    return RealFileCalls.Length(file, length);
}
} // namespace

TEST_F(Shredder, BytesAddedDuringTheShredGetThePassesOrTheFileStays)
{
    struct Row { int level, appends; bool deleted, lost; };
    const Row rows[] = { { 2, 1, true, false }, { 4, 2, true, false }, { 2, 1, true, true }, { 2, 100, false, false } };
    std::string growing = dir + "growing.log";
    SwapFileCalls().Length = LengthWhileAppending;
    for (const Row &row : rows) {
        SCOPED_TRACE(row.appends);
        WriteBytes(growing, Pattern(5000, 3));
        Appends = row.appends;
        LengthsRead = 0;
        LengthLost = row.lost;
        Seen = Observation();
        std::vector<SeenBox> boxes = BoxesOf([&] {
            EXPECT_EQ(Shred(growing, row.level, 1), row.deleted ? 1 : 0);
            ReportLeftInPlace();
        });
        EXPECT_EQ(Seen.calls, row.deleted ? 1 : 0);
        if (row.deleted) {
            EXPECT_TRUE(boxes.empty());
            EXPECT_EQ(Seen.size, 5000 + ChunkOfSandbox() + 3000LL * row.appends);
            EXPECT_EQ(Seen.bytes.find('\x01'), std::string::npos);
        } else {
            ASSERT_EQ(boxes.size(), 1u);
            EXPECT_TRUE(BoxIs(boxes[0], "Zorvex", "Files that grew while they were overwritten, NOT deleted: 1\r\n"
                              "Another program kept writing to them: their last bytes were not overwritten.\r\n"
                              "The first: " + growing, "stop"));
            EXPECT_TRUE(Exists(growing));
        }
    }
}
