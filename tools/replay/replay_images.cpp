// Pixels hold logical palette indices already, so every frame is written as is
// with the palette's colours of its moment: no quantising, no dithering.
#include "replay_images.h"

#include <fcntl.h>
#include <gif_lib.h>
#include <png.h>
#include <stdio.h>
#include <unistd.h>

#include <vector>

bool
WriteIndexedPng(const std::string& path, const uint8_t* pixels, int width, int height,
                const PALETTEENTRY* colours, std::string* error)
{
    FILE* file = fopen(path.c_str(), "wb");
    if (file == NULL) {
        *error = "cannot write '" + path + "'";
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, NULL, NULL, NULL);
    png_infop info = png ? png_create_info_struct(png) : NULL;
    if (png == NULL || info == NULL || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        fclose(file);
        *error = "cannot encode PNG '" + path + "'";
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, (png_uint_32)width, (png_uint_32)height, 8, PNG_COLOR_TYPE_PALETTE,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_color palette[256];
    for (int i = 0; i < 256; i++) {
        palette[i].red = colours[i].peRed;
        palette[i].green = colours[i].peGreen;
        palette[i].blue = colours[i].peBlue;
    }
    png_set_PLTE(png, info, palette, 256);
    png_write_info(png, info);
    for (int y = 0; y < height; y++)
        png_write_row(png, (png_const_bytep)(pixels + (size_t)y * (size_t)width));
    png_write_end(png, NULL);
    png_destroy_write_struct(&png, &info);
    if (fclose(file) != 0) {
        *error = "cannot write '" + path + "'";
        return false;
    }
    return true;
}

struct GifOutput {
    GifFileType* file;
    int width, height;
};

GifOutput*
OpenGif(const std::string& path, int width, int height, std::string* error)
{
    int status = 0;
    int descriptor = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    GifFileType* file = descriptor < 0 ? NULL : EGifOpenFileHandle(descriptor, &status);
    if (file == NULL) {
        if (descriptor >= 0)
            close(descriptor);
        *error = "cannot write '" + path + "'";
        return NULL;
    }
    EGifSetGifVersion(file, true);
    if (EGifPutScreenDesc(file, width, height, 8, 0, NULL) == GIF_ERROR) {
        EGifCloseFile(file, &status);
        *error = "cannot encode GIF '" + path + "'";
        return NULL;
    }
    // Loop for ever.
    const GifByteType application[] = {'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'};
    const GifByteType loop[] = {1, 0, 0};
    EGifPutExtensionLeader(file, APPLICATION_EXT_FUNC_CODE);
    EGifPutExtensionBlock(file, sizeof application, application);
    EGifPutExtensionBlock(file, sizeof loop, loop);
    EGifPutExtensionTrailer(file);
    return new GifOutput{file, width, height};
}

bool
AddGifFrame(GifOutput* gif, const uint8_t* pixels, const PALETTEENTRY* colours, int delay, std::string* error)
{
    GraphicsControlBlock control = {DISPOSAL_UNSPECIFIED, false, delay, NO_TRANSPARENT_COLOR};
    GifByteType extension[4];
    EGifGCBToExtension(&control, extension);
    GifColorType palette[256];
    for (int i = 0; i < 256; i++) {
        palette[i].Red = colours[i].peRed;
        palette[i].Green = colours[i].peGreen;
        palette[i].Blue = colours[i].peBlue;
    }
    ColorMapObject* map = GifMakeMapObject(256, palette);
    bool ok = map != NULL && EGifPutExtension(gif->file, GRAPHICS_EXT_FUNC_CODE, 4, extension) != GIF_ERROR &&
              EGifPutImageDesc(gif->file, 0, 0, gif->width, gif->height, false, map) != GIF_ERROR;
    std::vector<GifPixelType> row((size_t)gif->width);
    for (int y = 0; ok && y < gif->height; y++) {
        const uint8_t* source = pixels + (size_t)y * (size_t)gif->width;
        row.assign(source, source + gif->width);
        ok = EGifPutLine(gif->file, row.data(), gif->width) != GIF_ERROR;
    }
    GifFreeMapObject(map);
    if (!ok)
        *error = "cannot encode GIF frame";
    return ok;
}

bool
CloseGif(GifOutput* gif, std::string* error)
{
    int status = 0;
    bool ok = EGifCloseFile(gif->file, &status) != GIF_ERROR;
    delete gif;
    if (!ok)
        *error = "cannot finish GIF";
    return ok;
}
