// The colour walk moves in equal straight steps towards a target chosen by the
// current scheme; a segment of length L makes L - 1 steps and its last call picks
// the next target, so the colour never quite arrives.
#include "colour_walk.h"

#include "random.h"

ColourWalk colourWalk;

namespace {

// Pure colours of schemes 1 and 3, by tens of draw % 70: cyan for 0 to 9 up to
// white for 60 to 69.
const uint8_t kPureColours[7][3] = {
    {0, 255, 255}, {255, 0, 255}, {255, 255, 0}, {0, 0, 255},
    {0, 255, 0}, {255, 0, 0}, {255, 255, 255},
};

// Two channels drawn freely; the third is dark when both are bright, bright otherwise.
void
ChooseFreeColour(float* first, float* second, float* third)
{
    *first = (float)(DrawRandom() % 255 + 1);
    *second = (float)(DrawRandom() % 255 + 1);
    if (*first > 128.0f && *second > 128.0f)
        *third = (float)(DrawRandom() % 128 + 1);
    else
        *third = (float)(DrawRandom() % 128 + 128);
}

float
DeltaTowards(float target, float current, int length)
{
    return (float)(((double)target - (double)current) / (double)length);
}

}

void
StartColourWalk()
{
    colourWalk.segmentLength = (uint8_t)(DrawRandom() % 20 + 10);
    colourWalk.scheme = 0;
    ChooseColourTarget();
    colourWalk.segmentStep = 0;
}

void
AdvanceColourWalk(int modulus, int base)
{
    colourWalk.segmentStep = (uint8_t)(colourWalk.segmentStep + 1);
    if (colourWalk.segmentStep < colourWalk.segmentLength) {
        StepColour();
        return;
    }
    colourWalk.segmentLength = (uint8_t)(DrawRandom() % modulus + base);
    ChooseColourTarget();
    colourWalk.segmentStep = 0;
}

void
StepColour()
{
    colourWalk.red = colourWalk.red + colourWalk.deltaRed;
    colourWalk.green = colourWalk.green + colourWalk.deltaGreen;
    colourWalk.blue = colourWalk.blue + colourWalk.deltaBlue;
}

void
ChooseColourTarget()
{
    ColourWalk& w = colourWalk;
    if (w.scheme == 0) {
        ChooseFreeColour(&w.targetRed, &w.targetGreen, &w.targetBlue);
    } else if (w.scheme == 2) {
        ChooseFreeColour(&w.targetBlue, &w.targetGreen, &w.targetRed);
    } else {
        const uint8_t* pure = kPureColours[(DrawRandom() % 70) / 10];
        w.targetRed = pure[0];
        w.targetGreen = pure[1];
        w.targetBlue = pure[2];
    }
    w.deltaRed = DeltaTowards(w.targetRed, w.red, w.segmentLength);
    w.deltaGreen = DeltaTowards(w.targetGreen, w.green, w.segmentLength);
    w.deltaBlue = DeltaTowards(w.targetBlue, w.blue, w.segmentLength);
}

uint8_t
ChannelByte(float channel)
{
    return StoreByte(TruncateToInt32(channel));
}
