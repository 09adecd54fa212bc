#include "panels/ColorConvert.h"

namespace orvell {

namespace {

struct SchemeRole {
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

// Desktop-scheme indices (the classic system colour numbers) and the palette
// role that does the same job in a Qt theme.
SchemeRole schemeRole(StoredColor index)
{
    constexpr auto A = QPalette::Active;
    switch (index) {
    case 0x01: return {A, QPalette::Window};            // desktop
    case 0x02: return {A, QPalette::Highlight};         // active caption
    case 0x03: return {A, QPalette::Mid};               // inactive caption
    case 0x04: return {A, QPalette::Window};            // menu
    case 0x05: return {A, QPalette::Base};              // window background
    case 0x06: return {A, QPalette::Shadow};            // window frame
    case 0x07: return {A, QPalette::WindowText};        // menu text
    case 0x08: return {A, QPalette::WindowText};        // window text
    case 0x09: return {A, QPalette::HighlightedText};   // caption text
    case 0x0C: return {A, QPalette::Dark};              // application workspace
    case 0x0D: return {A, QPalette::Highlight};
    case 0x0E: return {A, QPalette::HighlightedText};
    case 0x0F: return {A, QPalette::Button};            // button face
    case 0x10: return {A, QPalette::Dark};              // button shadow
    case 0x11: return {QPalette::Disabled, QPalette::Text};  // grey text
    case 0x12: return {A, QPalette::ButtonText};
    case 0x13: return {QPalette::Disabled, QPalette::WindowText};  // inactive caption text
    case 0x14: return {A, QPalette::Light};             // 3D highlight
    case 0x15: return {A, QPalette::Shadow};            // 3D dark shadow
    case 0x16: return {A, QPalette::Midlight};          // 3D light
    case 0x17: return {A, QPalette::ToolTipText};
    case 0x18: return {A, QPalette::ToolTipBase};
    case 0x1A: return {A, QPalette::Link};              // hot-tracked item
    case 0x1B: return {A, QPalette::Highlight};         // caption gradient
    case 0x1C: return {A, QPalette::Mid};               // inactive caption gradient
    case 0x1D: return {A, QPalette::Highlight};         // menu highlight
    case 0x1E: return {A, QPalette::Window};            // menu bar
    default: return {A, QPalette::Button};
    }
}

}  // namespace

QColor toQColor(StoredColor color, const QPalette& palette)
{
    if (isSystemColor(color)) {
        const SchemeRole scheme = schemeRole(color & 0x7FFFFFFFu);
        return palette.color(scheme.group, scheme.role);
    }
    // The top byte of a plain colour carries nothing we draw.
    return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                  static_cast<int>((color >> 16) & 0xFF));
}

StoredColor fromQColor(const QColor& color)
{
    if (!color.isValid())
        return 0;
    const QColor rgb = color.toRgb();
    return rgbColor(rgb.red(), rgb.green(), rgb.blue());
}

}  // namespace orvell
