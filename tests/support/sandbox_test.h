#pragma once
// Base fixture: an empty sandboxed registry and an empty temporary folder for each test.

#include <gtest/gtest.h>

#include "support/registry_sandbox.h"
#include "support/temp_folder.h"

namespace kestrova::test {

class SandboxTest : public ::testing::Test {
protected:
    RegistrySandbox registry_;
    TempFolder temp_;
};

}  // namespace kestrova::test
