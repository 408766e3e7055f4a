#include "drawn_tiles.h"

#include <string.h>

#include "frame_memory.h"

namespace {

int Min(int a, int b) { return a < b ? a : b; }
int Max(int a, int b) { return a > b ? a : b; }

bool
HasDrawn(const Framebuffer* frame, FrameArea a)
{
    for (int y = a.top; y < a.bottom; y++) {
        const uint8_t* row = frame->pixels + (size_t)y * (size_t)frame->width;
        for (int x = a.left; x < a.right; x++)
            if (row[x] != 0)
                return true;
    }
    return false;
}

}

bool
DrawnTilesStart(DrawnTiles* tiles, const Framebuffer* frame)
{
    int width = frame != NULL ? frame->width : 0, height = frame != NULL ? frame->height : 0;
    int columns = (width + kDrawnTile - 1) / kDrawnTile, rows = (height + kDrawnTile - 1) / kDrawnTile;
    size_t count = (size_t)columns * (size_t)rows;
    if (tiles->marks != NULL && (size_t)tiles->columns * (size_t)tiles->rows == count) {
        memset(tiles->marks, 0, count);
    } else {
        FrameMemoryFree(tiles->marks);
        tiles->marks = count != 0 ? (uint8_t*)FrameMemoryAllocate(count) : NULL;
    }
    bool started = count == 0 || tiles->marks != NULL;
    if (!started)
        width = height = columns = rows = 0;
    tiles->width = width;
    tiles->height = height;
    tiles->columns = columns;
    tiles->rows = rows;
    tiles->fills = frame != NULL ? frame->fills : 0;
    return started;
}

void
DrawnTilesRelease(DrawnTiles* tiles)
{
    FrameMemoryFree(tiles->marks);
    *tiles = DrawnTiles();
}

bool
DrawnTilesNote(DrawnTiles* tiles, const Framebuffer* frame, FrameArea changed)
{
    if (frame == NULL || tiles->marks == NULL || frame->width != tiles->width || frame->height != tiles->height)
        return false;
    bool erased = frame->fills != tiles->fills;
    if (erased) {
        tiles->fills = frame->fills;
        memset(tiles->marks, 0, (size_t)tiles->columns * (size_t)tiles->rows);
        changed = frame->drawn;
    }
    FrameArea a = FrameArea();
    WidenArea(&a, changed, frame->width, frame->height);
    if (AreaIsEmpty(a))
        return erased;
    for (int row = a.top / kDrawnTile; row <= (a.bottom - 1) / kDrawnTile; row++) {
        for (int column = a.left / kDrawnTile; column <= (a.right - 1) / kDrawnTile; column++) {
            uint8_t* mark = &tiles->marks[(size_t)row * (size_t)tiles->columns + (size_t)column];
            if (*mark != 0)
                continue;
            FrameArea part = {Max(a.left, column * kDrawnTile), Max(a.top, row * kDrawnTile),
                              Min(a.right, (column + 1) * kDrawnTile), Min(a.bottom, (row + 1) * kDrawnTile)};
            *mark = HasDrawn(frame, part) ? 1 : 0;
        }
    }
    return erased;
}

bool
DrawnTilesNextRun(const DrawnTiles* tiles, FrameArea* run)
{
    int row = 0, column = 0;
    if (!AreaIsEmpty(*run)) {
        row = run->top / kDrawnTile;
        column = (run->right + kDrawnTile - 1) / kDrawnTile;
    }
    for (; row < tiles->rows; row++, column = 0) {
        const uint8_t* marks = tiles->marks + (size_t)row * (size_t)tiles->columns;
        while (column < tiles->columns && marks[column] == 0)
            column++;
        if (column == tiles->columns)
            continue;
        int end = column;
        while (end < tiles->columns && marks[end] != 0)
            end++;
        *run = FrameArea{column * kDrawnTile, row * kDrawnTile, Min(end * kDrawnTile, tiles->width),
                         Min((row + 1) * kDrawnTile, tiles->height)};
        return true;
    }
    return false;
}

void
RecolourArea(const Framebuffer* frame, FrameArea area, const uint32_t* table, uint32_t* target, size_t stride,
             bool skipZero)
{
    FrameArea a = FrameArea();
    WidenArea(&a, area, frame->width, frame->height);
    for (int y = a.top; y < a.bottom; y++) {
        const uint8_t* from = frame->pixels + (size_t)y * (size_t)frame->width;
        uint32_t* to = target + (size_t)y * stride;
        int x = a.left;
        while (skipZero && x + 8 <= a.right) {
            uint64_t eight;
            memcpy(&eight, from + x, sizeof eight);
            if (eight != 0)
                for (int end = x + 8; x < end; x++)
                    to[x] = table[from[x]];
            else
                x += 8;
        }
        for (; x < a.right; x++)
            to[x] = table[from[x]];
    }
}
