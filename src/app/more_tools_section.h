#pragma once
// "More Tools": an inner page control whose tabs hold three more sections (the frames), each a
// Section of its own that hears everything this one hears.

#include <memory>
#include <stdexcept>
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
    // The frame of type T, as the tests and the benchmark reach it.
    template <class T>
    T& Get() {
        for (auto& frame : frames_) {
            if (auto* found = dynamic_cast<T*>(frame.get())) {
                return *found;
            }
        }
        throw std::logic_error("no such frame");
    }

    PageControl pcMoreTools;

private:
    std::vector<std::unique_ptr<Section>> frames_;
};

}  // namespace kestrova
