#include <string.h>

#include "bitmap/bitmap.h"
#include "content/content.h"
#include "content/textread.h"
#include "game/world.h"
#include "graphics/graphics.h"
#include "shell/errorlog.h"

// Logs, lets go of the sheet and the cell, closes the file; always 0.
static int failGraphic(const char* message, TextFile* file, BitmapFile* sheet, BitmapImage* cell)
{
    writeError(message);
    destroyBitmapImage(cell);
    destroyBitmapFile(sheet);
    closeTextFile(file);
    return 0;
}

// A cell must lie wholly inside the sheet, or the copy would read past its pixels.
static int cellInsideSheet(const BitmapFile* sheet, int width, int height, int borderWidth, int cx,
                           int cy)
{
    if (cx < 0 || cy < 0 || borderWidth < 0 || sheet->buffer == NULL)
        return 0;
    long long sheetHeight = sheet->infoHeader.biHeight;
    if (sheetHeight < 0)
        sheetHeight = -sheetHeight;
    long long left = (long long)cx * (width + (long long)borderWidth) + borderWidth;
    long long top = (long long)cy * (height + (long long)borderWidth) + borderWidth;
    return left + width <= sheet->infoHeader.biWidth && top + height <= sheetHeight;
}

long long contentFrameBytes = 0;

static int outsideLimit(int value)
{
    return value < -CONTENT_COORDINATE_LIMIT || value > CONTENT_COORDINATE_LIMIT;
}

