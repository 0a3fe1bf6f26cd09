// For tests on the real component (the bundled one, or whichever
// TARVEL_COMPONENT names).
#pragma once

#include "runtime/object_binding.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

// Drops the cached binding so that the next creation loads the real component;
// skips the calling test where that library is not there. Call it from SetUp.
inline void UseRealComponentOrSkip()
{
    ResetComponentBindingForTesting();
    const std::string library = ComponentLibraryPath();
    if (library.empty() || !std::filesystem::exists(library))
        GTEST_SKIP() << "no component library at '" << library << "'";
}
