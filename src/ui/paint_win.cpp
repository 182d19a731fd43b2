#include "ui/paint_win.h"

#include <string>

namespace zelk {
namespace {

COLORREF Ref(Rgb c) {
    return RGB(c.r, c.g, c.b);
}

// Report and limit captions break lines with LF then CR; GDI would count two breaks there.
std::string DisplayText(const std::string& caption) {
    std::string text;
    text.reserve(caption.size());
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '\n' && i + 1 < caption.size() && caption[i + 1] == '\r') {
            text += "\r\n";
            ++i;
        } else {
            text += caption[i];
        }
    }
    return text;
}

class FontScope {
  public:
    FontScope(HDC dc, const Font& font) : dc_(dc) {
        font_ = CreateFontA(
            -font.height, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, FALSE, font.underline, FALSE,
            ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
            (font.fixedPitch ? FIXED_PITCH : DEFAULT_PITCH) | FF_DONTCARE, font.face.c_str());
        old_ = SelectObject(dc_, font_);
    }
    ~FontScope() {
        SelectObject(dc_, old_);
        DeleteObject(font_);
    }
    FontScope(const FontScope&) = delete;
    FontScope& operator=(const FontScope&) = delete;

  private:
    HDC dc_;
    HFONT font_;
    HGDIOBJ old_;
};

UINT TextFormat(const Control& c) {
    UINT format = DT_NOPREFIX | (c.align == Align::Right ? DT_RIGHT : DT_LEFT);
    if (c.wordWrap) format |= DT_WORDBREAK;
    return format;
}

void PaintLabel(HDC dc, const Control& c) {
    RECT r{c.left, c.top, c.left + c.width, c.top + c.height};
    if (c.background) {
        HBRUSH brush = CreateSolidBrush(Ref(*c.background));
        FillRect(dc, &r, brush);
        DeleteObject(brush);
    }
    if (c.caption.empty()) return;
    FontScope font(dc, c.font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, Ref(c.textColour));
    const std::string text = DisplayText(c.caption);
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, TextFormat(c));
}

void PaintShape(HDC dc, const Control& c) {
    RECT r{c.left, c.top, c.left + c.width, c.top + c.height};
    if (c.width <= 0 || c.height <= 0) return;
    if (c.fill != Fill::None) {
        HBRUSH brush = c.fill == Fill::Solid ? CreateSolidBrush(Ref(c.fillColour))
                                             : CreateHatchBrush(HS_BDIAGONAL, Ref(c.fillColour));
        SetBkMode(dc, TRANSPARENT);
        FillRect(dc, &r, brush);
        DeleteObject(brush);
    }
    if (c.outline) {
        HBRUSH brush = CreateSolidBrush(Ref(*c.outline));
        FrameRect(dc, &r, brush);
        DeleteObject(brush);
    }
}

}  // namespace

void PaintControls(HDC dc, const ControlSet& controls, int width, int height,
                   const std::function<void(HDC, const Control&)>& paintBox) {
    RECT all{0, 0, width, height};
    FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
    PaintControlsOver(dc, controls, paintBox);
}

void PaintControlsOver(HDC dc, const ControlSet& controls,
                       const std::function<void(HDC, const Control&)>& paintBox) {
    for (const Control& c : controls.All()) {
        if (!c.visible) continue;
        switch (c.kind) {
            case ControlKind::Label:
                PaintLabel(dc, c);
                break;
            case ControlKind::Shape:
                PaintShape(dc, c);
                break;
            case ControlKind::PaintBox:
                if (paintBox) paintBox(dc, c);
                break;
        }
    }
}

TextSize MeasureLabel(HDC dc, const Control& label) {
    FontScope font(dc, label.font);
    const std::string text = DisplayText(label.caption.empty() ? " " : label.caption);
    RECT r{0, 0, 0, 0};
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_NOPREFIX);
    return {static_cast<int>(r.right - r.left), static_cast<int>(r.bottom - r.top)};
}

std::vector<uint8_t> RenderToRgb(const ControlSet& controls, int width, int height,
                                 const std::function<void(HDC, const Control&)>& paintBox) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    std::vector<uint8_t> rgb;
    if (bitmap != nullptr) {
        HGDIOBJ old = SelectObject(dc, bitmap);
        PaintControls(dc, controls, width, height, paintBox);
        GdiFlush();
        const auto* bgra = static_cast<const uint8_t*>(bits);
        const size_t pixels = static_cast<size_t>(width) * static_cast<size_t>(height);
        rgb.resize(pixels * 3);
        for (size_t i = 0; i < pixels; ++i) {
            rgb[i * 3] = bgra[i * 4 + 2];
            rgb[i * 3 + 1] = bgra[i * 4 + 1];
            rgb[i * 3 + 2] = bgra[i * 4];
        }
        SelectObject(dc, old);
        DeleteObject(bitmap);
    }
    DeleteDC(dc);
    return rgb;
}

}  // namespace zelk
