#pragma once
// "More Tools": an inner page control whose tabs hold three more sections (the frames), each a
// Section of its own that hears everything this one hears.

#include <memory>
#include <vector>

#include "app/section.h"
#include "platform/ui_page_control.h"

namespace kestrova {

class MoreToolsSection final : public Section {
public:
    explicit MoreToolsSection(SectionHost& host);

    void Build(Panel& page) override;
    void Created() override;
    void WindowShown() override;
    void StoreChanged(const StoreFile& store) override;
    void Closing() override;

    // The frame on tab index, and how many there are.
    Section& Frame(size_t index) { return *frames_.at(index); }
    size_t FrameCount() const { return frames_.size(); }

    PageControl pcMoreTools;

private:
    std::vector<std::unique_ptr<Section>> frames_;
};

}  // namespace kestrova
