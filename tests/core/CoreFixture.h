// SPDX-License-Identifier: GPL-3.0-or-later
// Every core test starts from a fresh program state and a recording platform.
#pragma once

#include "CoreState.h"
#include "app/Dkivtool.h"
#include "data/DataU.h"

#include <gtest/gtest.h>

class CoreTest : public testing::Test {
protected:
    void SetUp() override {
        kivspc::ResetCoreState();
        platform.Reset();
        kivspc::SetPlatform(&platform);
    }
    void TearDown() override { kivspc::SetPlatform(nullptr); }

    kivspc::RecordingPlatform platform;
};
