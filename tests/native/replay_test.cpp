// The replay tool: its trace against a model of the picture written again from
// its rules (with the C library's sine and cosine), and its argument errors.
#include <gtest/gtest.h>
#include <math.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <dirent.h>
#include <thread>

#include <fstream>
#include <numeric>
#include <sstream>
#include <string>

#include "replay_options.h"
#include "replay_run.h"

namespace {

struct Entry {
    int red, green, blue;
};

// The whole picture in one place, as plainly as it can be said.
struct Model {
    uint32_t state;
    float red = 0, green = 0, blue = 0, targetRed = 0, targetGreen = 0, targetBlue = 0;
    float deltaRed = 0, deltaGreen = 0, deltaBlue = 0;
    int scheme = 0, length = 0, step = 0;
    Entry entries[256] = {};
    int drawIndex = 1, reserved, paletteSize, rotateUp = 0;
    int centreX, centreY, base, fixed = 0, rolling = 0, pen = 0, lastX = 0, lastY = 0;
    float t, tLimit, tStep = 0.15f;
    std::ostringstream out;

    int Draw()
    {
        state = state * 214013u + 2531011u;
        return (int)((state >> 16) & 0x7FFF);
    }
    static int Byte(float channel) { return (int)channel & 0xFF; }
    void Target()
    {
        if (scheme == 0 || scheme == 2) {
            float a = (float)(Draw() % 255 + 1), g = (float)(Draw() % 255 + 1);
            float c = a > 128 && g > 128 ? (float)(Draw() % 128 + 1) : (float)(Draw() % 128 + 128);
            targetGreen = g;
            (scheme == 0 ? targetRed : targetBlue) = a;
            (scheme == 0 ? targetBlue : targetRed) = c;
        } else {
            static const int pure[7][3] = {{0, 255, 255}, {255, 0, 255}, {255, 255, 0}, {0, 0, 255},
                                           {0, 255, 0},   {255, 0, 0},   {255, 255, 255}};
            const int* p = pure[Draw() % 70 / 10];
            targetRed = (float)p[0];
            targetGreen = (float)p[1];
            targetBlue = (float)p[2];
        }
        deltaRed = (float)(((double)targetRed - red) / length);
        deltaGreen = (float)(((double)targetGreen - green) / length);
        deltaBlue = (float)(((double)targetBlue - blue) / length);
    }
    void Walk(int modulus, int base)
    {
        if (++step < length) {
            red += deltaRed;
            green += deltaGreen;
            blue += deltaBlue;
            return;
        }
        length = Draw() % modulus + base;
        Target();
        step = 0;
    }
    Entry Colour() const { return Entry{Byte(red), Byte(green), Byte(blue)}; }
    void Point()
    {
        int d = fixed - rolling;
        double a = d * (double)t / rolling;
        lastX = (int16_t)(int)(d * cos((double)t) + pen * cos(a));
        lastY = (int16_t)(int)(d * sin((double)t) - pen * sin(a));
    }

