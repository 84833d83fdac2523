#pragma once
// The sections of the main window in the order of their tool buttons: the five wide buttons
// down the left, then the row of icon buttons. Adding a section is one component and one row.

#include <memory>
#include <span>

#include "app/artwork.h"
#include "app/section.h"

namespace kestrova {

struct SectionEntry {
    enum class Button { Wide, Icon };

    const wchar_t* pageName;  // the page's design name ("tabScanErrors")
    Button button;
    // The wide button's caption, or the icon button's hint.
    const wchar_t* label;
    Glyph glyph;
    std::unique_ptr<Section> (*make)(SectionHost& host);
};

std::span<const SectionEntry> MainSections();

}  // namespace kestrova
