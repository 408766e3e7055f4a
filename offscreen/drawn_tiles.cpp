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
        memset(tiles->marks, 0, count * sizeof *tiles->marks);
    } else {
        FrameMemoryFree(tiles->marks);
        tiles->marks = count != 0 ? (uint16_t*)FrameMemoryAllocate(count * sizeof *tiles->marks) : NULL;
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
        memset(tiles->marks, 0, (size_t)tiles->columns * (size_t)tiles->rows * sizeof *tiles->marks);
        changed = frame->drawn;
    }
    FrameArea a = FrameArea();
    WidenArea(&a, changed, frame->width, frame->height);
    if (AreaIsEmpty(a))
        return erased;
    for (int y = a.top / kDrawnBlock; y <= (a.bottom - 1) / kDrawnBlock; y++) {
        for (int x = a.left / kDrawnBlock; x <= (a.right - 1) / kDrawnBlock; x++) {
            uint16_t* mark = &tiles->marks[(size_t)(y / kBlocksAcross) * (size_t)tiles->columns +
                                           (size_t)(x / kBlocksAcross)];
            uint16_t bit = (uint16_t)(1u << (y % kBlocksAcross * kBlocksAcross + x % kBlocksAcross));
            if ((*mark & bit) != 0)
                continue;
            FrameArea part = {Max(a.left, x * kDrawnBlock), Max(a.top, y * kDrawnBlock),
                              Min(a.right, (x + 1) * kDrawnBlock), Min(a.bottom, (y + 1) * kDrawnBlock)};
            if (HasDrawn(frame, part))
                *mark |= bit;
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
        const uint16_t* marks = tiles->marks + (size_t)row * (size_t)tiles->columns;
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

void
RecolourDrawn(const DrawnTiles* tiles, const Framebuffer* frame, FrameArea run, const uint32_t* table,
              uint32_t* target, size_t stride)
{
    if (tiles->marks == NULL || AreaIsEmpty(run) || frame->width != tiles->width || frame->height != tiles->height)
        return;
    int row = run.top / kDrawnTile;
    for (int column = run.left / kDrawnTile; column * kDrawnTile < run.right; column++) {
        uint16_t mark = tiles->marks[(size_t)row * (size_t)tiles->columns + (size_t)column];
        for (int block = 0; mark != 0; block++, mark >>= 1) {
            if ((mark & 1) == 0)
                continue;
            int left = column * kDrawnTile + block % kBlocksAcross * kDrawnBlock;
            int top = row * kDrawnTile + block / kBlocksAcross * kDrawnBlock;
            if (left + kDrawnBlock > frame->width || top + kDrawnBlock > frame->height) {
                RecolourArea(frame, FrameArea{left, top, left + kDrawnBlock, top + kDrawnBlock}, table, target,
                             stride, true);
                continue;
            }
            // A whole block: a row of it at one look.
            static_assert(kDrawnBlock == sizeof(uint64_t), "a block row is one word");
            for (int y = top; y < top + kDrawnBlock; y++) {
                const uint8_t* from = frame->pixels + (size_t)y * (size_t)frame->width + left;
                uint64_t eight;
                memcpy(&eight, from, sizeof eight);
                if (eight == 0)
                    continue;
                uint32_t* to = target + (size_t)y * stride + left;
                for (int x = 0; x < kDrawnBlock; x++)
                    to[x] = table[from[x]];
            }
        }
    }
}