    Model(const ReplayOptions& o) : state(o.seed), reserved(o.reserved), paletteSize(o.paletteSize)
    {
        base = std::min(o.width, o.height) / 2;
        centreX = o.width / 2;
        centreY = o.height / 2;
        tLimit = (float)(Draw() % 5 + 10) * 3.1415f;
        t = tLimit + 1.0f;
        length = Draw() % 20 + 10;
        Target();
        out << "init " << centreX << " " << centreY << " " << base << "\n";
        for (int i = 1; i <= 255; i++) {
            Walk(20, 10);
            entries[i] = Colour();
            out << "palette " << i << " " << entries[i].red << " " << entries[i].green << " " << entries[i].blue
                << "\n";
        }
        for (uint64_t n = 1; n <= o.ticks; n++)
            Tick(n);
        for (int i = 0; i <= 255; i++)
            out << "entries " << i << " " << entries[i].red << " " << entries[i].green << " " << entries[i].blue
                << "\n";
    }
    void Tick(uint64_t n)
    {
        if (t > tLimit) {
            rotateUp = Draw() % 200 > 100;
            tLimit = (float)(Draw() % 10 + 5) * 3.1415f;
            t = 0;
            int q = (int)(base / 1.5);
            pen = Draw() % (q + 1) + base / 5 + 1;
            rolling = Draw() % pen + 1;
            fixed = base - pen + rolling;
            scheme = (scheme + 1) % 4;
            Point();
            char limit[32];
            snprintf(limit, sizeof limit, "%.9g", (double)tLimit);
            out << "figure " << n << " " << fixed << " " << rolling << " " << pen << " " << limit << " " << rotateUp
                << " " << scheme << "\n";
        }
        int x0 = centreX + lastX, y0 = centreY + lastY;
        t += tStep;
        Point();
        int index = drawIndex;
        if (255 - reserved < ++drawIndex)
            drawIndex = 1;
        Walk(15, 5);
        Entry c = Colour();
        out << "segment " << n << " " << x0 << " " << y0 << " " << centreX + lastX << " " << centreY + lastY << " "
            << index << " " << c.red << " " << c.green << " " << c.blue << "\n";
        if (paletteSize != 256) {
            for (int i = 2; i <= 254; i++)
                entries[i] = entries[i + 1];
            entries[255] = c;
        } else if (rotateUp) {
            for (int i = 255; i >= 2; i--)
                entries[i] = entries[i - 1];
            entries[1] = c;
        } else {
            for (int i = 1; i <= 254; i++)
                entries[i] = entries[i + 1];
            entries[255] = c;
        }
    }
};

std::string
ReplayTrace(const ReplayOptions& options, ReplayProgress* progress = NULL)
{
    char* buffer = NULL;
    size_t size = 0;
    FILE* stream = open_memstream(&buffer, &size);
    std::string error;
    int status = RunReplay(options, stream, progress, &error);
    fclose(stream);
    std::string trace(buffer, size);
    free(buffer);
    EXPECT_EQ(0, status) << error;
    return trace;
}

struct Outcome {
    int exitCode;
    std::string errors;
};

Outcome
RunTool(const std::string& arguments)
{
    std::string command = std::string(REPLAY_TOOL) + " " + arguments + " 2>&1 >" + ::testing::TempDir() + "stdout";
    FILE* pipe = popen(command.c_str(), "r");
    Outcome outcome{-1, ""};
    char chunk[512];
    while (fgets(chunk, sizeof chunk, pipe))
        outcome.errors += chunk;
    int status = pclose(pipe);
    outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return outcome;
}

bool
Exists(const std::string& path)
{
    return access(path.c_str(), F_OK) == 0;
}

// A fresh, empty folder of its own for a test.
std::string
FreshFolder(const std::string& name)
{
    std::string folder = ::testing::TempDir() + name + "/";
    EXPECT_EQ(0, system(("rm -rf '" + folder + "' && mkdir '" + folder + "'").c_str()));
    return folder;
}

// The temporaries left in a folder (output_file.cpp names them NAME.partial-XXXXXX).
std::string
Leftovers(const std::string& folder)
{
    std::string names;
    DIR* listing = opendir(folder.c_str());
    while (dirent* entry = listing ? readdir(listing) : NULL)
        if (std::string(entry->d_name).find(".partial-") != std::string::npos)
            names += std::string(entry->d_name) + " ";
    if (listing)
        closedir(listing);
    return names;
}

}

TEST(ReplayTest, TraceAgreesWithTheModel)
{
    struct Case {
        uint32_t seed;
        int width, height, paletteSize, reserved;
        uint64_t ticks;
    } cases[] = {
        {1, 640, 480, 256, 20, 6000},  {4294967295u, 1920, 1080, 256, 0, 4000}, {0, 152, 112, 16, 20, 3000},
        {77, 0, 0, 256, 254, 1000},    {12345, 7, 7, 0, 253, 2000},            {99, 65535, 65535, 256, 20, 3000},
        {1765086000u, 2, 2, 256, 20, 500},
    };
    for (const Case& c : cases) {
        ReplayOptions options;
        options.seed = c.seed;
        options.width = c.width;
        options.height = c.height;
        options.paletteSize = c.paletteSize;
        options.reserved = c.reserved;
        options.ticks = c.ticks;
        options.trace = "-";
        Model model(options);
        std::string trace = ReplayTrace(options);
        ASSERT_EQ(model.out.str(), trace) << "seed " << c.seed << " size " << c.width << "x" << c.height;
    }
}

TEST(ReplayTest, TraceHasTheDocumentedShape)
{
    ReplayOptions options;
    options.ticks = 300;
    options.trace = "-";
    std::istringstream lines(ReplayTrace(options));
    std::string line, record;
    int counts[5] = {};
    int expectedTick = 1;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        fields >> record;
        if (record == "init")
            counts[0]++;
        else if (record == "palette")
            counts[1]++;
        else if (record == "figure")
            counts[2]++;
        else if (record == "segment") {
            int tick;
            fields >> tick;
            EXPECT_EQ(expectedTick++, tick);
            counts[3]++;
        } else if (record == "entries")
            counts[4]++;
        else
            ADD_FAILURE() << line;
    }
    EXPECT_EQ(1, counts[0]);
    EXPECT_EQ(255, counts[1]);
    EXPECT_GE(counts[2], 2);
    EXPECT_EQ(300, counts[3]);
    EXPECT_EQ(256, counts[4]);
}

