// The colour walk: one colour that steps towards random targets, the source of
// every colour the saver shows.
#ifndef TARVELIMUNDE_SAVER_COLOUR_WALK_H
#define TARVELIMUNDE_SAVER_COLOUR_WALK_H

#include <stdint.h>

struct ColourWalk {
    float red, green, blue;
    float targetRed, targetGreen, targetBlue;
    float deltaRed, deltaGreen, deltaBlue;
    int32_t scheme;
    uint8_t segmentLength;
    uint8_t segmentStep;
};

extern ColourWalk colourWalk;

// New segment lengths at creation and on ticks: draw % modulus + base.
const int kCreationSegmentModulus = 20;
const int kCreationSegmentBase = 10;
const int kTickSegmentModulus = 15;
const int kTickSegmentBase = 5;

void StartColourWalk();
void AdvanceColourWalk(int modulus, int base);
void StepColour();
void ChooseColourTarget();
// A channel as a palette byte: truncated toward zero, low 8 bits kept.
uint8_t ChannelByte(float channel);

#endif
