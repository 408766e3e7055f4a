// Draws the saver's icon at build time: one closed hypotrochoid from the
// saver's own curve code, coloured by its own colour walk, written as a .ico
// with a 16-colour and a 256-colour 32 x 32 image.
#include <math.h>
#include <stdint.h>
#include <stdio.h>

#include <vector>

#include "animated_palette.h"
#include "colour_walk.h"
#include "curve.h"
#include "offscreen.h"
#include "output_file.h"
#include "random.h"

namespace {

const int kIconSize = 32;
// The figure is drawn this many times larger and then reduced, so that each
// icon pixel knows how much of the line covers it.
const int kScale = 8;
const int kCanvas = kIconSize * kScale;
// Base radius 104 sub-pixels (13 icon pixels): a black rim around the figure.
const int kCurveWindow = 208;
// Pen radius in sub-pixels: a line about one and a half icon pixels wide.
const int kPenRadius = 6;
// Sub-pixels out of 64 that must be covered for an icon pixel to be drawn.
const int kCoverageThreshold = 18;
// Radius of the black disc behind the figure, in icon pixels.
const double kScreenRadius = 16.0;
// A seed whose first figure's colours are bright and varied.
const uint32_t kSeed = 9;
// The figure, an eight-petal daisy (D : r = 5 : 3): pen distance d and rolling radius r; the
// fixed radius follows from the base radius as in the saver, so that
// (R - r) + d reaches the edge exactly.
const int kPenDistance = 54;
const int kRollingRadius = 30;
// Palette entries the colour runs through along the curve (and back): a few
// of the walk's segments, so the colour flows rather than flickers.
const int kColourSpan = 70;

struct Rgb {
    int red, green, blue;
};

// The standard 16 colours in the order Windows gives them.
const Rgb kVgaColours[16] = {
    {0, 0, 0}, {128, 0, 0}, {0, 128, 0}, {128, 128, 0},
    {0, 0, 128}, {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
    {128, 128, 128}, {255, 0, 0}, {0, 255, 0}, {255, 255, 0},
    {0, 0, 255}, {255, 0, 255}, {0, 255, 255}, {255, 255, 255},
};

struct Picture {
    Rgb palette[256];
    // Palette index per icon pixel, row 0 at the top; 0 is black.
    uint8_t pixels[kIconSize][kIconSize];
    // The round black screen the figure is drawn on; transparent outside it.
    bool opaque[kIconSize][kIconSize];
};

int
GreatestCommonDivisor(int a, int b)
{
    while (b != 0) {
        int rest = a % b;
        a = b;
        b = rest;
    }
    return a;
}

// The colours that flow in during the saver's first figure: creation as the
// saver does it, the first figure started, then one walk step per tick. The
// first figure uses the pure-colour scheme, the brightest of the four.
void
FillPalette(Picture* picture, HWND window)
{
    InitCurve(window);
    StartColourWalk();
    CreateAnimatedPalette(window);
    HDC dc = GetDC(window);
    StartFigure(window, dc);
    ReleaseDC(window, dc);
    picture->palette[0] = {0, 0, 0};
    for (int i = 1; i < 256; i++) {
        AdvanceColourWalk(kTickSegmentModulus, kTickSegmentBase);
        picture->palette[i] = {ChannelByte(colourWalk.red), ChannelByte(colourWalk.green),
                               ChannelByte(colourWalk.blue)};
    }
}

// Colour runs through the palette and back, so the closed curve has no seam.
int
PaletteIndexAlong(double fraction)
{
    double there = 1.0 - fabs(2.0 * fraction - 1.0);
    return 1 + (int)lround((kColourSpan - 1) * there);
}

void
DrawFigure(Picture* picture)
{
    CurveState& c = curveState;
    c.penDistance = kPenDistance;
    c.rollingRadius = kRollingRadius;
    c.fixedRadius = c.baseRadius - c.penDistance + c.rollingRadius;
    int d = c.fixedRadius - c.rollingRadius;
    // The figure closes once both t and d * t / r are whole turns.
    double period = 2.0 * M_PI * kRollingRadius / GreatestCommonDivisor(d, kRollingRadius);
    const int samples = 20000;

    std::vector<int> canvas(kCanvas * kCanvas, 0);
    for (int i = 0; i < samples; i++) {
        c.t = (float)(period * i / samples);
        EvaluatePoint();
        int index = PaletteIndexAlong((double)i / samples);
        int cx = kCanvas / 2 + c.lastX;
        int cy = kCanvas / 2 - c.lastY;
        for (int y = cy - kPenRadius; y <= cy + kPenRadius; y++) {
            for (int x = cx - kPenRadius; x <= cx + kPenRadius; x++) {
                int dx = x - cx, dy = y - cy;
                if (dx * dx + dy * dy <= kPenRadius * kPenRadius && x >= 0 && y >= 0 && x < kCanvas && y < kCanvas)
                    canvas[y * kCanvas + x] = index;
            }
        }
    }

    for (int py = 0; py < kIconSize; py++) {
        for (int px = 0; px < kIconSize; px++) {
            int votes[256] = {0};
            int covered = 0;
            for (int sy = 0; sy < kScale; sy++) {
                for (int sx = 0; sx < kScale; sx++) {
                    int index = canvas[(py * kScale + sy) * kCanvas + px * kScale + sx];
                    if (index != 0) {
                        votes[index]++;
                        covered++;
                    }
                }
            }
            int best = 0;
            for (int i = 1; i < 256; i++)
                if (votes[i] > votes[best])
                    best = i;
            picture->pixels[py][px] = covered >= kCoverageThreshold ? (uint8_t)best : 0;
            double dx = px + 0.5 - kIconSize / 2, dy = py + 0.5 - kIconSize / 2;
            picture->opaque[py][px] = picture->pixels[py][px] != 0 || dx * dx + dy * dy <= kScreenRadius * kScreenRadius;
        }
    }
}

// Nearest of the bright standard colours (silver and 9 to 15), the colour
// first lifted to full brightness: the dark half of the 16 would turn the
// walk's pastels into murky greys and olives.
int
NearestVgaColour(Rgb colour)
{
    int top = colour.red > colour.green ? colour.red : colour.green;
    top = top > colour.blue ? top : colour.blue;
    if (top > 0) {
        colour.red = colour.red * 255 / top;
        colour.green = colour.green * 255 / top;
        colour.blue = colour.blue * 255 / top;
    }
    const int bright[] = {7, 9, 10, 11, 12, 13, 14, 15};
    int best = bright[0];
    long bestDistance = -1;
    for (int i : bright) {
        long dr = colour.red - kVgaColours[i].red;
        long dg = colour.green - kVgaColours[i].green;
        long db = colour.blue - kVgaColours[i].blue;
        long distance = dr * dr + dg * dg + db * db;
        if (bestDistance < 0 || distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

void
PutWord(std::vector<uint8_t>* out, uint32_t value)
{
    out->push_back(value & 0xFF);
    out->push_back((value >> 8) & 0xFF);
}

void
PutLong(std::vector<uint8_t>* out, uint32_t value)
{
    PutWord(out, value & 0xFFFF);
    PutWord(out, value >> 16);
}

// One icon image: BITMAPINFOHEADER (height doubled for the mask), colour
// table, colour bitmap bottom-up, 1-bit mask bottom-up.
std::vector<uint8_t>
IconImage(const Picture& picture, int bitsPerPixel)
{
    int colours = 1 << bitsPerPixel;
    int colourRowBytes = kIconSize * bitsPerPixel / 8;
    int maskRowBytes = kIconSize / 8;
    std::vector<uint8_t> out;
    PutLong(&out, 40);
    PutLong(&out, kIconSize);
    PutLong(&out, kIconSize * 2);
    PutWord(&out, 1);
    PutWord(&out, bitsPerPixel);
    PutLong(&out, 0);
    PutLong(&out, (colourRowBytes + maskRowBytes) * kIconSize);
    PutLong(&out, 0);
    PutLong(&out, 0);
    PutLong(&out, 0);
    PutLong(&out, 0);

    uint8_t lookup[256];
    for (int i = 0; i < 256; i++) {
        if (colours == 16)
            lookup[i] = i == 0 ? 0 : (uint8_t)NearestVgaColour(picture.palette[i]);
        else
            lookup[i] = (uint8_t)i;
    }
    for (int i = 0; i < colours; i++) {
        const Rgb& c = colours == 16 ? kVgaColours[i] : picture.palette[i];
        out.push_back((uint8_t)c.blue);
        out.push_back((uint8_t)c.green);
        out.push_back((uint8_t)c.red);
        out.push_back(0);
    }
    for (int y = kIconSize - 1; y >= 0; y--) {
        for (int x = 0; x < kIconSize; x++) {
            uint8_t value = lookup[picture.pixels[y][x]];
            if (bitsPerPixel == 8)
                out.push_back(value);
            else if (x % 2 == 0)
                out.push_back((uint8_t)(value << 4));
            else
                out.back() |= value;
        }
    }
    for (int y = kIconSize - 1; y >= 0; y--) {
        for (int x = 0; x < kIconSize; x += 8) {
            uint8_t bits = 0;
            for (int b = 0; b < 8; b++)
                if (!picture.opaque[y][x + b])
                    bits |= (uint8_t)(0x80 >> b);
            out.push_back(bits);
        }
    }
    return out;
}

bool
WriteIconFile(const char* path, const std::vector<uint8_t>& small, const std::vector<uint8_t>& large)
{
    std::vector<uint8_t> out;
    PutWord(&out, 0);
    PutWord(&out, 1);
    PutWord(&out, 2);
    uint32_t offset = 6 + 2 * 16;
    const std::vector<uint8_t>* images[2] = {&small, &large};
    const int colourCounts[2] = {16, 0};
    const int bitCounts[2] = {4, 8};
    for (int i = 0; i < 2; i++) {
        out.push_back(kIconSize);
        out.push_back(kIconSize);
        out.push_back((uint8_t)colourCounts[i]);
        out.push_back(0);
        PutWord(&out, 1);
        PutWord(&out, bitCounts[i]);
        PutLong(&out, (uint32_t)images[i]->size());
        PutLong(&out, offset);
        offset += (uint32_t)images[i]->size();
    }
    for (int i = 0; i < 2; i++)
        out.insert(out.end(), images[i]->begin(), images[i]->end());

    OutputFile output;
    std::string reason;
    if (!PrepareOutput(path, &output, &reason))
        return false;
    FILE* file = fopen(output.writePath.c_str(), "wb");
    bool written = file != NULL && fwrite(out.data(), 1, out.size(), file) == out.size();
    written = file != NULL && fclose(file) == 0 && written;
    if (!written) {
        AbandonOutput(output);
        return false;
    }
    return CommitOutput(output);
}

}

int
main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: %s OUTPUT.ico\n", argv[0]);
        return 2;
    }
    OffscreenReset();
    SeedRandom(kSeed);
    HWND window = OffscreenCreateWindow(kCurveWindow, kCurveWindow, false);
    static Picture picture;
    FillPalette(&picture, window);
    DrawFigure(&picture);
    if (!WriteIconFile(argv[1], IconImage(picture, 4), IconImage(picture, 8))) {
        fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[1]);
        return 1;
    }
    return 0;
}
