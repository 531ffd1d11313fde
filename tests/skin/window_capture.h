#pragma once
// A copy of a window's pixels as they are on the screen, frame included
// (read through its window DC), for comparing how windows are drawn.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

struct WindowCapture {
    int width = 0;
    int height = 0;
    // Top-down rows of 0x00RRGGBB.
    std::vector<std::uint32_t> pixels;

    std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

inline WindowCapture CaptureWindow(HWND hwnd) {
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    GdiFlush();
    RECT outer;
    GetWindowRect(hwnd, &outer);
    WindowCapture capture;
    capture.width = outer.right - outer.left;
    capture.height = outer.bottom - outer.top;
    capture.pixels.resize(static_cast<std::size_t>(capture.width) * capture.height);

    HDC windowDc = GetWindowDC(hwnd);
    HDC memory = CreateCompatibleDC(windowDc);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = capture.width;
    info.bmiHeader.biHeight = -capture.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(windowDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, capture.width, capture.height, windowDc, 0, 0, SRCCOPY);
    GdiFlush();
    const auto* source = static_cast<const std::uint32_t*>(bits);
    for (std::size_t i = 0; i < capture.pixels.size(); ++i) capture.pixels[i] = source[i] & 0xFFFFFF;
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(hwnd, windowDc);
    return capture;
}

// Writes the capture as a 32-bit top-down BMP file.
inline bool SaveBitmap(const WindowCapture& capture, const std::string& path) {
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = capture.width;
    info.biHeight = -capture.height;
    info.biPlanes = 1;
    info.biBitCount = 32;
    info.biCompression = BI_RGB;
    const DWORD bytes = static_cast<DWORD>(capture.pixels.size() * 4);
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + bytes;
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) return false;
    bool written = std::fwrite(&file, sizeof file, 1, out) == 1 && std::fwrite(&info, sizeof info, 1, out) == 1 &&
                   std::fwrite(capture.pixels.data(), 4, capture.pixels.size(), out) == capture.pixels.size();
    return std::fclose(out) == 0 && written;
}

// Reads a file written by SaveBitmap; an empty capture when it cannot.
inline WindowCapture LoadBitmap32(const std::string& path) {
    WindowCapture capture;
    FILE* in = std::fopen(path.c_str(), "rb");
    if (!in) return capture;
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    if (std::fread(&file, sizeof file, 1, in) == 1 && std::fread(&info, sizeof info, 1, in) == 1 &&
        file.bfType == 0x4D42 && info.biBitCount == 32 && info.biHeight < 0 && info.biWidth > 0) {
        capture.width = info.biWidth;
        capture.height = -info.biHeight;
        capture.pixels.resize(static_cast<std::size_t>(capture.width) * capture.height);
        if (std::fread(capture.pixels.data(), 4, capture.pixels.size(), in) != capture.pixels.size()) {
            capture = WindowCapture{};
        }
    }
    std::fclose(in);
    return capture;
}