// On a terminal: one line, each whole percent once, blanked at the end; the
// trace untouched; nothing before the run has lasted long enough.
TEST(ReplayTest, ProgressRewritesOneLineAndLeavesTheTraceAlone)
{
    ReplayOptions options;
    options.ticks = 250;
    options.trace = "-";
    const std::string trace = ReplayTrace(options);
    for (double afterSeconds : {0.0, 3600.0}) {
        char* buffer = NULL;
        size_t size = 0;
        ReplayProgress progress = ReplayProgress();
        progress.to = open_memstream(&buffer, &size);
        progress.afterSeconds = afterSeconds;
        EXPECT_EQ(trace, ReplayTrace(options, &progress));
        fclose(progress.to);
        std::string shown(buffer, size);
        free(buffer);
        if (afterSeconds > 0) {
            EXPECT_EQ("", shown);
            continue;
        }
        std::vector<int> percents;
        size_t longest = 0, at = 0, next;
        const std::string start = "\rtarvelimunde-replay:";
        while ((next = shown.find('\r', at + 1)) != std::string::npos && shown.compare(at, start.size(), start) == 0) {
            percents.push_back(atoi(shown.c_str() + at + start.size()));
            EXPECT_EQ(" %", shown.substr(next - 2, 2));
            longest = std::max(longest, next - at - 1);
            at = next;
        }
        std::vector<int> everyPercent(100);
        std::iota(everyPercent.begin(), everyPercent.end(), 1);
        EXPECT_EQ(everyPercent, percents);
        const std::string blank = shown.substr(at);
        EXPECT_EQ("\r" + std::string(blank.size() - 2, ' ') + "\r", blank);
        EXPECT_GE(blank.size() - 2, longest) << "the blank covers the line";
    }
}

TEST(ReplayTest, ImagesAndTraceFilesAreWrittenWhole)
{
    std::string dir = FreshFolder("whole");
    std::string gif = dir + "replay.gif", png = dir + "replay.png", trace = dir + "replay.trace";
    Outcome ok = RunTool("--seed 3 --size 64x48 --ticks 200 --every 50 --gif " + gif + " --png " + png +
                         " --trace " + trace);
    EXPECT_EQ(0, ok.exitCode) << ok.errors;
    std::ifstream gifFile(gif, std::ios::binary), pngFile(png, std::ios::binary);
    char gifMagic[6] = {}, pngMagic[8] = {};
    gifFile.read(gifMagic, 6);
    pngFile.read(pngMagic, 8);
    EXPECT_EQ("GIF89a", std::string(gifMagic, 6));
    EXPECT_EQ("\x89PNG\r\n\x1a\n", std::string(pngMagic, 8));
    EXPECT_TRUE(Exists(trace));
    EXPECT_EQ("", Leftovers(dir));
}

TEST(ReplayTest, BadArgumentsEndWithOneLineAndCode2)
{
    std::string dir = FreshFolder("bad");
    const char* bad[] = {
        "--bogus",
        "--seed",
        "--seed -1",
        "--seed 4294967296",
        "--seed 12x",
        "--size 640",
        "--size 65536x10",
        "--size x480",
        "--size 640x480x3",
        "--ticks abc",
        "--ticks ''",
        "--reserved 257",
        "--palette-size 65537",
        "--every 5",
        "--png /nonexistent/dir/out.png",
        "--trace /nonexistent/dir/out.trace",
        "--gif /nonexistent/dir/out.gif",
        "--size 65535x65535 --png DIR/big.png",
        "--size 0x10 --png DIR/empty.png",
        "--every 0 --gif DIR/x.gif",
    };
    for (std::string arguments : bad) {
        if (arguments.find("DIR/") != std::string::npos)
            arguments.replace(arguments.find("DIR/"), 4, dir);
        Outcome outcome = RunTool(arguments);
        EXPECT_EQ(2, outcome.exitCode) << arguments;
        EXPECT_EQ(1, std::count(outcome.errors.begin(), outcome.errors.end(), '\n')) << arguments << ": "
                                                                                      << outcome.errors;
    }
    EXPECT_FALSE(Exists(dir + "big.png"));
    EXPECT_FALSE(Exists(dir + "empty.png"));
    EXPECT_FALSE(Exists(dir + "x.gif"));
    EXPECT_EQ("", Leftovers(dir));
}