int loadGraphic(Graphic* graphic, const char* fileName, int x, int y)
{
    BitmapFile bitmapFile;
    BitmapImage bitmapImage;
    Animation animation;
    GraphicDesc gDesc;
    char bitmapFileName[CONTENT_NAME_LENGTH + 1];
    char sheetPath[TEXT_PATH_SIZE];
    int attributes = 0, type = 0, index = 0, cx = 0, cy = 0, borderWidth = 0;

    if (graphic == NULL) {
        writeError("loadGraphic: lpGraphic was NULL\n");
        return 0;
    }

    memset(&bitmapFile, 0, sizeof(bitmapFile));
    memset(&bitmapImage, 0, sizeof(bitmapImage));
    memset(&gDesc, 0, sizeof(gDesc));
    gDesc.x = x;
    gDesc.y = y;

    // A missing name cannot be opened.
    TextFile text;
    TextFile* file = &text;
    if (!openTextFile(file, fileName)) {
        writeError("loadGraphic: error opening file.\n");
        return 0;
    }

    nameField(file, "sheet", 0);
    if (!readName(file, bitmapFileName, CONTENT_NAME_LENGTH))
        return failGraphic("loadGraphic: error reading bitmap file name\n", file, &bitmapFile,
                           &bitmapImage);
    if (!resolveContentName(bitmapFileName, sheetPath, TEXT_PATH_SIZE) ||
        !loadBitmapFile(&bitmapFile, sheetPath))
        return failGraphic("loadGraphic: error loading bitmap file\n", file, &bitmapFile,
                           &bitmapImage);
    if (!discardLine(file))
        return failGraphic("loadGraphic: unexpected end of file\n", file, &bitmapFile,
                           &bitmapImage);

    nameField(file, "size", 0);
    if (!(readInt(file, &gDesc.width) && readInt(file, &gDesc.height) &&
          readInt(file, &gDesc.bpp) && readInt(file, &gDesc.colorKey)))
        return failGraphic("loadGraphic: error reading width, height, bpp, and colorKey\n", file,
                           &bitmapFile, &bitmapImage);
    // Frames are copied as rows of width * bpp / 8 bytes out of cells of the sheet's depth.
    if (gDesc.width <= 0 || gDesc.height <= 0 || gDesc.width > CONTENT_MAX_FRAME_SIDE ||
        gDesc.height > CONTENT_MAX_FRAME_SIDE)
        return failGraphic("loadGraphic: invalid frame size\n", file, &bitmapFile, &bitmapImage);
    if (gDesc.bpp != bitmapFile.infoHeader.biBitCount)
        return failGraphic("loadGraphic: bpp does not match the bitmap file\n", file, &bitmapFile,
                           &bitmapImage);
    if (!discardLine(file))
        return failGraphic("loadGraphic: unexpected end of file\n", file, &bitmapFile,
                           &bitmapImage);

    // RECT holds LONGs, which are not ints everywhere.
    int left = 0, top = 0, right = 0, bottom = 0;
    nameField(file, "boundingBox", 0);
    if (!(readInt(file, &left) && readInt(file, &top) && readInt(file, &right) &&
          readInt(file, &bottom)))
        return failGraphic("loadGraphic: error reading boundgingBox\n", file, &bitmapFile,
                           &bitmapImage);
    if (outsideLimit(left) || outsideLimit(top) || outsideLimit(right) || outsideLimit(bottom))
        return failGraphic("loadGraphic: bounding box out of bounds\n", file, &bitmapFile,
                           &bitmapImage);
    gDesc.boundingBox.left = left;
    gDesc.boundingBox.top = top;
    gDesc.boundingBox.right = right;
    gDesc.boundingBox.bottom = bottom;
    if (!discardLine(file))
        return failGraphic("loadGraphic: unexpected end of file\n", file, &bitmapFile,
                           &bitmapImage);

    nameField(file, "attributes", 0);
    if (!readInt(file, &attributes))
        return failGraphic("loadGraphic: error reading attributes\n", file, &bitmapFile,
                           &bitmapImage);
    // The copy mark would keep the master from releasing its surfaces at shutdown.
    if (attributes & GRAPHIC_CLONE)
        return failGraphic("loadGraphic: invalid attributes\n", file, &bitmapFile, &bitmapImage);
    if (!discardLine(file))
        return failGraphic("loadGraphic: unexpected end of file\n", file, &bitmapFile,
                           &bitmapImage);

    nameField(file, "type", 0);
    if (!readInt(file, &type))
        return failGraphic("loadGraphic: error reading type\n", file, &bitmapFile, &bitmapImage);
    if (!discardLine(file))
        return failGraphic("loadGraphic: unexpected end of file\n", file, &bitmapFile,
                           &bitmapImage);

    if (!createGraphic(graphic, &gDesc, attributes, type))
        return failGraphic("loadGraphic: error creating graphic\n", file, &bitmapFile,
                           &bitmapImage);

    // Cleared once: a record keeps the sequence entries of earlier records past its own length.
    memset(&animation, 0, sizeof(animation));

    for (;;) {
        int c = readRecordLetter(file);
        if (c == EOF)
            return failGraphic("loadGraphic: unexpected end of file\n", file, &bitmapFile,
                               &bitmapImage);
        if (c == 'e') {
            nameRecord(file, "end", 0);
            destroyBitmapFile(&bitmapFile);
            destroyBitmapImage(&bitmapImage);
            closeTextFile(file);
            return 1;
        }
        if (c == 'f') {
            if (!readInt(file, &index))
                return failGraphic("loadGraphic: error reading index of frame\n", file, &bitmapFile,
                                   &bitmapImage);
            nameRecord(file, "frame", index);
            if (!(readInt(file, &cx) && readInt(file, &cy) && readInt(file, &borderWidth)))
                return failGraphic(
                    "loadGraphic: error reading the frame location and borderwidth\n", file,
                    &bitmapFile, &bitmapImage);
            if (!cellInsideSheet(&bitmapFile, graphic->width, graphic->height, borderWidth, cx, cy))
                return failGraphic("loadGraphic: frame lies outside the bitmap\n", file,
                                   &bitmapFile, &bitmapImage);
            if (!extractBitmapTemplated(&bitmapImage, &bitmapFile, graphic->width, graphic->height,
                                        borderWidth, cx, cy))
                return failGraphic("loadGraphic: error extracting Bitmap\n", file, &bitmapFile,
                                   &bitmapImage);
            // A slot loaded again gives up the frame it held, so only a new slot takes memory.
            int newSlot = index < 0 || index >= MAX_FRAMES || graphic->frames[index] == NULL;
            long long frameBytes =
                newSlot ? (long long)graphic->width * graphic->height * (graphic->bpp / 8) : 0;
            if (contentFrameBytes + frameBytes > CONTENT_FRAME_MEMORY_LIMIT)
                return failGraphic("loadGraphic: frames exceed the frame memory limit\n", file,
                                   &bitmapFile, &bitmapImage);
            contentFrameBytes += frameBytes;
            if (!loadFrame(graphic, bitmapImage.buffer, index))
                return failGraphic("loadGraphic: error loading frame\n", file, &bitmapFile,
                                   &bitmapImage);
        } else if (c == 'a') {
            if (!readInt(file, &index))
                return failGraphic("loadGraphic: error reading index of animation\n", file,
                                   &bitmapFile, &bitmapImage);
            nameRecord(file, "animation", index);
            if (!(readInt(file, &animation.flags) && readInt(file, &animation.delay) &&
                  readInt(file, &animation.numFrames)))
                return failGraphic(
                    "loadGraphic: error reading animation flags, delay, and num of frames\n", file,
                    &bitmapFile, &bitmapImage);
            if (animation.numFrames < 0 || animation.numFrames > MAX_ANIMATION_FRAMES)
                return failGraphic("loadGraphic: num of frames out of bounds\n", file, &bitmapFile,
                                   &bitmapImage);
            if (!discardLine(file))
                return failGraphic("loadGraphic: unexpected end of file\n", file, &bitmapFile,
                                   &bitmapImage);
            nameField(file, "frameSequence", index);
            for (int i = 0; i < animation.numFrames; i++) {
                if (!readInt(file, &animation.frameSequence[i]))
                    return failGraphic("loadGraphic: error reading a frameSequence entry\n", file,
                                       &bitmapFile, &bitmapImage);
                // The entry becomes currentFrame, which indexes the frame table.
                if (animation.frameSequence[i] < 0 || animation.frameSequence[i] >= MAX_FRAMES)
                    return failGraphic("loadGraphic: frameSequence entry out of bounds\n", file,
                                       &bitmapFile, &bitmapImage);
            }
            if (!loadAnimationRecord(graphic, &animation, index))
                return failGraphic("loadGraphic:  error loading animation\n", file, &bitmapFile,
                                   &bitmapImage);
        } else {
            nameRecord(file, "skipped", c); // any other letter begins a comment
        }
        if (!discardLine(file))
            return failGraphic("loadGraphic: unexpected end of file\n", file, &bitmapFile,
                               &bitmapImage);
    }
}

