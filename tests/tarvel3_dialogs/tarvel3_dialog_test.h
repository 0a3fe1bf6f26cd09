// The setting every Tarvel3 dialog test runs in: the program's resources,
// prompts answered unattended, a pinned tick count (the dialogs seed their
// number generator and time their runs with it) and the fake component.
#pragma once

#include "fake_component.h"
#include "tarvel3_resources.h"

#include "framework/prompts.h"
#include "runtime/runtime.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

class Tarvel3DialogTest : public ::testing::Test {
protected:
    explicit Tarvel3DialogTest(std::uint32_t pinnedTicks) : m_pinnedTicks(pinnedTicks) {}

    void SetUp() override
    {
        InstallTarvel3Resources();
        PromptSeam::AnswerUnattended();
        PromptSeam::TakeMessages();
        SetTickCountForTesting(m_pinnedTicks);
    }
    void TearDown() override { SetTickCountForTesting(std::nullopt); }

    // The nth call (0: the first) of method on the first object made, the
    // one the dialog creates.
    FakeCall CallOf(const std::string& method, int nth = 0) const
    {
        return FakeComponent::NthCall(fake.callsOf(1), method, nth);
    }

    FakeComponent fake;

private:
    std::uint32_t m_pinnedTicks;
};