TEST(ReplayTest, HelpAndDefaultsSucceed)
{
    Outcome help = RunTool("--help");
    EXPECT_EQ(0, help.exitCode);
    EXPECT_EQ(0, RunTool("--ticks 0").exitCode);
    // A trace alone of the largest area needs no framebuffer.
    EXPECT_EQ(0, RunTool("--size 65535x65535 --ticks 2000 --trace " + ::testing::TempDir() + "big.trace").exitCode);
}

// What each kind of output path becomes: only absent and regular files are
// replaced by renaming; nothing else is ever renamed over or removed.
class OutputPathTest : public ::testing::TestWithParam<const char*> {};

namespace {

std::string
Head(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    char head[4] = {};
    file.read(head, 3);
    return head;
}

enum Kind { kNew, kRegular, kLink, kNullDevice, kFullDevice, kFifo, kFolder, kMissingFolder };

void
WriteTo(const std::string& option, Kind kind)
{
    const std::string expectedHead = option == "--trace" ? "ini" : option == "--png" ? "\x89PN" : "GIF";
    SCOPED_TRACE("kind " + std::to_string(kind));
    std::string folder = FreshFolder("out" + std::to_string(kind) + option);
    std::string path = folder + "out", target = folder + "target";
    std::string received;
    std::thread reader;
    switch (kind) {
    case kRegular: std::ofstream(path) << "old"; break;
    case kLink:
        std::ofstream(target) << "old";
        ASSERT_EQ(0, symlink("target", path.c_str()));
        break;
    case kNullDevice: ASSERT_EQ(0, mknod(path.c_str(), S_IFCHR | 0666, makedev(1, 3))); break;
    case kFullDevice: ASSERT_EQ(0, mknod(path.c_str(), S_IFCHR | 0666, makedev(1, 7))); break;
    case kFifo:
        ASSERT_EQ(0, mkfifo(path.c_str(), 0600));
        reader = std::thread([&] {
            std::ifstream fifo(path, std::ios::binary);
            received.assign(std::istreambuf_iterator<char>(fifo), std::istreambuf_iterator<char>());
        });
        break;
    case kFolder: ASSERT_EQ(0, mkdir(path.c_str(), 0755)); break;
    case kMissingFolder: path = folder + "missing/out"; break;
    default: break;
    }
    Outcome outcome = RunTool("--seed 5 --size 32x24 --ticks 20 " + option + " " + path);
    if (reader.joinable())
        reader.join();

    struct stat status;
    ASSERT_EQ(kind == kMissingFolder ? -1 : 0, lstat(path.c_str(), &status));
    const bool fails = kind == kFullDevice || kind == kFolder || kind == kMissingFolder;
    EXPECT_EQ(fails ? 2 : 0, outcome.exitCode) << outcome.errors;
    if (fails) {
        EXPECT_NE(std::string::npos, outcome.errors.find("cannot write '" + path + "'")) << outcome.errors;
        EXPECT_EQ(1, std::count(outcome.errors.begin(), outcome.errors.end(), '\n')) << outcome.errors;
    }
    switch (kind) {
    case kNew:
    case kRegular: EXPECT_TRUE(S_ISREG(status.st_mode)); EXPECT_EQ(expectedHead, Head(path)); break;
    case kLink: EXPECT_TRUE(S_ISLNK(status.st_mode)); EXPECT_EQ(expectedHead, Head(target)); break;
    case kNullDevice:
    case kFullDevice: EXPECT_TRUE(S_ISCHR(status.st_mode)); break;
    case kFifo: EXPECT_TRUE(S_ISFIFO(status.st_mode)); EXPECT_EQ(expectedHead, received.substr(0, 3)); break;
    case kFolder: EXPECT_TRUE(S_ISDIR(status.st_mode)); EXPECT_EQ("", Leftovers(path)); break;
    case kMissingFolder: break;
    }
    EXPECT_EQ("", Leftovers(folder));
}

}

TEST_P(OutputPathTest, EachKindOfPathIsWrittenAsItIs)
{
    for (Kind kind : {kNew, kRegular, kLink, kFifo, kFolder, kMissingFolder})
        WriteTo(GetParam(), kind);
}

TEST_P(OutputPathTest, DevicesAreWrittenInPlace)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "making the device nodes (mknod) needs root";
    for (Kind kind : {kNullDevice, kFullDevice})
        WriteTo(GetParam(), kind);
}

INSTANTIATE_TEST_SUITE_P(Outputs, OutputPathTest, ::testing::Values("--trace", "--png", "--gif"));
