#pragma once
// A section of the main window: one page of MainControl with its controls, models, engine
// calls, workers and handlers, owned by one component. The main window only creates the
// sections from its table (section_table.cpp), gives each its page, and tells all of them what
// happens to the window; a section reaches the window through SectionHost.

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>

#include "platform/ui_panel.h"

namespace kestrova {

class IDialogs;
class StoreFile;
class Section;

// What the main window lends its sections for the whole run.
class SectionHost {
public:
    virtual IDialogs& Dialogs() = 0;
    // Shows an error message on the window thread, as a handler's uncaught error is shown.
    virtual void ReportError(const std::wstring& message) = 0;
    // Runs one step, showing what it throws; the caller goes on with the next step.
    virtual void Run(const std::function<void()>& step) = 0;
    // Backup.xml and ignore.xml, loaded at the window's creation.
    virtual StoreFile& RestoreStore() = 0;
    virtual StoreFile& IgnoreStore() = 0;
    // The folder of Backup.xml, ignore.xml and the Backup folder, ending in "\".
    virtual const std::wstring& DataFolder() const = 0;
    // The small images of the scan lists (ImageList2).
    virtual HIMAGELIST ScanImages() const = 0;
    // Shows the section's page and lights its tool button.
    virtual void Show(const Section& section) = 0;
    // Tells every section that the document of store changed.
    virtual void StoreChanged(const StoreFile& store) = 0;
    // False once the window has been destroyed: a worker's late end must not touch controls.
    virtual bool WindowOpen() const = 0;

protected:
    ~SectionHost() = default;
};

// Each notification runs on the window thread; the defaults do nothing.
class Section {
public:
    explicit Section(SectionHost& host) : host_(host) {}
    virtual ~Section() = default;
    Section(const Section&) = delete;
    Section& operator=(const Section&) = delete;

    // Places the controls on the page and wires their handlers.
    virtual void Build(Panel& page) = 0;
    // The window has been created and the stores are open: the section's first fill.
    virtual void Created() {}
    // The section's tool button was pressed; the page is on screen.
    virtual void Selected() {}
    // The window became visible: at start-up and when it comes back from the tray.
    virtual void WindowShown() {}
    // Another part of the program changed the document of store.
    virtual void StoreChanged(const StoreFile& /*store*/) {}
    // The window is closing for real: ask workers to stop (they are waited for when the
    // section is destroyed) and let go of what the section holds open.
    virtual void Closing() {}

protected:
    SectionHost& host_;
};

template <class T>
std::unique_ptr<Section> MakeSection(SectionHost& host) {
    return std::make_unique<T>(host);
}

}  // namespace kestrova
