#include "win32/canvas.hpp"

namespace win32 {

Canvas::Canvas(LONG width, LONG height)
    : dc_(CreateCompatibleDC(nullptr)), width_(width), height_(height) {
    if (!dc_ || width <= 0 || height <= 0) return;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    bitmap_.reset(CreateDIBSection(dc_.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap_ || !bits) return;
    previous_ = SelectObject(dc_.get(), bitmap_.get());
    const RECT all{0, 0, width, height};
    FillRect(dc_.get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    bits_ = bits;
}

Canvas::~Canvas() {
    // The bitmap cannot be deleted while it is selected.
    if (previous_) SelectObject(dc_.get(), previous_);
}

std::span<const DWORD> Canvas::pixels() const {
    if (!bits_) return {};
    GdiFlush();
    return {static_cast<const DWORD*>(bits_), static_cast<std::size_t>(width_ * height_)};
}

long long inkOf(HFONT font, std::wstring_view sample) {
    const auto length = static_cast<int>(sample.size());
    SIZE extent{};
    {
        const UniqueDC measure(CreateCompatibleDC(nullptr));
        const Selected selected(measure.get(), font);
        if (!GetTextExtentPoint32W(measure.get(), sample.data(), length, &extent)) return 0;
    }
    // Room on the right for an overhang, which a made-up bold of a bitmap face has.
    const Canvas canvas(extent.cx + extent.cy, extent.cy);
    if (!canvas) return 0;
    {
        const Selected selected(canvas.dc(), font);
        SetTextColor(canvas.dc(), RGB(0, 0, 0));
        SetBkMode(canvas.dc(), TRANSPARENT);
        TextOutW(canvas.dc(), 0, 0, sample.data(), length);
    }
    long long ink = 0;
    for (const DWORD pixel : canvas.pixels()) {
        ink += 3 * 255 - (GetRValue(pixel) + GetGValue(pixel) + GetBValue(pixel));
    }
    return ink;
}

}  // namespace win32
