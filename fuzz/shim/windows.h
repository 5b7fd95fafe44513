// The few Win32 types the byte-level engine code uses, so that it builds
// natively for fuzzing. Layouts match the Windows headers; anything that
// needs a real window system must not compile against this file.
#pragma once

#include <cstdint>

typedef uint8_t BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef unsigned int UINT;
typedef char CHAR;
typedef DWORD COLORREF;

// Opaque handles: byte-level code may name them in declarations only.
typedef struct HDC__* HDC;
typedef struct HBITMAP__* HBITMAP;
typedef struct HFONT__* HFONT;
typedef struct HRGN__* HRGN;
typedef struct HWND__* HWND;

typedef struct tagRECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
} RECT;

typedef struct tagSIZE {
    LONG cx;
    LONG cy;
} SIZE;

typedef struct tagRGBQUAD {
    BYTE rgbBlue;
    BYTE rgbGreen;
    BYTE rgbRed;
    BYTE rgbReserved;
} RGBQUAD;

typedef struct tagBITMAPINFOHEADER {
    DWORD biSize;
    LONG biWidth;
    LONG biHeight;
    WORD biPlanes;
    WORD biBitCount;
    DWORD biCompression;
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
} BITMAPINFOHEADER;

#define BI_RGB 0L

#define LF_FACESIZE 32

typedef struct tagLOGFONTA {
    LONG lfHeight;
    LONG lfWidth;
    LONG lfEscapement;
    LONG lfOrientation;
    LONG lfWeight;
    BYTE lfItalic;
    BYTE lfUnderline;
    BYTE lfStrikeOut;
    BYTE lfCharSet;
    BYTE lfOutPrecision;
    BYTE lfClipPrecision;
    BYTE lfQuality;
    BYTE lfPitchAndFamily;
    CHAR lfFaceName[LF_FACESIZE];
} LOGFONTA;

// The few user32 functions the skin data reads defaults and keys with:
// the classic Windows system colours, and ASCII case rules.
#define COLOR_WINDOW 5
#define COLOR_WINDOWTEXT 8
#define COLOR_BTNFACE 15
#define COLOR_BTNSHADOW 16
#define COLOR_BTNTEXT 18

inline DWORD GetSysColor(int index)
{
    switch (index) {
    case COLOR_WINDOW: return 0xFFFFFF;
    case COLOR_BTNFACE: return 0xC0C0C0;
    case COLOR_BTNSHADOW: return 0x808080;
    default: return 0;
    }
}

inline DWORD CharUpperBuffA(char* text, DWORD length)
{
    for (DWORD i = 0; i < length; ++i)
        if (text[i] >= 'a' && text[i] <= 'z')
            text[i] = static_cast<char>(text[i] - 'a' + 'A');
    return length;
}

inline int lstrcmpiA(const char* a, const char* b)
{
    for (;; ++a, ++b) {
        const int x = (*a >= 'A' && *a <= 'Z') ? *a - 'A' + 'a' : static_cast<unsigned char>(*a);
        const int y = (*b >= 'A' && *b <= 'Z') ? *b - 'A' + 'a' : static_cast<unsigned char>(*b);
        if (x != y || !x)
            return x - y;
    }
}