int loadMasterGraphics(const char* fileName)
{
    int count = 0;
    char name[CONTENT_NAME_LENGTH + 1];

    if (fileName == NULL) {
        writeError("loadMasterGraphics: null pointer passed\n");
        return 0;
    }
    TextFile text;
    TextFile* file = &text;
    if (!openTextFile(file, fileName)) {
        writeError("loadMasterGraphics: unable to open file\n");
        return 0;
    }
    contentFrameBytes = 0;
    const char* failure = NULL;
    nameField(file, "count", 0);
    if (!readInt(file, &count))
        failure = "loadMasterGraphics: error reading number of graphics\n";
    else if (!discardLine(file))
        failure = "loadMasterGraphics: unexpected end of file\n";
    else if (count > MAX_MASTER_GRAPHICS)
        failure = "loadMasterGraphics: num of graphics exceeds maximum\n";
    else {
        numMasterGraphics = count;
        for (int i = 0; i < count && failure == NULL; i++) {
            nameField(file, "entry", i);
            if (!readName(file, name, CONTENT_NAME_LENGTH))
                failure = "loadMasterGraphics: error reading file name\n";
            else if (!loadGraphic(&masterGraphics[i], name, 0, 0))
                failure = "loadMasterGraphics: error loading graphic\n";
            else if (!discardLine(file))
                failure = "loadMasterGraphics: unexpected end of file\n";
        }
    }
    closeTextFile(file);
    if (failure != NULL) {
        writeError(failure);
        return 0;
    }
    return 1;
}
