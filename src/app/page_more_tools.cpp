#include "app/main_form_pages.h"
#include "app/page_layout.h"

namespace kestrova {

using namespace layout;

void MoreToolsPage::Build(Panel& page) {
    pcMoreTools.Create(page, PageArea(page), true);
    tsFileExtensions = &pcMoreTools.AddPage(L"File Extensions Manager");
    tsUserAssist = &pcMoreTools.AddPage(L"UserAssist");
    tsDriveCleaner = &pcMoreTools.AddPage(L"Drive Cleaner");
    pcMoreTools.ShowPage(0);
}

}  // namespace kestrova
