// SPDX-License-Identifier: GPL-3.0-or-later
// The libFuzzer entry of one target; KIVSPC_FUZZ_TARGET names it (set by the build).
#include "FuzzTargets.h"

#include <cstdio>
#include <cstdlib>

namespace {

kivspc::fuzz::TargetFunction target = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const kivspc::fuzz::Target* found = kivspc::fuzz::FindTarget(KIVSPC_FUZZ_TARGET);
    if (!found) {
        std::fprintf(stderr, "no fuzz target named %s\n", KIVSPC_FUZZ_TARGET);
        std::exit(2);
    }
    target = found->run;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return target(data, size);
}
