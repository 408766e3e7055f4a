// The picture on the offscreen stand-in, as this build's real side drives
// it. The two sides see different HWND types, so only plain ones cross here.
#ifndef TARVELIMUNDE_FLOW_FLOW_PICTURE_H
#define TARVELIMUNDE_FLOW_FLOW_PICTURE_H

#include <stdint.h>

#include "framebuffer.h"

// A fresh picture of this size, told what a 256-colour display answers, as
// the page and the module tell theirs: false when it cannot be created.
bool StartFlowPicture(uint32_t clockSeconds, int width, int height);
// One tick; answers the area of the frame that it changed.
FrameArea TickFlowPicture();
void StopFlowPicture();
const Framebuffer* FlowFrame();
// The colours of the moment as a DIB's colour table (0x00RRGGBB); index 0,
// the background, black, as the exact builds fill it.
void ReadFlowColourTable(uint32_t table[256]);

// The picture's ScreenSaverProc with a message of the real window that the
// picture only passes on.
intptr_t RelayToPicture(unsigned message, uintptr_t wParam, intptr_t lParam);

// Real side: what the picture passes on goes to the host's SaverDefaultProc,
// as the message of the real window that is being relayed.
intptr_t PassToHost();

#endif
