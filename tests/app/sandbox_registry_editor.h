#pragma once
// The real registry editor on the keys of a test's registry sandbox. The editor is a process
// of its own, which the sandbox of this process does not redirect: each key named in its
// command line is taken as this process sees it, so "HKEY_CLASSES_ROOT\.kxt" (or the whole
// "HKEY_CURRENT_USER") names the sandbox's stand-in below the real HKEY_CURRENT_USER. The
// files it exports name those stand-ins, so importing them writes back into the sandbox, and
// the prefix's own keys are never exported or written.

#include <gtest/gtest.h>

#include <string>

#include "repair/registry_editor.h"
#include "support/registry_sandbox.h"

namespace kestrova::test {

inline RegistryEditorRun SandboxRegistryEditor(const RegistrySandbox& sandbox) {
    const std::wstring scratch = L"HKEY_CURRENT_USER\\" + sandbox.ScratchPath() + L"\\";
    return [scratch](const std::wstring& commandLine, const std::wstring& workingFolder) {
        std::wstring mapped;
        for (size_t i = 0; i < commandLine.size(); ++i) {
            mapped += commandLine[i];
            if (commandLine[i] != L'"') {
                continue;
            }
            for (const wchar_t* root :
                 {L"HKEY_CLASSES_ROOT", L"HKEY_CURRENT_USER", L"HKEY_LOCAL_MACHINE", L"HKEY_USERS",
                  L"HKEY_CURRENT_CONFIG"}) {
                const std::wstring name = root;
                const size_t end = i + 1 + name.size();
                if (commandLine.compare(i + 1, name.size(), name) == 0 &&
                    end < commandLine.size() &&
                    (commandLine[end] == L'\\' || commandLine[end] == L'"')) {
                    mapped += scratch;
                }
            }
        }
        // An export of a key outside the sandbox is never made: its import would write the
        // prefix's own keys.
        if (mapped.find(L" /e ") != std::wstring::npos &&
            mapped.find(L"\"" + scratch) == std::wstring::npos) {
            ADD_FAILURE() << "an export outside the registry sandbox";
            return false;
        }
        return RunRegistryEditor(mapped, workingFolder);
    };
}

}  // namespace kestrova::test
