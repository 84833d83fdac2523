#include "app/more_tools_section.h"

#include "app/drive_cleaner_frame.h"
#include "app/file_extensions_frame.h"
#include "app/page_layout.h"
#include "app/user_assist_frame.h"

namespace kestrova {

namespace {

struct FrameEntry {
    const wchar_t* caption;
    std::unique_ptr<Section> (*make)(SectionHost& host);
};

// The tabs in their order; the first is shown at start.
const FrameEntry kFrames[] = {
    {L"File Extensions Manager", MakeSection<TfrmFileAssociator>},
    {L"UserAssist", MakeSection<TfrmUserAssist>},
    {L"Drive Cleaner", MakeSection<TDriveCleanerFrame>},
};

}  // namespace

MoreToolsSection::MoreToolsSection(SectionHost& host) : Section(host) {
    for (const FrameEntry& entry : kFrames) {
        frames_.push_back(entry.make(host));
    }
}

void MoreToolsSection::Build(Panel& page) {
    pcMoreTools.Create(page, layout::PageArea(page), true);
    pcMoreTools.Anchor(kAnchorAll);
    for (size_t i = 0; i < frames_.size(); ++i) {
        frames_[i]->Build(pcMoreTools.AddPage(kFrames[i].caption));
    }
    pcMoreTools.ShowPage(0);
}

// InitFrame of each frame.
void MoreToolsSection::Created() {
    for (auto& frame : frames_) {
        host_.Run([&frame] { frame->Created(); });
    }
}

void MoreToolsSection::WindowShown() {
    for (auto& frame : frames_) {
        host_.Run([&frame] { frame->WindowShown(); });
    }
}

void MoreToolsSection::StoreChanged(const StoreFile& store) {
    for (auto& frame : frames_) {
        frame->StoreChanged(store);
    }
}

// DoneFrame of each frame.
void MoreToolsSection::Closing() {
    for (auto& frame : frames_) {
        host_.Run([&frame] { frame->Closing(); });
    }
}

}  // namespace kestrova
